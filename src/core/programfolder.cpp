#include "programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString ProgramFolder()
{
    const QString executableFolder = QCoreApplication::applicationDirPath();
    const QString installed = executableFolder + QStringLiteral("/../share/tarvel-terminal");
    if (QFileInfo(installed).isDir())
        return QDir(installed).canonicalPath() + u'/';
    return executableFolder + u'/';
}

QString ResolveProgramPath(const QString &storedName)
{
    QString name = storedName;
    name.replace(u'\\', u'/');
    if (name.startsWith(u'/') && !storedName.startsWith(u'/'))
        return ProgramFolder() + name.sliced(1);
    return name;
}
