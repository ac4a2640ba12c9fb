#include "core/codepage.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestCodePage : public QObject
{
    Q_OBJECT

private slots:
    void allBytesRoundTrip()
    {
        QByteArray all;
        for (int i = 0; i < 256; ++i)
            all.append(char(i));
        const QString text = CodePage::toText(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(CodePage::fromText(text), all);
    }

    void czechCharacters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("háček letters")
            << u"ěščřžýáíéůú"_s << QByteArray("\xEC\x9A\xE8\xF8\x9E\xFD\xE1\xED\xE9\xF9\xFA");
        QTest::newRow("capitals") << u"ĚŠČŘŽŤĎŇ"_s
                                  << QByteArray("\xCC\x8A\xC8\xD8\x8E\x8D\xCF\xD2");
        QTest::newRow("euro and quotes") << u"€„“"_s << QByteArray("\x80\x84\x93");
        QTest::newRow("ascii") << u"AT+C\r"_s << QByteArray("AT+C\r");
    }
    void czechCharacters()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(CodePage::fromText(text), bytes);
        QCOMPARE(CodePage::toText(bytes), text);
    }

    void unencodableCharactersBecomeQuestionMarks()
    {
        // Latin-1 letters outside the code page, CJK, and a character beyond
        // 16 bits (one '?', not two).
        QCOMPARE(CodePage::fromText(u"ñ\u4E2D\U0001F600x"_s), QByteArray("???x"));
        QCOMPARE(CodePage::fromText(u"\xFF"_s), QByteArray("?"));
    }
};

QTEST_GUILESS_MAIN(TestCodePage)
#include "tst_codepage.moc"
