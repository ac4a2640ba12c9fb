#include "progresssimple.h"

#include "lang/language.h"
#include "messagebox.h"

#include <QGuiApplication>
#include <QProgressBar>
#include <QScreen>

#include <algorithm>

namespace {
constexpr QSize ClientSize(416, 50);
constexpr QRect GaugeGeometry(8, 8, 401, 33);
} // namespace

TfProgressSimple::TfProgressSimple(QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("fProgressSimple"));
    setWindowTitle(QStringLiteral("Progress"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(ClientSize);

    Gauge1 = new QProgressBar(this);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setGeometry(GaugeGeometry);
    Gauge1->setRange(0, 100);
    Gauge1->setValue(0);
    Gauge1->setStyleSheet(
        QStringLiteral("QProgressBar { border: 1px solid #808080; background: #FFFFFF;"
                       " color: #000000; text-align: center; }"
                       "QProgressBar::chunk { background: #0000FF; }"));

    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect frame(QPoint(), ClientSize);
        frame.moveCenter(screen->geometry().center());
        move(frame.topLeft());
    }

    RunReportingErrors(this, [this] { Language().TranslateForm(this); });
}

void TfProgressSimple::reset()
{
    Gauge1->setValue(Gauge1->minimum());
}

void TfProgressSimple::step()
{
    setProgress(Gauge1->value() + 1);
}

void TfProgressSimple::setMaximum(int maximum)
{
    // A gauge of range 0 would turn into a busy indicator.
    Gauge1->setMaximum(std::max(maximum, 1));
}

void TfProgressSimple::setProgress(int progress)
{
    // The bar ignores values outside its range; the gauge stops at its ends.
    Gauge1->setValue(std::clamp(progress, Gauge1->minimum(), Gauge1->maximum()));
}

int TfProgressSimple::progress() const
{
    return Gauge1->value();
}

int TfProgressSimple::maximum() const
{
    return Gauge1->maximum();
}
