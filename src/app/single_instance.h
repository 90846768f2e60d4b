// Keeps a second copy of the program from running. The guard is an advisory lock on a file:
// the kernel drops it with the process, however the process ends (kill -9 included), so a
// stale lock can never keep the program from starting.
#pragma once

#include "app/dialogs.h"

#include <QByteArray>
#include <QString>

namespace app {

class SingleInstanceGuard {
public:
    // The lock file `name`.lock in `folder`; without a folder, the user's runtime folder.
    explicit SingleInstanceGuard(const QString& name, const QString& folder = {});
    ~SingleInstanceGuard();
    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

    enum class Result { Acquired, HeldElsewhere, Failed };
    // Takes the lock. Uses system calls only, so it is safe between fork and exec.
    Result acquire();
    void release();
    bool held() const { return fd_ >= 0; }
    QString path() const { return QString::fromLocal8Bit(path_); }
    // The lock file and the system's reason for Failed.
    QString errorText() const;

private:
    QByteArray path_;
    int fd_ = -1;
    int errno_ = 0;
};

// Start-up's guard: true when this is the only running copy. Otherwise the user is told that
// the program runs already and the caller ends the program.
bool ensureSingleInstance(SingleInstanceGuard& guard, Dialogs& dialogs);

} // namespace app
