// Reading the bytes of a file with the C library's stdio, which costs less than a stream for
// the small reads opening a workbook makes: its first bytes to tell its kind, a small file
// whole.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace sheet {

// Up to `count` first bytes of the file (fewer for a shorter file); nullopt when it cannot be
// opened.
std::optional<std::string> readFileHead(const std::string& path, std::size_t count);

// The whole file when it can be read and holds at most `largest` bytes; nullopt otherwise.
std::optional<std::string> readWholeFile(const std::string& path, std::uint64_t largest);

} // namespace sheet
