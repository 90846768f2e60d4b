// Start-up: one copy only, then the main window, which runs the version check before it shows.
#include "app/app_messages.h"
#include "app/korean_translations.h"
#include "app/mainform.h"
#include "app/qt_dialogs.h"
#include "app/single_instance.h"
#include "app/version_check.h"
#include "sheet/local_time_zone.h"
#include "sheet/memory_release.h"
#include "viewer/workbook_presenter.h"

#include <QApplication>

int main(int argc, char** argv) {
    sheet::readLocalTimeZoneOnce();
    sheet::keepFreedMemoryForReuse();
    QApplication application(argc, argv);
    QApplication::setApplicationName(app::msg::kApplicationTitle);
    QApplication::setApplicationVersion(QStringLiteral(TABRINEL_VERSION));
    app::installKoreanQtTranslations(application);
    app::QtDialogs dialogs;
    viewer::installWorkbookPresenter(dialogs);

    app::SingleInstanceGuard guard(app::msg::kApplicationTitle);
    if (!app::ensureSingleInstance(guard, dialogs))
        return 0;

    Tf_mainform form(dialogs, app::compareversion);
    if (form.startupRefused())
        return 0;
    dialogs.setParent(&form);
    form.show();
    return application.exec();
}
