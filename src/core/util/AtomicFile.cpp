#include "AtomicFile.h"

#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace snapwick {

namespace {

bool report(QString* error, const QString& what)
{
    if (error)
        *error = what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

bool writeAll(int fd, const QByteArray& bytes)
{
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, std::size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

// What open(2) would give a new file: 0666 less the process's umask.
mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

void syncDirectory(const QByteArray& directory)
{
    const int fd = ::open(directory.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    QFileInfo info(path);
    if (info.isSymLink() && !info.symLinkTarget().isEmpty())
        info = QFileInfo(info.symLinkTarget());
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    const QByteArray directory = QFile::encodeName(info.absolutePath());

    struct stat old;
    const mode_t mode =
        ::stat(target.constData(), &old) == 0 ? (old.st_mode & 07777) : newFileMode();

    QByteArray temporary = target + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return report(error, QStringLiteral("cannot create a temporary file beside %1").arg(path));
    const bool written = writeAll(fd, bytes) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    const int savedErrno = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        ::unlink(temporary.constData());
        errno = written ? errno : savedErrno;
        return report(error, QStringLiteral("cannot write %1").arg(path));
    }
    if (::rename(temporary.constData(), target.constData()) != 0) {
        const int renameErrno = errno;
        ::unlink(temporary.constData());
        errno = renameErrno;
        return report(error, QStringLiteral("cannot replace %1").arg(path));
    }
    syncDirectory(directory);
    return true;
}

} // namespace snapwick
