#include "lang/flags.h"

#include <QImage>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The name of the plain colour a flag's pixel is closest to.
QString NearestHue(QRgb pixel)
{
    struct Reference
    {
        const char *hue;
        QRgb rgb;
    };
    static const Reference references[] = {
        {"white", 0xFFFFFF}, {"black", 0x000000},  {"red", 0xD81E2C},
        {"blue", 0x0A3A9A},  {"yellow", 0xFFD200}, {"green", 0x008A45},
    };
    const auto distance = [pixel](QRgb rgb) {
        const int r = qRed(pixel) - qRed(rgb);
        const int g = qGreen(pixel) - qGreen(rgb);
        const int b = qBlue(pixel) - qBlue(rgb);
        return r * r + g * g + b * b;
    };
    const Reference *nearest = &references[0];
    for (const Reference &reference : references) {
        if (distance(reference.rgb) < distance(nearest->rgb))
            nearest = &reference;
    }
    return QString::fromLatin1(nearest->hue);
}

QImage FlagImage(const QString &name)
{
    return FlagPicture(name).toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TestFlags : public QObject
{
    Q_OBJECT

private slots:
    void everyFlagIsDrawnAndDistinct()
    {
        QStringList expected;
        for (const char *code :
             {"AE", "AR", "AU", "BA", "BG", "BR", "BY", "CA", "CH", "CL", "CN", "CZ", "DE",
              "DK", "EE", "FI", "FR", "GR", "HK", "HR", "HU", "ID", "IE", "IL", "IN", "IR",
              "IT", "JP", "KR", "LT", "LV", "MX", "MY", "NO", "NZ", "PH", "PL", "PT", "RO",
              "RS", "RU", "SE", "SI", "SK", "TH", "TR", "TW", "UA", "UK", "US", "VN", "ZA"})
            expected << u"FLAG_"_s + QLatin1StringView(code);
        QCOMPARE(FlagNames(), expected);

        QList<QImage> drawn;
        for (const QString &name : expected) {
            const QImage image = FlagImage(name);
            QCOMPARE(image.size(), QSize(21, 13));
            // The design covers the whole picture.
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x)
                    QVERIFY2(qAlpha(image.pixel(x, y)) == 255,
                             qPrintable(u"%1 at %2,%3"_s.arg(name).arg(x).arg(y)));
            }
            // No two flags look the same.
            if (const qsizetype same = drawn.indexOf(image); same >= 0)
                QFAIL(qPrintable(name + u" looks like "_s + expected.at(same)));
            drawn << image;
        }
    }

    void characteristicPixels_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<QString>("hue");

        const auto row = [](const char *name, int x, int y, const char *hue) {
            QTest::addRow("%s %d,%d", name, x, y)
                << QString::fromLatin1(name) << QPoint(x, y) << QString::fromLatin1(hue);
        };
        row("FLAG_JP", 10, 6, "red"); // the disc
        row("FLAG_JP", 1, 1, "white");
        row("FLAG_JP", 19, 11, "white");
        row("FLAG_CZ", 2, 6, "blue"); // the wedge at the hoist
        row("FLAG_CZ", 18, 2, "white");
        row("FLAG_CZ", 18, 10, "red");
        row("FLAG_DE", 10, 1, "black");
        row("FLAG_DE", 10, 6, "red");
        row("FLAG_DE", 10, 11, "yellow");
        row("FLAG_FR", 2, 6, "blue");
        row("FLAG_FR", 10, 6, "white");
        row("FLAG_FR", 18, 6, "red");
        row("FLAG_IT", 2, 6, "green");
        row("FLAG_PL", 10, 2, "white");
        row("FLAG_PL", 10, 10, "red");
        row("FLAG_ID", 10, 2, "red");
        row("FLAG_ID", 10, 10, "white");
        row("FLAG_UA", 10, 3, "blue");
        row("FLAG_UA", 10, 10, "yellow");
        row("FLAG_UK", 10, 6, "red"); // the red cross
        row("FLAG_UK", 10, 1, "red");
        row("FLAG_UK", 1, 6, "red");
        row("FLAG_UK", 6, 0, "blue");
        row("FLAG_US", 0, 0, "blue"); // the canton
        row("FLAG_US", 15, 0, "red");
        row("FLAG_US", 15, 1, "white");
        row("FLAG_CH", 10, 6, "white");
        row("FLAG_CH", 2, 2, "red");
        row("FLAG_SE", 7, 1, "yellow");
        row("FLAG_SE", 2, 2, "blue");
        row("FLAG_BR", 10, 8, "blue");
        row("FLAG_BR", 4, 6, "yellow");
        row("FLAG_BR", 1, 1, "green");
        row("FLAG_TR", 4, 6, "white"); // the crescent
        row("FLAG_TR", 18, 2, "red");
    }
    void characteristicPixels()
    {
        QFETCH(QString, name);
        QFETCH(QPoint, pixel);
        QFETCH(QString, hue);
        QCOMPARE(NearestHue(FlagImage(name).pixel(pixel)), hue);
    }

    void namesMatchInAnyCase_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("flag");

        QTest::newRow("lower case") << u"flag_jp"_s << u"FLAG_JP"_s;
        QTest::newRow("mixed case") << u"Flag_Cz"_s << u"FLAG_CZ"_s;
        QTest::newRow("question mark") << u"?"_s << QString();
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("code alone") << u"JP"_s << QString();
        QTest::newRow("prefix alone") << u"FLAG_"_s << QString();
        QTest::newRow("unknown code") << u"FLAG_XX"_s << QString();
        QTest::newRow("longer code") << u"FLAG_JPN"_s << QString();
        QTest::newRow("text before") << u"XFLAG_JP"_s << QString();
    }
    void namesMatchInAnyCase()
    {
        QFETCH(QString, name);
        QFETCH(QString, flag);
        const QPixmap picture = FlagPicture(name);
        if (flag.isEmpty())
            QVERIFY(picture.isNull());
        else
            QCOMPARE(picture.toImage(), FlagPicture(flag).toImage());
    }
};

QTEST_MAIN(TestFlags)
#include "tst_flags.moc"
