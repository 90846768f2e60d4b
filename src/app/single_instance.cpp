#include "app/single_instance.h"

#include "app/app_messages.h"

#include <QDir>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace app {

namespace {

QString defaultFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder;
}

} // namespace

SingleInstanceGuard::SingleInstanceGuard(const QString& name, const QString& folder) {
    const QString dir = folder.isEmpty() ? defaultFolder() : folder;
    path_ = QFile::encodeName(QDir(dir).filePath(name + QStringLiteral(".lock")));
}

SingleInstanceGuard::~SingleInstanceGuard() {
    release();
}

SingleInstanceGuard::Result SingleInstanceGuard::acquire() {
    if (fd_ >= 0)
        return Result::Acquired;
    // Close-on-exec: a browser or other program started from here must not inherit the lock.
    const int fd = ::open(path_.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        errno_ = errno;
        return Result::Failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        errno_ = errno;
        ::close(fd);
        return errno_ == EWOULDBLOCK ? Result::HeldElsewhere : Result::Failed;
    }
    fd_ = fd;
    return Result::Acquired;
}

QString SingleInstanceGuard::errorText() const {
    return path() + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno_));
}

void SingleInstanceGuard::release() {
    if (fd_ < 0)
        return;
    // The file stays: removing it could let a third copy lock a new file while a second one
    // still holds the old, unlinked one.
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

bool ensureSingleInstance(SingleInstanceGuard& guard, Dialogs& dialogs) {
    switch (guard.acquire()) {
    case SingleInstanceGuard::Result::Acquired:
        return true;
    case SingleInstanceGuard::Result::HeldElsewhere:
        dialogs.message(msg::kAlreadyRunning);
        return false;
    case SingleInstanceGuard::Result::Failed:
        break;
    }
    // Without a lock a second copy cannot be detected; the program still runs, and says so.
    dialogs.message(msg::kLockFailed.arg(guard.errorText()), MessageKind::Warning);
    return true;
}

} // namespace app
