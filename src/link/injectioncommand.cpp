#include "injectioncommand.h"

#include "core/apperror.h"
#include "core/byteformat.h"
#include "injectionserver.h"

#include <cstdio>

namespace {

void printError(const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fputc('\n', stderr);
}

int usage(const QString &reason)
{
    printError(reason);
    printError(QStringLiteral("Usage: tarvel-terminal --inject rx|tx [HEX]"));
    return InjectUsageError;
}

} // namespace

int RunInjectCommand(const QStringList &arguments)
{
    if (arguments.isEmpty() || arguments.size() > 2)
        return usage(QStringLiteral("--inject takes a direction and hex text."));

    // The first byte selects the direction: 1 received, 0 sent.
    QByteArray message;
    const QString direction = arguments.at(0).toLower();
    if (direction == u"rx")
        message.append(char(1));
    else if (direction == u"tx")
        message.append(char(0));
    else
        return usage(QStringLiteral("'%1' is no direction: use rx or tx.").arg(arguments.at(0)));

    if (arguments.size() == 2) {
        try {
            message.append(HexToBytes(QStringView(arguments.at(1))));
        } catch (const AppError &error) {
            return usage(
                QStringLiteral("Bad hex text '%1': %2").arg(arguments.at(1), error.message()));
        }
    }

    const QString path = TInjectionServer::defaultPath();
    if (!InjectMessage(path, message)) {
        printError(QStringLiteral("No running Tarvel Terminal answered on %1.").arg(path));
        return InjectNotAnswered;
    }
    return 0;
}
