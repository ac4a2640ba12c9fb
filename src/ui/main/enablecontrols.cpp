#include "enablecontrols.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QPalette>

void EnableControls(const QList<QWidget *> &controls, bool enabled)
{
    for (QWidget *control : controls) {
        if (!control)
            continue;
        control->setEnabled(enabled);
        if (qobject_cast<QComboBox *>(control) || qobject_cast<QAbstractSpinBox *>(control)) {
            QPalette palette = control->palette();
            const QColor background =
                enabled ? QColor(Qt::white) : QApplication::palette().color(QPalette::Button);
            palette.setColor(QPalette::Disabled, QPalette::Base, background);
            palette.setColor(QPalette::Active, QPalette::Base, background);
            palette.setColor(QPalette::Inactive, QPalette::Base, background);
            control->setPalette(palette);
        }
    }
}
