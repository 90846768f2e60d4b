#include "files/file_in_use.h"
#include "files/file_operations.h"
#include "files/files_messages.h"
#include "files/workbook_folder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace files;

namespace {

class DataFolder : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        // The desktop trash of these tests lives in the temporary folder, never the user's.
        savedDataHome_ = qgetenv("XDG_DATA_HOME");
        hadDataHome_ = qEnvironmentVariableIsSet("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(root_.filePath(QStringLiteral("share"))));
        ASSERT_TRUE(QDir(root_.path()).mkpath(QStringLiteral("data")));
    }
    void TearDown() override {
        if (hadDataHome_)
            qputenv("XDG_DATA_HOME", savedDataHome_);
        else
            qunsetenv("XDG_DATA_HOME");
    }

    QString folder() const { return root_.filePath(QStringLiteral("data")); }
    QString path(const QString& name) const { return fullPathOf(folder(), name); }

    void write(const QString& name, const QByteArray& content = "workbook") const {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QByteArray read(const QString& name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Names of the files that reached a trash inside the temporary folder.
    QStringList trashed() const {
        QStringList names;
        QDirIterator it(root_.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString found = it.next();
            if (found.contains(QStringLiteral("/files/")))
                names.append(QFileInfo(found).fileName());
        }
        return names;
    }

    QTemporaryDir root_;
    QByteArray savedDataHome_;
    bool hadDataHome_ = false;
};

// Runs `holdLock` in a child process until the returned pipe is closed.
class ForeignLock {
public:
    explicit ForeignLock(const QString& path) {
        int ready[2];
        int release[2];
        if (::pipe(ready) != 0 || ::pipe(release) != 0)
            return;
        const QByteArray name = QFile::encodeName(path);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            ::close(release[1]);
            const int fd = ::open(name.constData(), O_RDWR);
            struct flock lock {};
            lock.l_type = F_WRLCK;
            lock.l_whence = SEEK_SET;
            const char ok = (fd >= 0 && ::fcntl(fd, F_SETLK, &lock) == 0) ? '1' : '0';
            (void)!::write(ready[1], &ok, 1);
            char done;
            (void)!::read(release[0], &done, 1);
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(release[0]);
        release_ = release[1];
        char ok = '0';
        locked_ = ::read(ready[0], &ok, 1) == 1 && ok == '1';
        ::close(ready[0]);
    }
    ~ForeignLock() {
        if (release_ >= 0)
            ::close(release_);
        if (pid_ > 0)
            ::waitpid(pid_, nullptr, 0);
    }
    bool locked() const { return locked_; }

private:
    pid_t pid_ = -1;
    int release_ = -1;
    bool locked_ = false;
};

} // namespace

TEST_F(DataFolder, ListsWorkbooksIgnoringCaseWithoutLockFiles) {
    for (const char* name : {"b.xlsx", "A.xls", "c.XLSX", "d.xlsm", "e.txt", "xlsx", "~$b.xlsx",
                             ".~lock.b.xlsx#", "f.xls.bak"})
        write(QString::fromUtf8(name));
    ASSERT_TRUE(QDir(folder()).mkdir(QStringLiteral("g.xlsx")));
    EXPECT_EQ(
        listWorkbooks(folder()),
        QStringList({QStringLiteral("A.xls"), QStringLiteral("b.xlsx"), QStringLiteral("c.XLSX"),
                     QStringLiteral("d.xlsm"), QStringLiteral("f.xls.bak")}));
    EXPECT_TRUE(listWorkbooks(root_.filePath(QStringLiteral("none"))).isEmpty());
    EXPECT_TRUE(listWorkbooks(QString()).isEmpty());
}

TEST(WorkbookFolder, FullPathsAndCaptions) {
    const QString sep = QDir::separator();
    EXPECT_EQ(fullPathOf(QStringLiteral("/d/x"), QStringLiteral("a.xlsx")),
              sep + "d" + sep + "x" + sep + "a.xlsx");
    EXPECT_EQ(fullPathOf(QStringLiteral("/d/x/"), QStringLiteral("a.xlsx")),
              fullPathOf(QStringLiteral("/d/x"), QStringLiteral("a.xlsx")));
    EXPECT_EQ(fullPathOf(QStringLiteral("/"), QStringLiteral("a.xlsx")), sep + "a.xlsx");
    EXPECT_EQ(folderCaption(3), QStringLiteral("Data폴더(3)"));
    EXPECT_EQ(folderCaptionOnEntry(0), QStringLiteral("DATA폴더 (0)"));
    EXPECT_EQ(listCaption(12), QStringLiteral("취합할 파일(12)"));
}

TEST_F(DataFolder, InUseByLockFilesReadOnlyOrLocks) {
    EXPECT_FALSE(IsFileInUse(path(QStringLiteral("missing.xlsx"))));
    write(QStringLiteral("free.xlsx"));
    EXPECT_FALSE(IsFileInUse(path(QStringLiteral("free.xlsx"))));

    write(QStringLiteral("office.xlsx"));
    write(QStringLiteral(".~lock.office.xlsx#"));
    EXPECT_TRUE(IsFileInUse(path(QStringLiteral("office.xlsx"))));

    write(QStringLiteral("owner.xlsx"));
    write(QStringLiteral("~$owner.xlsx"));
    EXPECT_TRUE(IsFileInUse(path(QStringLiteral("owner.xlsx"))));

    write(QStringLiteral("readonly.xlsx"));
    ASSERT_TRUE(QFile::setPermissions(path(QStringLiteral("readonly.xlsx")),
                                      QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    EXPECT_TRUE(IsFileInUse(path(QStringLiteral("readonly.xlsx"))));
}

TEST_F(DataFolder, InUseWhileAnotherHolderLocksTheFile) {
    write(QStringLiteral("flocked.xlsx"));
    const QByteArray name = QFile::encodeName(path(QStringLiteral("flocked.xlsx")));
    const int fd = ::open(name.constData(), O_RDWR);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    EXPECT_TRUE(IsFileInUse(path(QStringLiteral("flocked.xlsx"))));
    ::close(fd);
    EXPECT_FALSE(IsFileInUse(path(QStringLiteral("flocked.xlsx"))));

    write(QStringLiteral("recordlocked.xlsx"));
    {
        ForeignLock lock(path(QStringLiteral("recordlocked.xlsx")));
        ASSERT_TRUE(lock.locked());
        EXPECT_TRUE(IsFileInUse(path(QStringLiteral("recordlocked.xlsx"))));
    }
    EXPECT_FALSE(IsFileInUse(path(QStringLiteral("recordlocked.xlsx"))));
}

TEST_F(DataFolder, DeleteMovesToTheTrashAndLeavesFilesInUse) {
    write(QStringLiteral("one.xlsx"), "first");
    write(QStringLiteral("two.xlsx"));
    write(QStringLiteral("three.xlsx"));
    write(QStringLiteral("~$two.xlsx"));

    const DeleteOutcome outcome =
        deleteWorkbooks(folder(), {QStringLiteral("one.xlsx"), QStringLiteral("two.xlsx"),
                                   QStringLiteral("gone.xlsx"), QStringLiteral("three.xlsx")});

    EXPECT_EQ(outcome.removed, QStringList({QStringLiteral("one.xlsx"), QStringLiteral("gone.xlsx"),
                                            QStringLiteral("three.xlsx")}));
    EXPECT_EQ(outcome.kept, QStringList{QStringLiteral("two.xlsx")});
    EXPECT_EQ(listWorkbooks(folder()), QStringList{QStringLiteral("two.xlsx")});
    if (QStorageInfo(root_.path()) == QStorageInfo(QDir::homePath())) {
        const QStringList inTrash = trashed();
        EXPECT_TRUE(inTrash.contains(QStringLiteral("one.xlsx")));
        EXPECT_TRUE(inTrash.contains(QStringLiteral("three.xlsx")));
    }
    EXPECT_FALSE(DeleteFileWithUndo(path(QStringLiteral("gone.xlsx"))));
}

TEST(RenameRules, PrefillAndNewNameKeepTheOwnExtension) {
    EXPECT_EQ(renamePrefill(QStringLiteral("BOOK1.xlsx")), QStringLiteral("BOOK1"));
    EXPECT_EQ(renamePrefill(QStringLiteral("BOOK1.xls")), QStringLiteral("BOOK1"));
    EXPECT_EQ(renamePrefill(QStringLiteral("v1.2.xlsm")), QStringLiteral("v1.2"));
    EXPECT_EQ(renamedFileName(QStringLiteral("BOOK1.xls"), QStringLiteral("BOOK2")),
              QStringLiteral("BOOK2.xls"));
    EXPECT_EQ(renamedFileName(QStringLiteral("BOOK1.xlsx"), QStringLiteral("BOOK2.XLSX")),
              QStringLiteral("BOOK2.xlsx"));
    EXPECT_EQ(renamedFileName(QStringLiteral("BOOK1.xlsx"), QStringLiteral("BOOK2.xls")),
              QStringLiteral("BOOK2.xls.xlsx"));
}

TEST(RenameRules, RefusesSeparatorsParentsAndControlCharacters) {
    EXPECT_TRUE(isUsableFileName(QStringLiteral("학교 현황 (1).xlsx")));
    for (const char* bad :
         {"a/b.xlsx", "a\\b.xlsx", "...xlsx", "../a.xlsx", "a\tb.xlsx", "a:b.xlsx", "a?.xlsx"})
        EXPECT_FALSE(isUsableFileName(QString::fromUtf8(bad))) << bad;
}

TEST_F(DataFolder, RenameKeepsExtensionAndNeverReplaces) {
    write(QStringLiteral("BOOK1.xlsx"), "one");
    write(QStringLiteral("OLD.xls"), "legacy");
    write(QStringLiteral("TAKEN.xlsx"), "taken");

    RenameResult result =
        renameWorkbook(folder(), QStringLiteral("BOOK1.xlsx"), QStringLiteral("BOOK2"));
    EXPECT_EQ(result.status, RenameStatus::Renamed);
    EXPECT_EQ(result.newName, QStringLiteral("BOOK2.xlsx"));
    EXPECT_EQ(read(QStringLiteral("BOOK2.xlsx")), QByteArray("one"));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("BOOK1.xlsx"))));

    result = renameWorkbook(folder(), QStringLiteral("OLD.xls"), QStringLiteral("NEW"));
    EXPECT_EQ(result.newName, QStringLiteral("NEW.xls"));
    EXPECT_EQ(read(QStringLiteral("NEW.xls")), QByteArray("legacy"));

    result = renameWorkbook(folder(), QStringLiteral("BOOK2.xlsx"), QStringLiteral("TAKEN"));
    EXPECT_EQ(result.status, RenameStatus::Refused);
    EXPECT_EQ(result.refusal, RenameRefusal::NameTaken);
    EXPECT_TRUE(renameRefusalReason(result).contains(QStringLiteral("TAKEN.xlsx")));
    EXPECT_EQ(read(QStringLiteral("TAKEN.xlsx")), QByteArray("taken"));
    EXPECT_EQ(read(QStringLiteral("BOOK2.xlsx")), QByteArray("one"));
}

TEST_F(DataFolder, RenameAnswersThatChangeNothingOrEscapeTheFolder) {
    write(QStringLiteral("BOOK1.xlsx"));
    EXPECT_EQ(
        renameWorkbook(folder(), QStringLiteral("BOOK1.xlsx"), QStringLiteral("BOOK1.xlsx")).status,
        RenameStatus::Unchanged);
    // A cancelled box gives back the prefilled answer.
    EXPECT_EQ(
        renameWorkbook(folder(), QStringLiteral("BOOK1.xlsx"), QStringLiteral("BOOK1")).status,
        RenameStatus::Unchanged);
    EXPECT_EQ(renameWorkbook(folder(), QStringLiteral("BOOK1.xlsx"), QString()).status,
              RenameStatus::Empty);
    for (const char* bad : {"../BOOK9", "sub/BOOK9", "..", "BOOK\n9"})
        EXPECT_EQ(
            renameWorkbook(folder(), QStringLiteral("BOOK1.xlsx"), QString::fromUtf8(bad)).status,
            RenameStatus::Refused)
            << bad;
    EXPECT_EQ(listWorkbooks(folder()), QStringList{QStringLiteral("BOOK1.xlsx")});
    EXPECT_EQ(QDir(root_.path()).entryList(QDir::Files), QStringList());
}

TEST_F(DataFolder, RenameRefusalsNameTheirReason) {
    write(QStringLiteral("BOOK1.xlsx"));
    const struct {
        const char* answer;
        const char* part;
    } unusable[] = {{"a:b", ":"}, {"a\tb", "U+0009"}, {"../x", "/"}, {"x..y", ".."}};
    for (const auto& c : unusable) {
        const RenameResult result =
            renameWorkbook(folder(), QStringLiteral("BOOK1.xlsx"), QString::fromUtf8(c.answer));
        EXPECT_EQ(result.refusal, RenameRefusal::UnusableName) << c.answer;
        EXPECT_EQ(result.refusedPart, QString::fromUtf8(c.part)) << c.answer;
        EXPECT_TRUE(renameRefusalReason(result).contains(QString::fromUtf8(c.part)));
    }
    const RenameResult gone =
        renameWorkbook(folder(), QStringLiteral("gone.xlsx"), QStringLiteral("new"));
    EXPECT_EQ(gone.refusal, RenameRefusal::SystemRefused);
    EXPECT_EQ(renameRefusalReason(gone), msg::kRenameSystemRefused);
}

TEST_F(DataFolder, RenameOfAVanishedFileIsRefused) {
    EXPECT_EQ(renameWorkbook(folder(), QStringLiteral("gone.xlsx"), QStringLiteral("new")).status,
              RenameStatus::Refused);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("new.xlsx"))));
}
