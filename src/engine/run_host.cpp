#include "engine/run_host.h"

#include <QFile>
#include <QFileInfo>

namespace engine {

bool RunHost::IsFileInUse(const QString& path) const {
    const QFileInfo info(path);
    if (!info.exists())
        return false;
    if (!info.isWritable())
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return true;
    file.close();
    return false;
}

} // namespace engine
