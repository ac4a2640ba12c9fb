#pragma once

#include <QWidget>

class QProgressBar;

// The progress window of long operations: a borderless window centred on the
// screen with one blue gauge. It is translated when created and deletes
// itself when closed.
class TfProgressSimple : public QWidget
{
    Q_OBJECT

public:
    explicit TfProgressSimple(QWidget *parent = nullptr);

    // Progress back to 0.
    void reset();
    // Progress plus 1.
    void step();
    void setMaximum(int maximum);
    // Moves the gauge to a position at once, as that many steps would.
    void setProgress(int progress);

    [[nodiscard]] int progress() const;
    [[nodiscard]] int maximum() const;

private:
    QProgressBar *Gauge1 = nullptr;
};
