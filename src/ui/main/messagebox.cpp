#include "messagebox.h"

#include "core/apperror.h"

#include <QApplication>
#include <QMessageBox>

namespace {
MessagePresenter &presenter()
{
    static MessagePresenter instance;
    return instance;
}
} // namespace

void SetMessagePresenter(MessagePresenter replacement)
{
    presenter() = std::move(replacement);
}

void ShowMessage(QWidget *parent, const QString &text)
{
    if (presenter()) {
        presenter()(parent, text);
        return;
    }
    QMessageBox::information(parent, QApplication::applicationName(), text);
}

void ShowError(QWidget *parent, const QString &text)
{
    if (presenter()) {
        presenter()(parent, text);
        return;
    }
    QMessageBox::critical(parent, QApplication::applicationName(), text);
}

void RunReportingErrors(QWidget *parent, const std::function<void()> &operation)
{
    try {
        operation();
    } catch (const AppError &error) {
        ShowError(parent, error.message());
    } catch (const std::exception &error) {
        ShowError(parent, QString::fromLocal8Bit(error.what()));
    }
}
