#include "messagekeys.h"

#include "language.h"

const QList<MessageKey> &MessageKeys()
{
    using namespace Messages;
    static const QList<MessageKey> keys{NoActivePort,
                                        Connecting,
                                        TCPError,
                                        ExceptionSerailConnect,
                                        ExceptionTcpConnect,
                                        ExceptionPresetCaptionNotEntered,
                                        ExceptionPresetGroupNotEntered,
                                        ExceptionPresetNotSaved,
                                        Preset,
                                        ExceptionNodeNotFound,
                                        PacketLine,
                                        PacketLenOverflow,
                                        PacketSumOverflow,
                                        ExceptionPacketTooLong};
    return keys;
}

QString GetText(const MessageKey &message)
{
    return Language().GetText(message.key, message.defaultText);
}
