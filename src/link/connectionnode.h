#pragma once

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

#include <pugixml.hpp>

// A connection node: one `connection` element of the configuration root that
// is at once a link's settings, an entry of the connection history and the
// record of the last attempt to open it. Every value is read from its
// attribute with its own default; aliases of older files are accepted.
namespace Connection {

enum class Kind : quint8
{
    Serial = 0,
    Tcp = 1,
    Other = 2
};
enum class Parity
{
    None,
    Even,
    Odd,
    Mark,
    Space
};
enum class StopBits
{
    One,
    OneAndHalf,
    Two
};
enum class FlowControl
{
    None,
    XonXoff,
    RtsCts,
    DtrDsr
};

// The texts the connection dialog offers and writes, in item order.
inline const QStringList BaudRateItems = {QStringLiteral("110"),   QStringLiteral("300"),
                                          QStringLiteral("1200"),  QStringLiteral("2400"),
                                          QStringLiteral("4800"),  QStringLiteral("9600"),
                                          QStringLiteral("19200"), QStringLiteral("38400"),
                                          QStringLiteral("57600"), QStringLiteral("115200")};
inline const QStringList DataBitsItems = {QStringLiteral("4"), QStringLiteral("5"),
                                          QStringLiteral("6"), QStringLiteral("7"),
                                          QStringLiteral("8")};
inline const QStringList ParityItems = {QStringLiteral("Žádná"), QStringLiteral("Sudá"),
                                        QStringLiteral("Lichá"), QStringLiteral("Značka"),
                                        QStringLiteral("Mezera")};
inline const QStringList StopBitsItems = {QStringLiteral("1"), QStringLiteral("1,5"),
                                          QStringLiteral("2")};
inline const QStringList FlowControlItems = {QStringLiteral("Žádné"), QStringLiteral("Xon/Xoff"),
                                             QStringLiteral("Rts/Cts"), QStringLiteral("Dtr/Dsr")};

// Letters a to z upper-cased; accented letters keep their case.
[[nodiscard]] QString AsciiUpper(const QString &text);

[[nodiscard]] bool IsConnectionNode(const pugi::xml_node &node);
[[nodiscard]] Kind KindOf(const pugi::xml_node &node);

[[nodiscard]] Parity ParityFromText(const QString &text);
[[nodiscard]] StopBits StopBitsFromText(const QString &text);
[[nodiscard]] FlowControl FlowControlFromText(const QString &text);
// The dialog's data-bits item (0 to 4 for 4 to 8 bits): anything else is 8.
[[nodiscard]] int DataBitsItem(const QString &text);
[[nodiscard]] QChar ParityLetter(Parity parity);

// The settings a serial port takes from a node.
struct SerialSettings
{
    int port = -1;
    int baudRate = 9600;
    std::optional<int> dataBits; // 4 to 8; nothing leaves the port's own
    Parity parity = Parity::None;
    StopBits stopBits = StopBits::One;
    FlowControl flowControl = FlowControl::None;
};
// Throws ConversionError when port, baud rate or data bits are not numbers.
[[nodiscard]] SerialSettings ReadSerialSettings(const pugi::xml_node &node);

// Days since 30 December 1899, with the time of day as the fraction.
[[nodiscard]] double DayCount(const QDateTime &local);
// A day count as written: up to 15 significant digits and the user's
// decimal separator.
[[nodiscard]] QString DayCountText(double days);
// The node's `time` as a number, read under either decimal separator; 0
// when it is missing or not a number.
[[nodiscard]] double ReadTime(const pugi::xml_node &node);

// The line of the history list for a node.
[[nodiscard]] QString HistoryDisplayText(const pugi::xml_node &node);

// One entry of the history list.
struct TNodeHistoryObject
{
    double time = 0;
    pugi::xml_node node;
    QString text;
    Kind kind = Kind::Serial;
};
[[nodiscard]] TNodeHistoryObject MakeHistoryEntry(const pugi::xml_node &node);

// The history entries of a root, newest first; equal times keep document order.
[[nodiscard]] std::vector<TNodeHistoryObject> HistoryEntries(const pugi::xml_node &root);

// The settings chosen in the connection dialog, as the texts of its items.
struct Choice
{
    bool tcp = false;
    QString host;
    int tcpPort = 0;
    int serialPort = 1;
    QString baudRate = QStringLiteral("9600");
    QString dataBits = QStringLiteral("8");
    QString parity = ParityItems.first();
    QString stopBits = StopBitsItems.first();
    QString flowControl = FlowControlItems.first();
};

// The first node of the root that matches the choice, or none.
[[nodiscard]] pugi::xml_node FindConnection(const pugi::xml_node &root, const Choice &choice);

// Confirms a choice: reuses the matching node or appends a new one (the
// history keeps at most ten; the oldest goes), and stamps its time. Returns
// the node, or none for a TCP choice without a host.
pugi::xml_node ConfirmConnection(pugi::xml_node root, const Choice &choice, const QDateTime &now);

// The connection to reopen at start: the newest whose last opening went
// well, the first of equal times; none when there is no such node.
[[nodiscard]] pugi::xml_node LastGoodConnection(const pugi::xml_node &root);

} // namespace Connection
