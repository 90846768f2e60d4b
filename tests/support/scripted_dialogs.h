// Dialogs for tests: answers are queued beforehand, every message and question is recorded.
// A question without a queued answer fails the test and is answered No / Cancel.
#pragma once

#include "app/dialogs.h"

#include <QList>
#include <QString>
#include <deque>
#include <optional>

namespace testsupport {

class ScriptedDialogs : public app::Dialogs {
public:
    enum class Kind { Message, Confirm, OkCancel };
    struct Shown {
        Kind kind;
        QString text;
        app::MessageKind messageKind;
        QString caption;
    };
    enum class FileDialog { Open, Save };
    struct FileRequest {
        FileDialog dialog;
        app::FileDialogOptions options;
    };
    struct InputRequest {
        QString caption;
        QString prompt;
        QString value;
    };

    // Queued answers, used first in, first out.
    void answerConfirm(bool yes) { confirms_.push_back(yes); }
    void answerOkCancel(bool ok) { okCancels_.push_back(ok); }
    void answerFile(std::optional<QString> path) { files_.push_back(std::move(path)); }
    void answerFolder(std::optional<QString> path) { folders_.push_back(std::move(path)); }
    void answerInput(std::optional<QString> text) { inputs_.push_back(std::move(text)); }
    void setOpenUrlResult(bool opened) { openUrlResult_ = opened; }

    const QList<Shown>& shown() const { return shown_; }
    // The texts of every message box and question, in order.
    QStringList texts() const;
    const QList<FileRequest>& fileRequests() const { return fileRequests_; }
    const QList<QString>& folderRequests() const { return folderRequests_; }
    const QList<InputRequest>& inputRequests() const { return inputRequests_; }
    const QStringList& openedUrls() const { return openedUrls_; }
    // True when every queued answer has been used.
    bool allAnswersUsed() const;
    void clearRecords();

    void message(const QString& text, app::MessageKind kind = app::MessageKind::Plain,
                 const QString& caption = {}) override;
    bool confirm(const QString& text, const QString& caption = {}) override;
    bool okCancel(const QString& text, const QString& caption = {}) override;
    std::optional<QString> openFile(const app::FileDialogOptions& options) override;
    std::optional<QString> saveFile(const app::FileDialogOptions& options) override;
    std::optional<QString> browseFolder(const QString& caption, const QString& start) override;
    std::optional<QString> input(const QString& caption, const QString& prompt,
                                 const QString& value) override;
    bool openUrl(const QString& url) override;

private:
    std::optional<QString> nextFile(FileDialog dialog, const app::FileDialogOptions& options);

    std::deque<bool> confirms_;
    std::deque<bool> okCancels_;
    std::deque<std::optional<QString>> files_;
    std::deque<std::optional<QString>> folders_;
    std::deque<std::optional<QString>> inputs_;
    bool openUrlResult_ = true;

    QList<Shown> shown_;
    QList<FileRequest> fileRequests_;
    QList<QString> folderRequests_;
    QList<InputRequest> inputRequests_;
    QStringList openedUrls_;
};

} // namespace testsupport
