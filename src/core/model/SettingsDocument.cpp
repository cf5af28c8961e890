#include "SettingsDocument.h"

#include "plist/BinaryFormat.h"
#include "plist/XmlFormat.h"
#include "util/AtomicFile.h"
#include "util/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace JVSXSharedExtensions {

namespace {

// No settings document comes near this; a larger file is refused before it is read.
constexpr qint64 kMaxDocumentSize = 256LL * 1024 * 1024;

QString expandTilde(const QString& path)
{
    if (path == u"~")
        return QDir::homePath();
    if (path.startsWith(u"~/"))
        return QDir::homePath() + path.mid(1);
    return path;
}

plist::DictionaryPtr refuse(QString* why, const QString& reason)
{
    if (why)
        *why = reason;
    return nullptr;
}

} // namespace

plist::DictionaryPtr deeplyMutableDictionaryWithContentsOfFile(const QString& path, QString* why)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(why, file.errorString());
    if (file.size() > kMaxDocumentSize)
        return refuse(why, QStringLiteral("file is larger than %1 bytes").arg(kMaxDocumentSize));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return refuse(why, file.errorString());
    plist::ReadResult result = plist::read(bytes);
    if (!result.ok())
        return refuse(why, QStringLiteral("%1 (at %2)").arg(result.error).arg(result.offset));
    if (!result.value.isDictionary())
        return refuse(why, QStringLiteral("root is a %1, not a dictionary")
                               .arg(QLatin1String(plist::Value::typeName(result.value.type()))));
    return result.value.dictionaryPtr();
}

plist::DictionaryPtr deeplyMutableAutoreleasedCopy(const plist::DictionaryPtr& dictionary)
{
    const plist::WriteResult bytes = plist::writeBinary(plist::Value(dictionary));
    if (!bytes.ok())
        return nullptr;
    plist::ReadResult copy = plist::readBinary(bytes.bytes);
    return copy.value.isDictionary() ? copy.value.dictionaryPtr() : nullptr;
}

bool JVSXCheckDirectory(const QString& path)
{
    const QString expanded = expandTilde(path);
    if (QFileInfo(expanded).isDir())
        return true;
    return QDir().mkdir(expanded);
}

} // namespace JVSXSharedExtensions

namespace snapwick {

SettingsLocation SettingsLocation::inSupportDirectory(const QString& supportDirectory)
{
    const QString product = supportDirectory + QStringLiteral("/Snapwick");
    return {supportDirectory, product, product + QStringLiteral("/Settings.snapwick")};
}

bool writeSettingsDocument(const plist::DictionaryPtr& document, const SettingsLocation& location,
                           QString* error)
{
    auto failed = [error](const QString& message) {
        if (error)
            *error = message;
        return false;
    };
    // The support directory may be missing on a fresh account (it always exists where the
    // design came from), so it is made with its parents; the product's directory is one level.
    if (!QDir().mkpath(location.supportDirectory) ||
        !JVSXSharedExtensions::JVSXCheckDirectory(location.supportDirectory))
        return failed(QStringLiteral("cannot create %1").arg(location.supportDirectory));
    if (!JVSXSharedExtensions::JVSXCheckDirectory(location.productDirectory))
        return failed(QStringLiteral("cannot create %1").arg(location.productDirectory));

    const plist::Value root(document);
    plist::WriteResult bytes = plist::writeXml(root);
    if (!bytes.ok()) {
        logLine(QStringLiteral("settings written as a binary property list: %1").arg(bytes.error));
        bytes = plist::writeBinary(root);
        if (!bytes.ok())
            return failed(bytes.error);
    }
    return writeFileAtomically(location.filePath, bytes.bytes, error);
}

} // namespace snapwick
