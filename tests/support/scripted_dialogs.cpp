#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

namespace testsupport {

namespace {

template <typename T> T takeFirst(std::deque<T>& queue, const T& fallback, const QString& what) {
    if (queue.empty()) {
        ADD_FAILURE() << "no scripted answer for: " << what.toStdString();
        return fallback;
    }
    T answer = std::move(queue.front());
    queue.pop_front();
    return answer;
}

} // namespace

QStringList ScriptedDialogs::texts() const {
    QStringList result;
    for (const Shown& shown : shown_)
        result << shown.text;
    return result;
}

bool ScriptedDialogs::allAnswersUsed() const {
    return confirms_.empty() && okCancels_.empty() && files_.empty() && folders_.empty() &&
           inputs_.empty();
}

void ScriptedDialogs::clearRecords() {
    shown_.clear();
    fileRequests_.clear();
    folderRequests_.clear();
    inputRequests_.clear();
    openedUrls_.clear();
}

void ScriptedDialogs::message(const QString& text, app::MessageKind kind, const QString& caption) {
    shown_ << Shown{Kind::Message, text, kind, caption};
}

bool ScriptedDialogs::confirm(const QString& text, const QString& caption) {
    shown_ << Shown{Kind::Confirm, text, app::MessageKind::Plain, caption};
    return takeFirst(confirms_, false, text);
}

bool ScriptedDialogs::okCancel(const QString& text, const QString& caption) {
    shown_ << Shown{Kind::OkCancel, text, app::MessageKind::Plain, caption};
    return takeFirst(okCancels_, false, text);
}

std::optional<QString> ScriptedDialogs::nextFile(FileDialog dialog,
                                                 const app::FileDialogOptions& options) {
    fileRequests_ << FileRequest{dialog, options};
    return takeFirst(files_, std::optional<QString>(), options.title);
}

std::optional<QString> ScriptedDialogs::openFile(const app::FileDialogOptions& options) {
    return nextFile(FileDialog::Open, options);
}

std::optional<QString> ScriptedDialogs::saveFile(const app::FileDialogOptions& options) {
    return nextFile(FileDialog::Save, options);
}

std::optional<QString> ScriptedDialogs::browseFolder(const QString& caption, const QString& start) {
    folderRequests_ << start;
    return takeFirst(folders_, std::optional<QString>(), caption);
}

std::optional<QString> ScriptedDialogs::input(const QString& caption, const QString& prompt,
                                              const QString& value) {
    inputRequests_ << InputRequest{caption, prompt, value};
    return takeFirst(inputs_, std::optional<QString>(), caption);
}

bool ScriptedDialogs::openUrl(const QString& url) {
    openedUrls_ << url;
    return openUrlResult_;
}

} // namespace testsupport
