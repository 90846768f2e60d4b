// Every message box, question and file dialog of the main window goes through Dialogs, so that
// tests can script the answers and read the messages. QtDialogs shows real Qt dialogs. The
// workbook windows ask through the same object (the part they need is ViewerDialogs).
#pragma once

#include "viewer/viewer_dialogs.h"

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace app {

using viewer::FileDialogOptions;
using viewer::MessageKind;

class Dialogs : public viewer::ViewerDialogs {
public:
    // OK/Cancel question; true on OK.
    virtual bool okCancel(const QString& text, const QString& caption = {}) = 0;
    virtual std::optional<QString> openFile(const FileDialogOptions& options) = 0;
    virtual std::optional<QString> browseFolder(const QString& caption, const QString& start) = 0;
    // Input box with a pre-filled answer; nullopt when cancelled.
    virtual std::optional<QString> input(const QString& caption, const QString& prompt,
                                         const QString& value) = 0;
};

} // namespace app
