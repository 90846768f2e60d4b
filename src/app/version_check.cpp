#include "app/version_check.h"

#include "app/dialogs.h"
#include "engine/text_codec.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

namespace app {

namespace {

const QString kNoConnection =
    QStringLiteral("인터넷이 연결되어 있지 않아 버전 정보를 확인할 수 없습니다. ");
const QString kUpdateCaption = QStringLiteral("Tabrinel 업데이트 확인");
const QString kUpdateText = QStringLiteral(
    "새로운 업데이트 버전이 있습니다. 홈페이지에서 최신 버전을 다운로드하여 설치 하십시오.");
const QString kUnreadable = QStringLiteral("버전 정보 파일을 읽을 수 없습니다: ");

// Fetches `url` within `timeoutMs`; nullopt when nothing usable arrived.
std::optional<QByteArray> download(const QUrl& url, int timeoutMs) {
    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setTransferTimeout(timeoutMs);
    QNetworkReply* reply = manager.get(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, [reply] { reply->abort(); });
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError)
        return std::nullopt;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && status.toInt() != 200)
        return std::nullopt;
    return reply->readAll();
}

// Saves the downloaded file in the program folder, or in the user's cache folder when the
// program folder cannot be written (an installed copy). Returns the path written, or empty.
QString saveUpdateFile(const QString& programFolder, const QByteArray& content) {
    const QStringList folders = {programFolder,
                                 QStandardPaths::writableLocation(QStandardPaths::CacheLocation)};
    for (const QString& folder : folders) {
        if (folder.isEmpty() || !QDir().mkpath(folder))
            continue;
        QSaveFile file(QDir(folder).filePath(QStringLiteral("Tabrinel.txt")));
        if (file.open(QIODevice::WriteOnly) && file.write(content) == content.size() &&
            file.commit())
            return file.fileName();
    }
    return {};
}

// The first line of the saved file, without its line end, decoded like every text file the
// program reads. nullopt when the file cannot be read.
std::optional<QString> firstLineOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const std::optional<QString> text = engine::text_codec::decode(file.readAll());
    if (!text)
        return std::nullopt;
    const qsizetype end = text->indexOf(u'\n');
    QString line = end < 0 ? *text : text->left(end);
    if (line.endsWith(u'\r'))
        line.chop(1);
    return line;
}

} // namespace

VersionCheckSettings VersionCheckSettings::load(const QString& programFolder) {
    QSettings ini(programFolder + QStringLiteral("Tabrinel.ini"), QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("Tabrinel"));
    VersionCheckSettings settings;
    settings.programFolder = programFolder;
    settings.installedVersion =
        ini.value(QStringLiteral("versioninfo"), QStringLiteral("old")).toString();
    settings.updateUrl =
        ini.value(QStringLiteral("updateurl"), QStringLiteral(TABRINEL_UPDATE_URL)).toString();
    settings.homePage =
        ini.value(QStringLiteral("homepage"), QStringLiteral(TABRINEL_HOME_URL)).toString();
    return settings;
}

bool checkPublishedVersion(const VersionCheckSettings& settings, Dialogs& dialogs) {
    const std::optional<QByteArray> published =
        download(QUrl(settings.updateUrl), settings.timeoutMs);
    if (!published) {
        dialogs.message(kNoConnection);
        return false;
    }
    const QString saved = saveUpdateFile(settings.programFolder, *published);
    const std::optional<QString> publishedVersion =
        saved.isEmpty() ? std::nullopt : firstLineOf(saved);
    if (!publishedVersion) {
        dialogs.message(kUnreadable + QDir::toNativeSeparators(saved), MessageKind::Error);
        return false;
    }
    if (*publishedVersion == settings.installedVersion)
        return true;
    const QString text =
        kUpdateText + QStringLiteral(" ") + settings.homePage + QStringLiteral("으로 연결합니다.");
    if (dialogs.confirm(text, kUpdateCaption))
        dialogs.openUrl(settings.homePage);
    return false;
}

bool compareversion(const QString& programFolder, Dialogs& dialogs) {
    return checkPublishedVersion(VersionCheckSettings::load(programFolder), dialogs);
}

} // namespace app
