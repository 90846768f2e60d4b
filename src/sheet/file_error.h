// Building FileError messages of the form "path: reason (detail)".
#pragma once

#include "sheet/workbook_io.h"

#include <string>
#include <string_view>

namespace sheet {

[[noreturn]] void throwFileError(const std::string& path, std::string_view reason,
                                 std::string_view detail = {});

} // namespace sheet
