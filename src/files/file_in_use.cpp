#include "files/file_in_use.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace files {
namespace {

// Spreadsheet applications mark an open workbook with a lock file in the same folder.
bool hasLockFileBeside(const QFileInfo& file) {
    const QDir folder = file.absoluteDir();
    const QString name = file.fileName();
    return QFileInfo::exists(
               folder.filePath(QStringLiteral(".~lock.") + name + QLatin1Char('#'))) ||
           QFileInfo::exists(folder.filePath(QStringLiteral("~$") + name));
}

// A record lock of another process on any byte of the file (fcntl locks are per process, so
// our own locks never show here).
bool hasForeignRecordLock(int fd) {
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = 0;
    probe.l_len = 0;
    if (::fcntl(fd, F_GETLK, &probe) != 0)
        return false;
    return probe.l_type != F_UNLCK;
}

// A whole-file lock held through another open file description.
bool hasForeignFileLock(int fd) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        ::flock(fd, LOCK_UN);
        return false;
    }
    return errno == EWOULDBLOCK;
}

} // namespace

bool IsFileInUse(const QString& fName) {
    const QFileInfo file(fName);
    if (!file.exists())
        return false;
    // The owner's write bit is the read-only mark; it counts even for a user whom the system
    // would let write anyway.
    const bool readOnly = !file.isWritable() || !file.permissions().testFlag(QFile::WriteOwner);
    if (readOnly || hasLockFileBeside(file))
        return true;
    const QByteArray path = QFile::encodeName(file.absoluteFilePath());
    const int fd = ::open(path.constData(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return true;
    const bool locked = hasForeignRecordLock(fd) || hasForeignFileLock(fd);
    ::close(fd);
    return locked;
}

} // namespace files
