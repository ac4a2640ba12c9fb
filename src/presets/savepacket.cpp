#include "savepacket.h"

#include "lang/language.h"
#include "lang/messagekeys.h"
#include "ui/main/messagebox.h"
#include "ui/tools/formposutils.h"

#include "ui/main/namedobject.h"
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int ClientWidth = 244;
constexpr int ClientHeight = 106;
constexpr int BottomPanelHeight = 41;

} // namespace

TfSavePacket::TfSavePacket(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    FormCreate();
}

TfSavePacket::~TfSavePacket() = default;

void TfSavePacket::FormCreate()
{
    setObjectName(u"fSavePacket"_s);
    setWindowTitle(u"Nastavení předvolby"_s);
    setFixedSize(ClientWidth, ClientHeight);

    auto *upper = named(new QWidget(this), "pMain");
    upper->setGeometry(0, 0, ClientWidth, ClientHeight - BottomPanelHeight);
    named(new QLabel(u"Název:"_s, upper), "lName")->move(16, 12);
    eName = named(new QLineEdit(upper), "eName");
    eName->setGeometry(72, 8, 145, 21);
    named(new QLabel(u"Skupina:"_s, upper), "lGroup")->move(16, 36);
    cbGroup = named(new QComboBox(upper), "cbGroup");
    cbGroup->setEditable(true);
    cbGroup->setInsertPolicy(QComboBox::NoInsert);
    cbGroup->setGeometry(72, 32, 145, 21);

    auto *bottom = named(new QWidget(this), "pBottom");
    bottom->setGeometry(0, ClientHeight - BottomPanelHeight, ClientWidth, BottomPanelHeight);
    bCancel = named(new QPushButton(u"Storno"_s, bottom), "bCancel");
    bCancel->setGeometry(32, 8, 75, 25);
    bCancel->setAutoDefault(false);
    bOk = named(new QPushButton(u"Ok"_s, bottom), "bOk");
    bOk->setGeometry(136, 8, 75, 25);
    bOk->setDefault(true);
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(bOk, &QPushButton::clicked, this, &QDialog::accept);

    RunReportingErrors(this, [this] { Language().TranslateForm(this); });
}

void TfSavePacket::setName(const QString &name)
{
    eName->setText(name);
}

QString TfSavePacket::name() const
{
    return eName->text();
}

void TfSavePacket::setGroups(const QStringList &groups)
{
    cbGroup->clear();
    cbGroup->addItems(groups);
    cbGroup->setCurrentIndex(-1);
    cbGroup->setEditText(QString());
}

QString TfSavePacket::group() const
{
    return cbGroup->currentText();
}

void TfSavePacket::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    CentreOnScreen(this);
    eName->setFocus();
    eName->selectAll();
}

void TfSavePacket::done(int result)
{
    if (result == QDialog::Accepted && !FormClose())
        return;
    QDialog::done(result);
}

bool TfSavePacket::FormClose()
{
    if (eName->text().isEmpty()) {
        ShowMessage(this, GetText(Messages::ExceptionPresetCaptionNotEntered));
        eName->setFocus();
        return false;
    }
    if (cbGroup->currentText().isEmpty()) {
        ShowMessage(this, GetText(Messages::ExceptionPresetGroupNotEntered));
        cbGroup->setFocus();
        return false;
    }
    return true;
}
