// Every message box, question and file dialog of the main window goes through Dialogs, so that
// tests can script the answers and read the messages. QtDialogs shows real Qt dialogs.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace app {

enum class MessageKind { Plain, Information, Warning, Error };

struct FileDialogOptions {
    QString title;
    QString folder;   // starting folder
    QString fileName; // pre-filled name
    QString filter;   // "Excel 통합문서 (*.xlsx)|*.xlsx|..." or Qt's own filter syntax
    QString defaultSuffix;
    bool confirmOverwrite = true;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    virtual void message(const QString& text, MessageKind kind = MessageKind::Plain,
                         const QString& caption = {}) = 0;
    // Yes/No question; true on Yes.
    virtual bool confirm(const QString& text, const QString& caption = {}) = 0;
    // OK/Cancel question; true on OK.
    virtual bool okCancel(const QString& text, const QString& caption = {}) = 0;
    virtual std::optional<QString> openFile(const FileDialogOptions& options) = 0;
    virtual std::optional<QString> saveFile(const FileDialogOptions& options) = 0;
    virtual std::optional<QString> browseFolder(const QString& caption, const QString& start) = 0;
    // Input box with a pre-filled answer; nullopt when cancelled.
    virtual std::optional<QString> input(const QString& caption, const QString& prompt,
                                         const QString& value) = 0;
    // Opens a web address or a file with the desktop's default application.
    virtual bool openUrl(const QString& url) = 0;
};

} // namespace app
