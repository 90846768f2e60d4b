// The checks a project passes before it may be saved: the common checks, then the rules of
// the selected method, stopping at the first that fails.
#pragma once

#include "project/project_settings.h"

#include <QString>
#include <QStringList>

namespace project {

enum class BoxKind { Plain, Information, Error };

struct SaveCheck {
    bool maySave = true;
    QString message; // empty when there is nothing to show
    BoxKind box = BoxKind::Error;
    bool focusDataRange = false; // method E's empty item list sends the user back there

    static SaveCheck pass() { return {}; }
    static SaveCheck refuse(const QString& text) { return {false, text, BoxKind::Error, false}; }
    static SaveCheck notice(const QString& text, BoxKind box) { return {true, text, box, false}; }
};

SaveCheck checkForSave(const ProjectSettings& settings);

// Method E's item list: split at every comma; items before a comma and the rest after the last
// comma are trimmed, a text without a comma is one untrimmed item.
QStringList cellItemsOf(const QString& dataRange);

} // namespace project
