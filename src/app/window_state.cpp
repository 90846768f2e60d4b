#include "app/window_state.h"

#include <QSettings>

namespace app {

namespace {

const QString kFormCheckKey = QStringLiteral("SheetsPage/FormCheck");

QSettings windowSettings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tabrinel"),
                     QStringLiteral("Tabrinel"));
}

} // namespace

bool savedFormCheck() {
    return windowSettings().value(kFormCheckKey, false).toBool();
}

void saveFormCheck(bool on) {
    QSettings settings = windowSettings();
    settings.setValue(kFormCheckKey, on);
    settings.sync();
}

} // namespace app
