#include "Localization.h"

#include <QCoreApplication>

QString JVSXLocalizedString(const char* key)
{
    return QCoreApplication::translate("Snapwick", key);
}
