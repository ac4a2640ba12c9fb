#include "framepacket.h"

#include "core/codepage.h"

#include <QPlainTextEdit>
#include <QSplitter>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

constexpr int DesignWidth = 557;
constexpr int DesignHeight = 306;
constexpr int Memo1Height = 74;

// Calls each(pair) for the hex text two characters at a time, the last one
// alone when the count is odd.
template <typename Each>
void forEachPair(QStringView hexText, Each each)
{
    for (qsizetype i = 0; i < hexText.size(); i += 2)
        each(hexText.sliced(i, qMin<qsizetype>(2, hexText.size() - i)));
}

} // namespace

TfrPacket::TfrPacket(const QString &hexText, QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("frPacket"));
    resize(DesignWidth, DesignHeight);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Splitter1 = new QSplitter(Qt::Vertical, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(3);
    Splitter1->setChildrenCollapsible(false);
    layout->addWidget(Splitter1);

    rePacket = new QTextEdit(Splitter1);
    rePacket->setObjectName(QStringLiteral("rePacket"));
    rePacket->setAcceptRichText(false);
    Memo1 = new QPlainTextEdit(Splitter1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Splitter1->addWidget(rePacket);
    Splitter1->addWidget(Memo1);
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    Splitter1->setSizes({DesignHeight - Memo1Height, Memo1Height});

    rePacket->setPlainText(HexText(hexText));
    Memo1->setPlainText(CharacterText(hexText));
}

QString TfrPacket::HexText(QStringView hexText)
{
    QString text;
    text.reserve(hexText.size() * 3 / 2 + 1);
    forEachPair(hexText, [&text](QStringView pair) {
        text += pair;
        text += u' ';
    });
    return text;
}

QString TfrPacket::CharacterText(QStringView hexText)
{
    QString text;
    text.reserve(hexText.size() / 2 + 1);
    forEachPair(hexText, [&text](QStringView pair) {
        bool ok = false;
        const uint value = pair.toUInt(&ok, 16);
        // Control bytes would break the box's lines or vanish: they show as "?".
        if (!ok || value < 32 || value == 127)
            text += u'?';
        else
            text += CodePage::toChar(static_cast<quint8>(value));
    });
    return text;
}
