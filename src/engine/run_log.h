// The run log's line format: every line a run writes goes to the memo and the log file as
// "yyyy-mm-dd hh:mm:ss text".
#pragma once

#include <QDateTime>
#include <QString>

namespace engine {

class RunLog {
public:
    // The line for `text` written at `when` (local time, 24-hour clock, zero-padded fields).
    static QString line(const QDateTime& when, const QString& text);
};

} // namespace engine
