#pragma once

#include <QString>

#include <exception>

// An error that reaches the user as a message box with its text. Thrown by
// the helpers whose failures are not handled by their callers (bad hex text,
// files that cannot be written, missing values) and caught by the program's
// top-level error handler.
class AppError : public std::exception
{
public:
    explicit AppError(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8())
    {}

    [[nodiscard]] const QString &message() const noexcept { return m_message; }
    [[nodiscard]] const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// Text that should have been a number was not one.
class ConversionError : public AppError
{
public:
    using AppError::AppError;

    // The message for a text that is not a valid integer, in the form users
    // know from other programs: '$G1' is not a valid integer value.
    [[nodiscard]] static ConversionError invalidInteger(QStringView text)
    {
        return ConversionError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    }
};
