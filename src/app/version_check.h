// The start-up version check: the installed version (Tabrinel.ini) against the first line of
// the update file the maker publishes. The program runs only when the two are equal.
#pragma once

#include "app/dialogs.h"

#include <QString>

namespace app {

struct VersionCheckSettings {
    QString programFolder; // with a trailing separator
    QString installedVersion;
    QString updateUrl; // http, https or file address of the published update file
    QString homePage;
    int timeoutMs = 10000;

    // Reads Tabrinel.ini in the program folder (section "Tabrinel": versioninfo, updateurl,
    // homepage); missing values fall back to "old" and the build's addresses.
    static VersionCheckSettings load(const QString& programFolder);
};

// True when start-up goes on; false when the program is to end (after its message).
bool compareversion(const QString& programFolder, Dialogs& dialogs);
// The same with the settings given, not read from Tabrinel.ini.
bool checkPublishedVersion(const VersionCheckSettings& settings, Dialogs& dialogs);

} // namespace app
