#include "ui/main/enablecontrols.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

class TestEnableControls : public QObject
{
    Q_OBJECT

private slots:
    void enablesAndColoursCombosAndSpinBoxes()
    {
        QComboBox combo;
        QSpinBox spin;
        QLineEdit edit;
        const QColor editBase = edit.palette().color(QPalette::Base);
        const QColor buttonFace = QApplication::palette().color(QPalette::Button);

        EnableControls({&combo, &spin, &edit, nullptr}, false);
        for (QWidget *w : QList<QWidget *>{&combo, &spin, &edit})
            QVERIFY(!w->isEnabled());
        QCOMPARE(combo.palette().color(QPalette::Disabled, QPalette::Base), buttonFace);
        QCOMPARE(spin.palette().color(QPalette::Disabled, QPalette::Base), buttonFace);
        QCOMPARE(edit.palette().color(QPalette::Active, QPalette::Base), editBase);

        EnableControls({&combo, &spin, &edit}, true);
        QVERIFY(combo.isEnabled() && spin.isEnabled() && edit.isEnabled());
        QCOMPARE(combo.palette().color(QPalette::Active, QPalette::Base), QColor(Qt::white));
        QCOMPARE(spin.palette().color(QPalette::Active, QPalette::Base), QColor(Qt::white));
    }
};

QTEST_MAIN(TestEnableControls)
#include "tst_enablecontrols.moc"
