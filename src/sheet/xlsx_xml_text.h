// Putting text and numbers into the XML of a written package: every byte written is valid
// UTF-8 and every character one XML 1.0 allows.
#pragma once

#include <string>
#include <string_view>

namespace sheet {

// Cell and note text: markup escaped, control characters as the _xHHHH_ escapes readers decode
// (a literal "_xHHHH_" in the text is protected as "_x005F_xHHHH_"), invalid UTF-8 replaced by
// U+FFFD.
void appendCellText(std::string& out, std::string_view text);

// Element text where no escape is decoded (formulas, header and footer codes, defined names):
// markup escaped, tab and line ends kept, other control characters dropped, invalid UTF-8
// replaced by U+FFFD.
void appendElementText(std::string& out, std::string_view text);

// An attribute value in double quotes: as appendElementText, with quotes escaped and tab and
// line ends as character references so that they survive attribute normalisation.
void appendAttribute(std::string& out, std::string_view text);

// ` name="value"` with the value escaped as appendAttribute does.
void appendAttribute(std::string& out, std::string_view name, std::string_view value);
void appendAttribute(std::string& out, std::string_view name, long value);
void appendAttribute(std::string& out, std::string_view name, double value);

// The shortest text that reads back as the same double; 0 for NaN and infinities.
void appendNumber(std::string& out, double value);
// The same text written at `at`, which has room for kNumberTextBytes; returns its end.
constexpr std::size_t kNumberTextBytes = 32;
char* writeNumber(char* at, double value);

// At most `characters` characters of `text`, cut on a character boundary.
std::string_view firstCharacters(std::string_view text, std::size_t characters);

// Characters (not bytes) of UTF-8 text; an invalid byte counts as one.
std::size_t characterCount(std::string_view text);

} // namespace sheet
