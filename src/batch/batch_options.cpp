#include "batch/batch_options.h"

#include "batch/batch_messages.h"

namespace batch {

namespace {

ParsedArguments refuse(const QString& text) {
    return {std::nullopt, text};
}

bool isOption(const QString& word) {
    return word.startsWith(QStringLiteral("--"));
}

} // namespace

ParsedArguments parseArguments(const QStringList& arguments) {
    BatchOptions options;
    bool optionsEnded = false;
    bool inFileNames = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& word = arguments[i];
        if (!optionsEnded && word == QStringLiteral("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && isOption(word)) {
            inFileNames = false;
            if (word == QStringLiteral("--help")) {
                options.help = true;
            } else if (word == QStringLiteral("--check")) {
                options.check = true;
            } else if (word == QStringLiteral("--form")) {
                options.form = true;
            } else if (word == QStringLiteral("--quiet")) {
                options.quiet = true;
            } else if (word == QStringLiteral("--files")) {
                inFileNames = true;
                if (i + 1 >= arguments.size() || isOption(arguments[i + 1]))
                    return refuse(msg::kMissingFiles);
            } else if (word == QStringLiteral("--output")) {
                if (i + 1 >= arguments.size() || isOption(arguments[i + 1]))
                    return refuse(msg::kMissingOutput);
                options.output = arguments[++i];
            } else {
                return refuse(msg::kUnknownOption.arg(word));
            }
        } else if (inFileNames) {
            options.files << word;
        } else if (options.projectPath.isEmpty()) {
            options.projectPath = word;
        } else {
            return refuse(msg::kTwoProjects.arg(options.projectPath, word));
        }
    }
    if (options.help)
        return {options, {}};
    if (options.projectPath.isEmpty())
        return refuse(msg::kNoProjectArgument);
    if (options.check && !options.output.isEmpty())
        return refuse(msg::kCheckWithOutput);
    if (options.form && !options.check)
        return refuse(msg::kFormWithoutCheck);
    return {options, {}};
}

} // namespace batch
