#include "sheet/file_error.h"

namespace sheet {

void throwFileError(const std::string& path, std::string_view reason, std::string_view detail) {
    std::string message = path;
    message += ": ";
    message += reason;
    if (!detail.empty()) {
        message += " (";
        message += detail;
        message += ')';
    }
    throw FileError(message);
}

} // namespace sheet
