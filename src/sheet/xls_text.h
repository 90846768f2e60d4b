// Text of legacy .xls files as UTF-8: 16-bit characters, 8-bit "compressed" characters and
// the 8-bit code pages of older files.
#pragma once

#include <string>
#include <string_view>

namespace sheet::xls {

// Little-endian UTF-16 code units; unpaired surrogates become U+FFFD.
void appendUtf16(std::string& out, std::string_view bytes);
// Characters U+0000..U+00FF, one byte each.
void appendLatin1(std::string& out, std::string_view bytes);
// Bytes in the Windows code page the file names (1252, 949, 932, ...); bytes the code page
// cannot decode become U+FFFD. Unknown code pages are read as 1252.
std::string decodeCodePage(std::string_view bytes, unsigned codePage);

} // namespace sheet::xls
