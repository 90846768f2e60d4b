#include "engine/workbook_entry.h"

namespace engine {

QString entryWithoutExtension(const QString& entry) {
    const qsizetype dot = entry.lastIndexOf(u'.');
    if (dot < 0)
        return entry;
    return entry.left(dot);
}

} // namespace engine
