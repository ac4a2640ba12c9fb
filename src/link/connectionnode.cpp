#include "connectionnode.h"

#include "core/xmlattribute.h"

#include <QLocale>

#include <algorithm>

namespace Connection {

namespace {

QString text(const pugi::xml_node &node, const char *name, const QString &fallback)
{
    return ReadAttribute(node, name, fallback).toString();
}

bool hasAttribute(const pugi::xml_node &node, const char *name)
{
    return bool(node.attribute(name));
}

bool equalsAttribute(const pugi::xml_node &node, const char *name, const QString &value)
{
    return hasAttribute(node, name) && QString::fromUtf8(node.attribute(name).value()) == value;
}

bool equalsNumber(const pugi::xml_node &node, const char *name, int value)
{
    bool ok = false;
    const int stored = QString::fromUtf8(node.attribute(name).value()).trimmed().toInt(&ok);
    return hasAttribute(node, name) && ok && stored == value;
}

bool isOneOf(const QString &value, std::initializer_list<const char16_t *> accepted)
{
    return std::any_of(accepted.begin(), accepted.end(), [&value](const char16_t *candidate) {
        return value == QStringView(candidate);
    });
}

// The stored `time` texts are compared as texts, as older versions did.
QString timeText(const pugi::xml_node &node)
{
    return QString::fromUtf8(node.attribute("time").value());
}

} // namespace

QString AsciiUpper(const QString &value)
{
    QString upper = value;
    for (QChar &c : upper) {
        if (c >= u'a' && c <= u'z')
            c = QChar(char16_t(c.unicode() - 32));
    }
    return upper;
}

bool IsConnectionNode(const pugi::xml_node &node)
{
    return node.type() == pugi::node_element &&
           AsciiUpper(QString::fromUtf8(node.name())) == u"CONNECTION";
}

Kind KindOf(const pugi::xml_node &node)
{
    const QString type = AsciiUpper(text(node, "type", QString()));
    if (type == u"SERIAL")
        return Kind::Serial;
    if (type == u"TCP")
        return Kind::Tcp;
    return Kind::Other;
}

Parity ParityFromText(const QString &value)
{
    const QString v = AsciiUpper(value);
    if (isOneOf(v, {u"EVEN", u"SUDÁ", u"SUDA", u"SUDá", u"1"}))
        return Parity::Even;
    if (isOneOf(v, {u"ODD", u"LICHÁ", u"LICHA", u"LICHá", u"2"}))
        return Parity::Odd;
    if (isOneOf(v, {u"MARK", u"ZNAČKA", u"ZNACKA", u"ZNAčKA", u"3"}))
        return Parity::Mark;
    if (isOneOf(v, {u"SPACE", u"MEZERA", u"4"}))
        return Parity::Space;
    return Parity::None;
}

StopBits StopBitsFromText(const QString &value)
{
    if (value == u"1,5" || value == u"1.5")
        return StopBits::OneAndHalf;
    if (value == u"2")
        return StopBits::Two;
    return StopBits::One;
}

FlowControl FlowControlFromText(const QString &value)
{
    const QString v = AsciiUpper(value);
    if (isOneOf(v, {u"XON/XOFF", u"SOFTWARE", u"XONXOFF", u"XON", u"1"}))
        return FlowControl::XonXoff;
    if (isOneOf(v, {u"RTS/CTS", u"RTS", u"CTS", u"2"}))
        return FlowControl::RtsCts;
    if (isOneOf(v, {u"DTR/DSR", u"DTR/RTS", u"DTR", u"DSR", u"3"}))
        return FlowControl::DtrDsr;
    return FlowControl::None;
}

int DataBitsItem(const QString &value)
{
    bool ok = false;
    const int bits = value.trimmed().toInt(&ok);
    return ok && bits >= 4 && bits <= 7 ? bits - 4 : 4;
}

QChar ParityLetter(Parity parity)
{
    switch (parity) {
    case Parity::Even:
        return u'E';
    case Parity::Odd:
        return u'O';
    case Parity::Mark:
        return u'M';
    case Parity::Space:
        return u'S';
    case Parity::None:
        break;
    }
    return u'N';
}

SerialSettings ReadSerialSettings(const pugi::xml_node &node)
{
    SerialSettings settings;
    settings.port = VariantToInt(ReadAttribute(node, "port", -1));
    settings.baudRate = VariantToInt(ReadAttribute(node, "baudrate", QStringLiteral("9600")));
    const int dataBits = VariantToInt(ReadAttribute(node, "databits", 8));
    if (dataBits >= 4 && dataBits <= 8)
        settings.dataBits = dataBits;
    settings.parity = ParityFromText(text(node, "parity", ParityItems.first()));
    settings.stopBits = StopBitsFromText(text(node, "stopbits", StopBitsItems.first()));
    settings.flowControl = FlowControlFromText(text(node, "flowcontrol", FlowControlItems.first()));
    return settings;
}

double DayCount(const QDateTime &local)
{
    static const QDate epoch(1899, 12, 30);
    const QTime time = local.time();
    return double(epoch.daysTo(local.date())) + time.msecsSinceStartOfDay() / 86400000.0;
}

QString DayCountText(double days)
{
    QString number = QString::number(days, 'g', 15);
    const QString separator = QLocale::system().decimalPoint();
    if (separator == u",")
        number.replace(u'.', u',');
    return number;
}

double ReadTime(const pugi::xml_node &node)
{
    QString value = ReadAttribute(node, "time", QStringLiteral("0"), true).toString();
    value.replace(u',', u'.');
    bool ok = false;
    const double days = QLocale::c().toDouble(value.trimmed(), &ok);
    return ok ? days : 0;
}

QString HistoryDisplayText(const pugi::xml_node &node)
{
    switch (KindOf(node)) {
    case Kind::Serial:
        return QStringLiteral("COM%1: %2,%3,%4,%5")
            .arg(text(node, "port", QStringLiteral("1")),
                 text(node, "baudrate", QStringLiteral("9600")),
                 QString(ParityLetter(ParityFromText(text(node, "parity", ParityItems.first())))),
                 text(node, "databits", QStringLiteral("8")),
                 text(node, "stopbits", QStringLiteral("1")));
    case Kind::Tcp:
        return text(node, "ip", QStringLiteral("unknown")) + u':' +
               text(node, "port", QStringLiteral("unknown"));
    case Kind::Other:
        break;
    }
    return QStringLiteral("Unknown");
}

TNodeHistoryObject MakeHistoryEntry(const pugi::xml_node &node)
{
    const Kind kind = KindOf(node);
    return {ReadTime(node), node, HistoryDisplayText(node),
            kind == Kind::Tcp ? Kind::Tcp : Kind::Serial};
}

std::vector<TNodeHistoryObject> HistoryEntries(const pugi::xml_node &root)
{
    std::vector<TNodeHistoryObject> entries;
    for (const pugi::xml_node &node : root.children()) {
        if (IsConnectionNode(node))
            entries.push_back(MakeHistoryEntry(node));
    }
    std::stable_sort(
        entries.begin(), entries.end(),
        [](const TNodeHistoryObject &a, const TNodeHistoryObject &b) { return a.time > b.time; });
    return entries;
}

pugi::xml_node FindConnection(const pugi::xml_node &root, const Choice &choice)
{
    for (const pugi::xml_node &node : root.children()) {
        if (!IsConnectionNode(node))
            continue;
        const bool matches = choice.tcp
                                 ? equalsAttribute(node, "type", QStringLiteral("TCP")) &&
                                       equalsAttribute(node, "ip", choice.host) &&
                                       equalsNumber(node, "port", choice.tcpPort)
                                 : equalsAttribute(node, "type", QStringLiteral("serial")) &&
                                       equalsNumber(node, "port", choice.serialPort) &&
                                       equalsAttribute(node, "baudrate", choice.baudRate) &&
                                       equalsAttribute(node, "databits", choice.dataBits) &&
                                       equalsAttribute(node, "parity", choice.parity) &&
                                       equalsAttribute(node, "stopbits", choice.stopBits) &&
                                       equalsAttribute(node, "flowcontrol", choice.flowControl);
        if (matches)
            return node;
    }
    return {};
}

namespace {

pugi::xml_node appendConnection(pugi::xml_node root, const Choice &choice)
{
    pugi::xml_node node = root.append_child("connection");
    if (choice.tcp) {
        WriteAttribute(node, "type", QStringLiteral("TCP"));
        WriteAttribute(node, "port", choice.tcpPort);
        WriteAttribute(node, "ip", choice.host);
    } else {
        WriteAttribute(node, "type", QStringLiteral("serial"));
        WriteAttribute(node, "port", choice.serialPort);
        WriteAttribute(node, "baudrate", choice.baudRate);
        WriteAttribute(node, "databits", choice.dataBits);
        WriteAttribute(node, "parity", choice.parity);
        WriteAttribute(node, "stopbits", choice.stopBits);
        WriteAttribute(node, "flowcontrol", choice.flowControl);
    }
    return node;
}

// Keeps the history at ten entries: the entry with the oldest time goes.
void removeOldestBeyondTen(pugi::xml_node root)
{
    int count = 0;
    pugi::xml_node oldest;
    for (const pugi::xml_node &node : root.children()) {
        if (!IsConnectionNode(node))
            continue;
        ++count;
        if (hasAttribute(node, "time") && (!oldest || timeText(node) < timeText(oldest)))
            oldest = node;
    }
    if (count > 10 && oldest)
        root.remove_child(oldest);
}

} // namespace

pugi::xml_node ConfirmConnection(pugi::xml_node root, const Choice &choice, const QDateTime &now)
{
    pugi::xml_node node = FindConnection(root, choice);
    if (!node) {
        if (choice.tcp && choice.host.isEmpty())
            return {};
        node = appendConnection(root, choice);
        removeOldestBeyondTen(root);
    }
    WriteAttribute(node, "time", DayCountText(DayCount(now)));
    return node;
}

pugi::xml_node LastGoodConnection(const pugi::xml_node &root)
{
    pugi::xml_node candidate;
    for (const pugi::xml_node &node : root.children()) {
        const QString status = ReadAttribute(node, "status", QStringLiteral("false")).toString();
        if (!IsConnectionNode(node) || status != u"ok")
            continue;
        if (!candidate || timeText(candidate) < timeText(node))
            candidate = node;
    }
    return candidate;
}

} // namespace Connection
