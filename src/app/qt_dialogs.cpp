#include "app/qt_dialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QUrl>

namespace app {

namespace {

QString captionOr(const QString& caption) {
    return caption.isEmpty() ? QApplication::applicationName() : caption;
}

QMessageBox::Icon iconOf(MessageKind kind) {
    switch (kind) {
    case MessageKind::Information:
        return QMessageBox::Information;
    case MessageKind::Warning:
        return QMessageBox::Warning;
    case MessageKind::Error:
        return QMessageBox::Critical;
    case MessageKind::Plain:
        break;
    }
    return QMessageBox::NoIcon;
}

QString patternsInParentheses(const QString& description) {
    if (!description.endsWith(u')'))
        return {};
    const qsizetype open = description.lastIndexOf(u'(');
    return open < 0 ? QString() : description.mid(open + 1, description.size() - open - 2);
}

} // namespace

QString toQtFilter(const QString& filter) {
    if (!filter.contains(u'|'))
        return filter;
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString& pattern : patterns)
            pattern = pattern.trimmed();
        const QString joined = patterns.join(u' ');
        // Qt takes the patterns from the last parentheses of a filter, so a description that
        // already shows its own patterns stays as it is.
        if (patternsInParentheses(description).simplified() == joined)
            filters << description;
        else
            filters << description + QStringLiteral(" (") + joined + u')';
    }
    return filters.join(QStringLiteral(";;"));
}

void QtDialogs::message(const QString& text, MessageKind kind, const QString& caption) {
    QMessageBox box(iconOf(kind), captionOr(caption), text, QMessageBox::Ok, parent_);
    box.exec();
}

bool QtDialogs::confirm(const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Question, captionOr(caption), text,
                    QMessageBox::Yes | QMessageBox::No, parent_);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

bool QtDialogs::okCancel(const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Question, captionOr(caption), text,
                    QMessageBox::Ok | QMessageBox::Cancel, parent_);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

std::optional<QString> QtDialogs::runFileDialog(const FileDialogOptions& options, bool save) {
    QFileDialog dialog(parent_, options.title, options.folder);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!options.filter.isEmpty())
        dialog.setNameFilters(toQtFilter(options.filter).split(QStringLiteral(";;")));
    if (!options.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(options.defaultSuffix);
    if (!options.fileName.isEmpty())
        dialog.selectFile(options.fileName);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.confirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().first());
}

std::optional<QString> QtDialogs::openFile(const FileDialogOptions& options) {
    return runFileDialog(options, false);
}

std::optional<QString> QtDialogs::saveFile(const FileDialogOptions& options) {
    return runFileDialog(options, true);
}

std::optional<QString> QtDialogs::browseFolder(const QString& caption, const QString& start) {
    const QString folder = QFileDialog::getExistingDirectory(parent_, caption, start);
    if (folder.isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(folder);
}

std::optional<QString> QtDialogs::input(const QString& caption, const QString& prompt,
                                        const QString& value) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(parent_, caption, prompt, QLineEdit::Normal, value, &ok);
    if (!ok)
        return std::nullopt;
    return answer;
}

bool QtDialogs::openUrl(const QString& url) {
    const QFileInfo file(url);
    if (!url.contains(QStringLiteral("://")) && file.exists())
        return QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath()));
    return QDesktopServices::openUrl(QUrl(url));
}

} // namespace app
