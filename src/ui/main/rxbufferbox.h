#pragma once

#include <QAbstractScrollArea>
#include <QByteArray>
#include <QElapsedTimer>
#include <QTimer>

// The receive-buffer box: the received bytes that are not a datagram yet, as
// hexadecimal pairs each followed by a blank, wrapped to the width and kept
// scrolled to the end. It keeps its own copy of the bytes and, while the
// buffer only grows, takes just the new bytes, so megabytes arriving a byte
// at a time cost no more than the bytes themselves. Only the visible lines
// are drawn, and while bytes arrive the box is redrawn a few dozen times a
// second at most, however often the buffer changes.
class TRxBufferBox : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit TRxBufferBox(QWidget *parent = nullptr);

    // Shows a pending buffer whose first byte is the stream's byte number
    // `offset`: the same start and more bytes means only the tail is new.
    void showBuffer(QByteArrayView buffer, quint64 offset);
    void clear();

    [[nodiscard]] QByteArrayView bytes() const { return m_bytes; }
    // The text shown: "2A 61 00 ".
    [[nodiscard]] QString text() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    [[nodiscard]] int bytesPerLine() const;
    [[nodiscard]] int lineHeight() const;
    void updateScrollRange(bool followEnd);
    void scheduleRefresh();
    void refresh();

    QByteArray m_bytes;
    quint64 m_offset = 0;
    QTimer m_refreshTimer;
    QElapsedTimer m_sinceRefresh;
};
