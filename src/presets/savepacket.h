#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

// The dialog fSavePacket that names a new preset and its group. Closing it
// with OK is refused, with a message, while the name or the group is empty;
// Cancel always closes.
class TfSavePacket : public QDialog
{
    Q_OBJECT

public:
    explicit TfSavePacket(QWidget *parent = nullptr);
    ~TfSavePacket() override;

    void setName(const QString &name);
    [[nodiscard]] QString name() const;
    // The groups offered in the list; the group field starts empty.
    void setGroups(const QStringList &groups);
    [[nodiscard]] QString group() const;

    [[nodiscard]] QLineEdit *nameEdit() const { return eName; }
    [[nodiscard]] QComboBox *groupBox() const { return cbGroup; }
    [[nodiscard]] QPushButton *okButton() const { return bOk; }
    [[nodiscard]] QPushButton *cancelButton() const { return bCancel; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    // The check made when the dialog closes with OK; false keeps it open.
    bool FormClose();

    QLineEdit *eName = nullptr;
    QComboBox *cbGroup = nullptr;
    QPushButton *bCancel = nullptr;
    QPushButton *bOk = nullptr;
};
