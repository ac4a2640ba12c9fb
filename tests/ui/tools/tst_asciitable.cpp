#include "ui/tools/asciitable.h"

#include <QHeaderView>
#include <QTableView>
#include <QTest>

namespace {

QVariant cell(const TfAsciiTable &table, int row, int column, int role = Qt::DisplayRole)
{
    return table.list()->model()->index(row, column).data(role);
}

QStringList headerTexts(const TfAsciiTable &table)
{
    QStringList texts;
    const QAbstractItemModel *model = table.list()->model();
    for (int column = 0; column < model->columnCount(); ++column)
        texts << model->headerData(column, Qt::Horizontal).toString();
    return texts;
}

} // namespace

class TestAsciiTable : public QObject
{
    Q_OBJECT

private slots:
    void rows_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("texts");
        const auto texts = [](QString character, const char *dec, const char *hex,
                              const char *binary, const char *abbreviation,
                              const char *description) {
            return QStringList{character,
                               QString::fromLatin1(dec),
                               QString::fromLatin1(hex),
                               QString::fromLatin1(binary),
                               QString::fromLatin1(abbreviation),
                               QString::fromLatin1(description)};
        };
        QTest::newRow("NUL") << 0
                             << texts(QString(QChar(u'\0')), "0", "$00", "0000 0000", "NUL",
                                      "null");
        QTest::newRow("CR") << 13
                            << texts(QStringLiteral("\r"), "13", "$0D", "0000 1101", "CR",
                                     "carriage return");
        // Written with a zero, not the letter O.
        QTest::newRow("shift out")
            << 14 << texts(QStringLiteral("\x0E"), "14", "$0E", "0000 1110", "S0", "shift out");
        QTest::newRow("space") << 32
                               << texts(QStringLiteral(" "), "32", "$20", "0010 0000", "SP",
                                        "Space");
        QTest::newRow("comma") << 44
                               << texts(QStringLiteral(","), "44", "$2C", "0010 1100", "", "comma");
        QTest::newRow("digit") << 48
                               << texts(QStringLiteral("0"), "48", "$30", "0011 0000", "", "");
        QTest::newRow("letter") << 65
                                << texts(QStringLiteral("A"), "65", "$41", "0100 0001", "", "");
        QTest::newRow("circumflex")
            << 94 << texts(QStringLiteral("^"), "94", "$5E", "0101 1110", "", "caret/cirumflex");
        QTest::newRow("grave") << 96
                               << texts(QStringLiteral("`"), "96", "$60", "0110 0000", "", "");
        QTest::newRow("DEL") << 127
                             << texts(QStringLiteral("\x7F"), "127", "$7F", "0111 1111", "DEL",
                                      "delete");
        // The upper half shows the program's code page and has no names.
        QTest::newRow("euro") << 128
                              << texts(QString(QChar(0x20AC)), "128", "$80", "1000 0000", "", "");
        QTest::newRow("last") << 255
                              << texts(QString(QChar(0x02D9)), "255", "$FF", "1111 1111", "", "");
    }

    void rows()
    {
        QFETCH(int, row);
        QFETCH(QStringList, texts);
        TfAsciiTable table;
        for (int column = 0; column < TfAsciiTable::ColumnCount; ++column)
            QCOMPARE(cell(table, row, column).toString(), texts[column]);
    }

    void layout()
    {
        TfAsciiTable table;
        QVERIFY(table.isWindow());
        QVERIFY(!table.parentWidget());
        QCOMPARE(table.objectName(), QStringLiteral("fAsciiTable"));
        QCOMPARE(table.windowTitle(), QStringLiteral("ASCII tabulka"));
        QTableView &list = *table.list();
        QCOMPARE(list.objectName(), QStringLiteral("vstAsciiTable"));
        QCOMPARE(list.model()->rowCount(), 256);
        QCOMPARE(headerTexts(table),
                 QStringList({QStringLiteral("Char"), QStringLiteral("Dec"), QStringLiteral("Hex"),
                              QStringLiteral("Binary"), QStringLiteral("Zkratka"),
                              QStringLiteral("Popis")}));
        QCOMPARE(list.verticalHeader()->sectionSize(100), 15);
        QCOMPARE(list.selectionBehavior(), QAbstractItemView::SelectRows);

        const QHeaderView &header = *list.horizontalHeader();
        const int widths[] = {40, 40, 40, 90, 50};
        for (int column = 0; column < 5; ++column)
            QCOMPARE(header.sectionSize(column), widths[column]);
        QVERIFY(header.stretchLastSection());
        table.resize(600, 400);
        table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&table));
        QCOMPARE(header.sectionSize(5), list.viewport()->width() - 260);
    }

    void columnLooks_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<QVariant>("text");
        QTest::addColumn<QString>("family");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<int>("alignment");
        const int centred = Qt::AlignCenter;
        const QString courier = QStringLiteral("Courier");
        QTest::newRow("Char") << 0 << QColor(255, 255, 176) << QVariant(QColor(Qt::black))
                              << courier << true << centred;
        QTest::newRow("Dec") << 1 << QColor(224, 255, 255) << QVariant(QColor(0, 0, 128)) << courier
                             << false << centred;
        QTest::newRow("Hex") << 2 << QColor(255, 255, 240) << QVariant(QColor(0, 0, 255)) << courier
                             << false << centred;
        QTest::newRow("Binary") << 3 << QColor(240, 255, 240) << QVariant(QColor(0, 128, 0))
                                << courier << false << centred;
        QTest::newRow("Zkratka") << 4 << QColor(255, 255, 240) << QVariant(QColor(128, 0, 0))
                                 << courier << false << centred;
        // The description keeps the list's own text colour.
        QTest::newRow("Popis") << 5 << QColor(Qt::white) << QVariant() << QStringLiteral("Arial")
                               << false << int(Qt::AlignLeft | Qt::AlignVCenter);
    }

    void columnLooks()
    {
        QFETCH(int, column);
        QFETCH(QColor, background);
        QFETCH(QVariant, text);
        QFETCH(QString, family);
        QFETCH(bool, bold);
        QFETCH(int, alignment);
        TfAsciiTable table;
        for (int row : {7, 200}) {
            QCOMPARE(cell(table, row, column, Qt::BackgroundRole).value<QColor>(), background);
            QCOMPARE(cell(table, row, column, Qt::ForegroundRole), text);
            const auto font = cell(table, row, column, Qt::FontRole).value<QFont>();
            QCOMPARE(font.family(), family);
            QCOMPARE(font.pixelSize(), 11);
            QCOMPARE(font.bold(), bold);
            QCOMPARE(cell(table, row, column, Qt::TextAlignmentRole).toInt(), alignment);
        }
    }

    // Columns may be dragged to another place, except the binary column.
    void binaryColumnStaysInPlace()
    {
        TfAsciiTable table;
        QHeaderView &header = *table.list()->horizontalHeader();
        QVERIFY(header.sectionsMovable());
        header.moveSection(3, 0);
        QCOMPARE(header.visualIndex(3), 3);
        header.moveSection(0, 4);
        QCOMPARE(header.visualIndex(0), 4);
    }

    void selectByteMakesTheRowCurrent()
    {
        TfAsciiTable table;
        table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&table));
        QTableView &list = *table.list();
        for (int value : {200, 5}) {
            table.SelectByte(quint8(value));
            QCOMPARE(list.currentIndex().row(), value);
            const QModelIndexList selected = list.selectionModel()->selectedRows();
            QCOMPARE(selected.size(), 1);
            QCOMPARE(selected.front().row(), value);
            QVERIFY(list.viewport()->rect().contains(list.visualRect(list.currentIndex())));
        }
    }
};

QTEST_MAIN(TestAsciiTable)
#include "tst_asciitable.moc"
