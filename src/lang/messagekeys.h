#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// A message text the program looks up in the language file: its key (the
// name of its element in the file's `const` section) and the text shown
// when no language file gives one.
struct MessageKey
{
    QStringView key;
    QStringView defaultText;
};

// The messages, one constant each. Code that shows a message takes its text
// with GetText(Messages::...), so that every key it uses is listed here and
// the language files can be checked against the list.
namespace Messages {
inline constexpr MessageKey NoActivePort{u"NoActivePort", u"No active port!"};
inline constexpr MessageKey Connecting{u"Connecting", u"Probíhá připojování"};
// %d stands for the socket's error code.
inline constexpr MessageKey TCPError{u"TCPError", u"TCP Windows Socket Error %d"};
inline constexpr MessageKey ExceptionSerailConnect{u"ExceptionSerailConnect",
                                                   u"Nepodařilo se otevřít seriový port"};
inline constexpr MessageKey ExceptionTcpConnect{u"ExceptionTcpConnect",
                                                u"Nepodařilo se inicializovat TCP spojení"};
inline constexpr MessageKey ExceptionPresetCaptionNotEntered{u"ExceptionPresetCaptionNotEntered",
                                                             u"Nebyl zadán popisek předvolby!"};
inline constexpr MessageKey ExceptionPresetGroupNotEntered{u"ExceptionPresetGroupNotEntered",
                                                           u"Nebyl zadán název skupiny!"};
// A packet that cannot be stored as a preset; %s stands for the faults.
inline constexpr MessageKey ExceptionPresetNotSaved{u"ExceptionPresetNotSaved",
                                                    u"Předvolba nebyla uložena:\n%s"};
// The name a new preset is given.
inline constexpr MessageKey Preset{u"Preset", u"předvolba"};
inline constexpr MessageKey ExceptionNodeNotFound{u"ExceptionNodeNotFound",
                                                  u"Chyba konfigurace - Node není k dispozici!"};
// The caption of a packet window; %d stands for the log row's index.
inline constexpr MessageKey PacketLine{u"PacketLine", u"Line %d."};
// The packet editor's hints and the fault of a packet it does not send.
inline constexpr MessageKey PacketLenOverflow{u"PacketLenOverflow",
                                              u"LEN cannot count more than 65530 data bytes."};
inline constexpr MessageKey PacketSumOverflow{
    u"PacketSumOverflow", u"SUM is computed over at most 65535 bytes (PRE to SDATA)."};
// %s stands for the faults, one a line.
inline constexpr MessageKey ExceptionPacketTooLong{u"ExceptionPacketTooLong",
                                                   u"The packet was not sent:\n%s"};
} // namespace Messages

// Every message above, in that order.
[[nodiscard]] const QList<MessageKey> &MessageKeys();

// The message's text in the current language (TLanguage::GetText).
[[nodiscard]] QString GetText(const MessageKey &message);
