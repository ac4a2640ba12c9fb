#pragma once

#include <QWidget>

// The small borderless window that names the byte under the mouse while Ctrl
// is held: pale yellow, in a fixed-pitch font, word-wrapped to 150 pixels.
class ByteHintWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int MaxTextWidth = 150;

    explicit ByteHintWindow(QWidget *parent = nullptr);

    // Shows the text with the window's top-left corner at a screen position.
    void showText(const QString &text, QPoint topLeft);
    [[nodiscard]] QString text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
};
