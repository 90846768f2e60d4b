// What the workbook windows ask of the program that shows them: a message, a yes/no question,
// a file to save to, and handing a file to the desktop. The program passes its own dialogs,
// tests scripted ones.
#pragma once

#include <QString>
#include <optional>

namespace viewer {

enum class MessageKind { Plain, Information, Warning, Error };

struct FileDialogOptions {
    QString title;
    QString folder;   // starting folder
    QString fileName; // pre-filled name
    QString filter;   // "Excel 통합문서 (*.xlsx)|*.xlsx|..." or Qt's own filter syntax
    QString defaultSuffix;
    bool confirmOverwrite = true;
};

class ViewerDialogs {
public:
    virtual ~ViewerDialogs() = default;

    virtual void message(const QString& text, MessageKind kind = MessageKind::Plain,
                         const QString& caption = {}) = 0;
    // Yes/No question; true on Yes.
    virtual bool confirm(const QString& text, const QString& caption = {}) = 0;
    virtual std::optional<QString> saveFile(const FileDialogOptions& options) = 0;
    // Opens a web address or a file with the desktop's default application.
    virtual bool openUrl(const QString& url) = 0;
};

} // namespace viewer
