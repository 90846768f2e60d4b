// Dialogs shown with Qt's own message boxes and file dialogs.
#pragma once

#include "app/dialogs.h"

namespace app {

// Converts a filter written as "description|patterns|description|patterns" (patterns separated
// by ";") into Qt's "description (patterns);;..." form. A filter without "|" is already Qt's.
QString toQtFilter(const QString& filter);

class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void message(const QString& text, MessageKind kind = MessageKind::Plain,
                 const QString& caption = {}) override;
    bool confirm(const QString& text, const QString& caption = {}) override;
    bool okCancel(const QString& text, const QString& caption = {}) override;
    std::optional<QString> openFile(const FileDialogOptions& options) override;
    std::optional<QString> saveFile(const FileDialogOptions& options) override;
    std::optional<QString> browseFolder(const QString& caption, const QString& start) override;
    std::optional<QString> input(const QString& caption, const QString& prompt,
                                 const QString& value) override;
    bool openUrl(const QString& url) override;

private:
    std::optional<QString> runFileDialog(const FileDialogOptions& options, bool save);

    QWidget* parent_;
};

} // namespace app
