#include "app/version_check.h"
#include "support/scripted_dialogs.h"

#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

// A one-file web server on 127.0.0.1. With `silent` it accepts and never answers.
class UpdateServer : public QObject {
public:
    explicit UpdateServer(QByteArray body, bool silent = false)
        : body_(std::move(body)), silent_(silent) {
        server_.listen(QHostAddress::LocalHost);
        connect(&server_, &QTcpServer::newConnection, this, &UpdateServer::answer);
    }
    QString url() const {
        return QStringLiteral("http://127.0.0.1:%1/tabrinel/kr/Tabrinel.txt")
            .arg(server_.serverPort());
    }

private:
    void answer() {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            if (silent_)
                continue;
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                socket->readAll();
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                              QByteArray::number(body_.size()) + "\r\nConnection: close\r\n\r\n" +
                              body_);
                socket->disconnectFromHost();
            });
        }
    }

    QTcpServer server_;
    QByteArray body_;
    bool silent_;
};

class VersionCheckTest : public ::testing::Test {
protected:
    app::VersionCheckSettings settings(const QString& url, const QString& installed = "1.2.0.0") {
        app::VersionCheckSettings s;
        s.programFolder = dir.path() + QDir::separator();
        s.installedVersion = installed;
        s.updateUrl = url;
        s.homePage = "http://127.0.0.1/home";
        s.timeoutMs = 2000;
        return s;
    }

    QTemporaryDir dir;
    testsupport::ScriptedDialogs dialogs;
};

TEST_F(VersionCheckTest, EqualVersionsStartAndKeepTheDownloadedFile) {
    UpdateServer server("1.2.0.0\r\nnotes\r\n");
    EXPECT_TRUE(app::checkPublishedVersion(settings(server.url()), dialogs));
    EXPECT_TRUE(dialogs.shown().isEmpty());
    QFile saved(dir.filePath("Tabrinel.txt"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("1.2.0.0\r\nnotes\r\n"));
}

TEST_F(VersionCheckTest, NewerVersionAsksAndOpensTheHomePageOnlyOnYes) {
    UpdateServer server("1.2.0.1\r\n");
    dialogs.answerConfirm(false);
    EXPECT_FALSE(app::checkPublishedVersion(settings(server.url()), dialogs));
    EXPECT_TRUE(dialogs.openedUrls().isEmpty());
    ASSERT_EQ(dialogs.shown().size(), 1);
    const auto& box = dialogs.shown().first();
    EXPECT_EQ(box.kind, testsupport::ScriptedDialogs::Kind::Confirm);
    EXPECT_TRUE(box.text.startsWith(
        "새로운 업데이트 버전이 있습니다. 홈페이지에서 최신 버전을 다운로드하여 설치 하십시오."));
    EXPECT_TRUE(box.text.endsWith("으로 연결합니다."));
    EXPECT_EQ(box.caption, "Tabrinel 업데이트 확인");

    dialogs.answerConfirm(true);
    EXPECT_FALSE(app::checkPublishedVersion(settings(server.url()), dialogs));
    EXPECT_EQ(dialogs.openedUrls(), QStringList{"http://127.0.0.1/home"});
}

TEST_F(VersionCheckTest, ComparisonIsExact) {
    for (const QByteArray& published :
         {QByteArray(""), QByteArray("1.2.0.0 "), QByteArray("1.2.0.0 \r\n")}) {
        UpdateServer server(published);
        dialogs.answerConfirm(false);
        EXPECT_FALSE(app::checkPublishedVersion(settings(server.url()), dialogs))
            << published.constData();
    }
}

TEST_F(VersionCheckTest, NoConnectionEndsWithTheConnectionMessage) {
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    const quint16 port = closed.serverPort();
    closed.close();
    EXPECT_FALSE(app::checkPublishedVersion(
        settings(QStringLiteral("http://127.0.0.1:%1/Tabrinel.txt").arg(port)), dialogs));
    EXPECT_EQ(dialogs.texts(),
              QStringList{"인터넷이 연결되어 있지 않아 버전 정보를 확인할 수 없습니다. "});
}

TEST_F(VersionCheckTest, ASilentServerCountsAsNoConnection) {
    UpdateServer server("1.2.0.0", /*silent=*/true);
    auto s = settings(server.url());
    s.timeoutMs = 300;
    EXPECT_FALSE(app::checkPublishedVersion(s, dialogs));
    ASSERT_EQ(dialogs.texts().size(), 1);
    EXPECT_TRUE(dialogs.texts().first().startsWith("인터넷이 연결되어"));
}

TEST_F(VersionCheckTest, AMissingPublishedFileCountsAsNoConnection) {
    EXPECT_FALSE(app::checkPublishedVersion(
        settings(QUrl::fromLocalFile(dir.filePath("none.txt")).toString()), dialogs));
    EXPECT_EQ(dialogs.texts().size(), 1);
}

TEST_F(VersionCheckTest, SettingsComeFromTheIniWithOldAsDefault) {
    const QString folder = dir.path() + QDir::separator();
    EXPECT_EQ(app::VersionCheckSettings::load(folder).installedVersion, "old");

    QFile ini(folder + "Tabrinel.ini");
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Tabrinel]\r\nversioninfo=1.2.0.0\r\nupdateurl=file:///tmp/u.txt\r\n"
              "homepage=http://office.example/\r\n");
    ini.close();
    const auto s = app::VersionCheckSettings::load(folder);
    EXPECT_EQ(s.installedVersion, "1.2.0.0");
    EXPECT_EQ(s.updateUrl, "file:///tmp/u.txt");
    EXPECT_EQ(s.homePage, "http://office.example/");
}

TEST_F(VersionCheckTest, AFileAddressWorksAndAnUnwritableProgramFolderFallsBackToTheCache) {
    const QString published = dir.filePath("published.txt");
    QFile file(published);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("1.2.0.0\n");
    file.close();
    auto s = settings(QUrl::fromLocalFile(published).toString());
    s.programFolder = "/proc/no-such-folder/";
    qputenv("XDG_CACHE_HOME", dir.filePath("cache").toUtf8());
    EXPECT_TRUE(app::checkPublishedVersion(s, dialogs));
    EXPECT_TRUE(dialogs.shown().isEmpty());
}

} // namespace
