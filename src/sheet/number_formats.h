// Built-in number formats and the test whether a format shows dates.
#pragma once

#include <string>
#include <string_view>

namespace sheet {

// The first id a file may give a custom format code.
constexpr int kFirstCustomNumberFormat = 164;

// The code of a built-in format id ("0.00" for 2), or "" for an id without a fixed code.
std::string_view builtinNumberFormatCode(int id);

// Whether a built-in id or a format code shows a date or a time.
bool isDateFormatId(int id);
bool isDateFormatCode(std::string_view code);

} // namespace sheet
