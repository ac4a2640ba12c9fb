#include "capture/datagramstore.h"

#include <QTest>

class TestDatagramStore : public QObject
{
    Q_OBJECT

private slots:
    // Many datagrams across block and chunk boundaries, small and large,
    // come back with their direction, bytes and validity.
    void keepsEveryDatagram()
    {
        auto store = std::make_shared<DatagramStore>();
        DatagramRange range(store);
        const auto bytesOf = [](int i) {
            const int size = i % 997 == 0 ? 200000 : 1 + i % 37;
            return QByteArray(size, char('a' + i % 26));
        };
        const int count = 20000;
        for (int i = 0; i < count; ++i)
            store->append(Direction(i % 2), bytesOf(i), i % 3 == 0);
        QCOMPARE(range.size(), quint64(count));
        for (int i = 0; i < count; ++i) {
            const Datagram d = range.at(quint64(i));
            QCOMPARE(d.direction, Direction(i % 2));
            QCOMPARE(d.valid, i % 3 == 0);
            QCOMPARE(d.data, bytesOf(i));
        }
    }

    // The store frees what no range reaches any more and keeps the rest.
    void releasesWhatNoRangeHolds()
    {
        auto store = std::make_shared<DatagramStore>();
        DatagramRange log(store);
        DatagramRange capture(store);
        const QByteArray line(100, 'x');
        for (int i = 0; i < 30000; ++i)
            store->append(Direction::Tx, line, true);
        const std::size_t full = store->memoryUsage();

        capture.clear();
        QCOMPARE(store->memoryUsage(), full);
        QCOMPARE(log.size(), 30000u);
        QCOMPARE(log.at(29999).data, line);

        store->append(Direction::Rx, "after", true);
        QCOMPARE(capture.size(), 1u);
        QCOMPARE(capture.at(0).data, QByteArrayView("after"));

        log.clear();
        // Only the block and entry chunk that the capture still reaches stay.
        QVERIFY(store->memoryUsage() < full / 2);
        QCOMPARE(capture.at(0).data, QByteArrayView("after"));
        QCOMPARE(store->first(), capture.begin());

        for (int i = 0; i < 10000; ++i)
            store->append(Direction::Rx, line, false);
        QCOMPARE(capture.size(), 10001u);
        QCOMPARE(capture.at(10000).data, line);
        QCOMPARE(log.size(), 10000u);
        QCOMPARE(log.at(0).data, line);
    }
};

QTEST_GUILESS_MAIN(TestDatagramStore)
#include "tst_datagramstore.moc"
