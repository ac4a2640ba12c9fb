#include "link/chunkqueue.h"

#include <QTest>

#include <cstring>

namespace {

// Writes the bytes at the queue's tail the way the reading thread does.
bool put(TChunkQueue &queue, quint64 generation, QByteArrayView bytes, std::size_t minimum = 1)
{
    const std::span<char> room = queue.room(std::max<std::size_t>(minimum, bytes.size()));
    std::memcpy(room.data(), bytes.data(), std::size_t(bytes.size()));
    return queue.commit(generation, std::size_t(bytes.size()));
}

QByteArray takeAll(TChunkQueue &queue, qsizetype maxBytes)
{
    QByteArray all;
    for (QByteArray part = queue.take(maxBytes); !part.isEmpty(); part = queue.take(maxBytes)) {
        if (part.size() > maxBytes)
            return "piece too large";
        all += part;
    }
    return all;
}

} // namespace

class TestChunkQueue : public QObject
{
    Q_OBJECT

private slots:
    // Bytes come out in order, in pieces no larger than asked for, also
    // across the boundary of two regions; only the first byte after an
    // empty queue asks for a wake-up.
    void bytesKeepTheirOrder()
    {
        TChunkQueue queue(TChunkQueue::RegionSize * 64);
        queue.restart(1);
        QByteArray sent;
        QList<bool> wakeUps;
        for (int i = 0; i < 40; ++i) {
            const QByteArray chunk(100'000 + i, char('a' + i % 26));
            // Room for a whole region is asked for now and then, so that
            // some chunks start a new region.
            wakeUps << put(queue, 1, chunk, i % 7 == 6 ? TChunkQueue::RegionSize : 1);
            sent += chunk;
        }
        QCOMPARE(wakeUps.count(true), 1);
        QVERIFY(wakeUps.first());
        QCOMPARE(queue.bytesCommitted(), quint64(sent.size()));
        QCOMPARE(takeAll(queue, 65536), sent);
        QVERIFY(queue.isEmpty());
        QVERIFY(put(queue, 1, "again"));
    }

    // A restart drops what is queued and refuses the old connection's bytes.
    void restartLeavesTheOldConnection()
    {
        TChunkQueue queue(TChunkQueue::RegionSize * 64);
        queue.restart(1);
        put(queue, 1, "old");
        queue.restart(2);
        QVERIFY(queue.isEmpty());
        QCOMPARE(queue.bytesCommitted(), 0u);
        QVERIFY(!put(queue, 1, "late"));
        QVERIFY(queue.isEmpty());
        QVERIFY(put(queue, 2, "new"));
        QCOMPARE(takeAll(queue, 2), QByteArray("new"));
    }

    // A full queue stops the reader until the consumer has taken it down to
    // half; the reader is woken once.
    void fullQueueHoldsTheReaderBack()
    {
        TChunkQueue queue(1000);
        queue.restart(1);
        QVERIFY(queue.hasRoom());
        put(queue, 1, QByteArray(999, 'x'));
        QVERIFY(queue.hasRoom());
        put(queue, 1, QByteArray(101, 'y'));
        QVERIFY(!queue.hasRoom());
        QVERIFY(!queue.readerMayResume());

        QCOMPARE(queue.take(500).size(), 500);
        QVERIFY(!queue.readerMayResume());
        QCOMPARE(queue.take(100).size(), 100);
        QVERIFY(queue.readerMayResume());
        QVERIFY(!queue.readerMayResume());
        QVERIFY(queue.hasRoom());

        // A new connection starts with an empty queue and a reader that
        // need not wait.
        put(queue, 1, QByteArray(1000, 'z'));
        QVERIFY(!queue.hasRoom());
        queue.restart(2);
        QVERIFY(queue.hasRoom());
        QVERIFY(!queue.readerMayResume());
    }
};

QTEST_GUILESS_MAIN(TestChunkQueue)
#include "tst_chunkqueue.moc"
