// What the fuzz targets share: the input written to a file of its own, and a package built
// in memory around one part.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace fuzz {

// A file for this process's inputs, rewritten with each input.
std::string writeInput(const std::uint8_t* data, std::size_t size, const std::string& suffix);
// A path beside the input for what a target saves.
std::string outputPath(const std::string& suffix);

using Parts = std::map<std::string, std::string>;
// A sound workbook of two sheets with shared strings, styles and a theme.
Parts soundWorkbook();
// The parts as a zip (deflated).
std::string zipBytes(const Parts& parts);

} // namespace fuzz
