// The batch runner's command line.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace batch {

struct BatchOptions {
    QString projectPath;
    QStringList files; // empty: every workbook of the data folder
    QString output;    // empty: the time-stamp name in the Result folder
    bool check = false;
    bool form = false; // with check: the form check too
    bool quiet = false;
    bool help = false;
};

struct ParsedArguments {
    std::optional<BatchOptions> options;
    QString error; // when options is empty
};

// `arguments` without the program name. "--files" takes every following word up to the next
// option; a word "--" ends the options, so that a file name may start with "--".
ParsedArguments parseArguments(const QStringList& arguments);

} // namespace batch
