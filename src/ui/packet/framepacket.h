#pragma once

#include <QFrame>
#include <QString>

class QPlainTextEdit;
class QSplitter;
class QTextEdit;

// The content of a packet window: one logged datagram as hexadecimal pairs
// in `rePacket` and as characters in `Memo1`, where control bytes (0 to 31
// and 127) show as "?". The boxes may be typed in; nothing comes of it.
class TfrPacket : public QFrame
{
    Q_OBJECT

public:
    // Fills the boxes from hex text: two digits per byte; a single last
    // digit is taken as a byte of its own.
    explicit TfrPacket(const QString &hexText, QWidget *parent = nullptr);

    [[nodiscard]] QTextEdit *hexBox() const { return rePacket; }
    [[nodiscard]] QPlainTextEdit *characterBox() const { return Memo1; }

    // The two texts for hex text: "48 69 0D " and "Hi?".
    [[nodiscard]] static QString HexText(QStringView hexText);
    [[nodiscard]] static QString CharacterText(QStringView hexText);

private:
    QTextEdit *rePacket = nullptr;
    QSplitter *Splitter1 = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
};
