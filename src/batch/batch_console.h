// Where the batch runner writes: log lines to standard output, messages to standard error,
// and a progress bar that only a terminal gets. The tests capture the same calls.
#pragma once

#include <QString>
#include <functional>

namespace batch {

struct BatchConsole {
    std::function<void(const QString&)> out;   // one line of standard output
    std::function<void(const QString&)> error; // one line of standard error
    // Empty when no progress is to be shown.
    std::function<void(int percent, const QString& label)> progress;
};

} // namespace batch
