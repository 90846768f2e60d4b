#include "engine/run_log.h"

namespace engine {

QString RunLog::line(const QDateTime& when, const QString& text) {
    return when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + u' ' + text;
}

} // namespace engine
