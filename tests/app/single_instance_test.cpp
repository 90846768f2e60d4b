// The single-instance guard against a second process, including one killed with SIGKILL.
#include "app/single_instance.h"
#include "support/scripted_dialogs.h"

#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using app::SingleInstanceGuard;
using Result = SingleInstanceGuard::Result;

// A child process that takes the guard, reports whether it got it, then waits to be killed.
class GuardHolder {
public:
    explicit GuardHolder(const QString& folder) {
        SingleInstanceGuard guard(QStringLiteral("Tabrinel"), folder);
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(fds[0]);
            const char answer = guard.acquire() == Result::Acquired ? 'y' : 'n';
            (void)!::write(fds[1], &answer, 1);
            for (;;)
                ::pause();
        }
        ::close(fds[1]);
        char answer = 0;
        acquired_ = ::read(fds[0], &answer, 1) == 1 && answer == 'y';
        ::close(fds[0]);
    }
    ~GuardHolder() { kill(); }

    bool acquired() const { return acquired_; }
    void kill() {
        if (pid_ <= 0)
            return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    bool acquired_ = false;
};

TEST(SingleInstance, SecondCopyIsRefusedUntilTheFirstIsKilled) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    GuardHolder first(folder.path());
    ASSERT_TRUE(first.acquired());

    SingleInstanceGuard second(QStringLiteral("Tabrinel"), folder.path());
    EXPECT_EQ(second.acquire(), Result::HeldElsewhere);
    EXPECT_FALSE(second.held());

    // kill -9 leaves the lock file behind, but not the lock.
    first.kill();
    EXPECT_TRUE(QFile::exists(second.path()));
    EXPECT_EQ(second.acquire(), Result::Acquired);

    GuardHolder third(folder.path());
    EXPECT_FALSE(third.acquired());
}

TEST(SingleInstance, ReleasedGuardLetsTheNextCopyStart) {
    QTemporaryDir folder;
    SingleInstanceGuard guard(QStringLiteral("Tabrinel"), folder.path());
    ASSERT_EQ(guard.acquire(), Result::Acquired);
    EXPECT_EQ(guard.acquire(), Result::Acquired) << "taking it twice in one copy is harmless";
    guard.release();
    GuardHolder next(folder.path());
    EXPECT_TRUE(next.acquired());
}

TEST(SingleInstance, StartUpTellsTheSecondCopyAndLetsTheFirstRun) {
    QTemporaryDir folder;
    testsupport::ScriptedDialogs dialogs;
    SingleInstanceGuard first(QStringLiteral("Tabrinel"), folder.path());
    EXPECT_TRUE(app::ensureSingleInstance(first, dialogs));
    EXPECT_TRUE(dialogs.shown().isEmpty());

    GuardHolder other(folder.path());
    EXPECT_FALSE(other.acquired());
    first.release();

    GuardHolder running(folder.path());
    ASSERT_TRUE(running.acquired());
    SingleInstanceGuard second(QStringLiteral("Tabrinel"), folder.path());
    EXPECT_FALSE(app::ensureSingleInstance(second, dialogs));
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown()[0].text, QStringLiteral("Tabrinel 프로그램이 이미 실행중입니다."));
    EXPECT_EQ(dialogs.shown()[0].messageKind, app::MessageKind::Plain);
}

TEST(SingleInstance, UnusableLockFolderStillStartsAndSaysWhy) {
    testsupport::ScriptedDialogs dialogs;
    SingleInstanceGuard guard(QStringLiteral("Tabrinel"), QStringLiteral("/nonexistent/folder"));
    EXPECT_TRUE(app::ensureSingleInstance(guard, dialogs));
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown()[0].messageKind, app::MessageKind::Warning);
    EXPECT_TRUE(dialogs.shown()[0].text.contains(QStringLiteral("/nonexistent/folder")));
}

} // namespace
