#include "appversion.h"

#include "appversion_config.h"

QString GetAppVersion()
{
    return QStringLiteral(TARVEL_VERSION_TEXT);
}
