#include "BundleResources.h"

namespace JVSXExtensions {

QImage bundleImageNamed(const QString& name, const QString& type)
{
    return QImage(QStringLiteral(":/snapwick/%1.%2").arg(name, type));
}

} // namespace JVSXExtensions
