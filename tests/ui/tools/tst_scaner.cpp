#include "ui/tools/scaner.h"

#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

QStringList column(const QTableView &list, int column, int firstRow = 0)
{
    QStringList texts;
    const QAbstractItemModel *model = list.model();
    for (int row = firstRow; row < model->rowCount(); ++row)
        texts << model->index(row, column).data().toString();
    return texts;
}

} // namespace

class TestScaner : public QObject
{
    Q_OBJECT

private slots:
    void eachSearchAppendsThePlaceholderRows()
    {
        TfScaner scaner;
        QTableView &list = *scaner.list();
        QCOMPARE(list.model()->rowCount(), 0);

        QStringList addresses;
        for (int address = 0; address < 256; address += 12)
            addresses << QString::asprintf("%02X", address);
        QCOMPARE(addresses.size(), 22);
        const QStringList versions(22, QStringLiteral("1.1"));
        const QStringList empty(22, QString());

        QTest::mouseClick(scaner.searchButton(), Qt::LeftButton);
        QCOMPARE(column(list, 0), addresses);
        QCOMPARE(column(list, 1), versions);
        QCOMPARE(column(list, 2), empty);
        QCOMPARE(column(list, 3), empty);

        // The list is never cleared: the same rows follow the first ones.
        scaner.Button1Click();
        QCOMPARE(list.model()->rowCount(), 44);
        QCOMPARE(column(list, 0, 22), addresses);
        QCOMPARE(column(list, 1, 22), versions);
    }

    void closingDestroysTheWindow()
    {
        QPointer<TfScaner> scaner = new TfScaner;
        scaner->show();
        QVERIFY(QTest::qWaitForWindowExposed(scaner));
        scaner->close();
        QTRY_VERIFY(scaner.isNull());
    }
};

QTEST_MAIN(TestScaner)
#include "tst_scaner.moc"
