#include "ResourceForkLocator.h"

#include "AppleDouble.h"
#include "ResourceFork.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace snapwick {

namespace {

// Resource forks are at most 16 MB by their format; containers a little more.
constexpr qint64 kMaxForkFile = 32LL * 1024 * 1024;
constexpr int kMaxFolderLevels = 8;

std::optional<QByteArray> readSmallFile(const QString& path)
{
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly) || f.size() > kMaxForkFile)
        return std::nullopt;
    return f.readAll();
}

std::optional<QByteArray> forkInSidecar(const QString& path)
{
    const auto bytes = readSmallFile(path);
    return bytes ? resourceForkOfAppleContainer(*bytes) : std::nullopt;
}

} // namespace

std::optional<QByteArray> locateResourceFork(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return std::nullopt;
    // Named forks: "..namedfork/rsrc" where the platform's scheme is mounted, "rsrc" on
    // Linux's HFS+ driver.
    for (const char* fork : {"/..namedfork/rsrc", "/rsrc"}) {
        if (auto bytes = readSmallFile(path + QLatin1String(fork)); bytes && !bytes->isEmpty())
            return bytes;
    }
    const QString name = info.fileName();
    if (auto fork = forkInSidecar(info.dir().filePath(QStringLiteral("._") + name)))
        return fork;
    QDir folder = info.dir();
    QString relative = QStringLiteral("._") + name;
    for (int level = 0; level < kMaxFolderLevels; ++level) {
        if (auto fork = forkInSidecar(folder.filePath(QStringLiteral("__MACOSX/") + relative)))
            return fork;
        relative = folder.dirName() + u'/' + relative;
        if (!folder.cdUp())
            break;
    }
    const auto own = readSmallFile(path);
    if (!own)
        return std::nullopt;
    if (isAppleContainer(*own))
        return resourceForkOfAppleContainer(*own);
    if (ResourceFork::parse(*own))
        return own;
    return std::nullopt;
}

} // namespace snapwick
