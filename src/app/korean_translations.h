// Qt's own texts (standard buttons, the file dialog, its overwrite question) in Korean, as the
// rest of the program speaks, whatever the system's language.
#pragma once

class QCoreApplication;
class QTranslator;

namespace app {

// Loads Qt's Korean catalogue from Qt's translations folder into `application`. Gives the
// installed translator (owned by `application`), or null when the catalogue is not installed;
// the texts then stay in Qt's English.
QTranslator* installKoreanQtTranslations(QCoreApplication& application);

} // namespace app
