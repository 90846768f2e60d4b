// One cell of a written sheet: its value as the type it is, its formula with the cached result.
#pragma once

#include "sheet/model.h"

#include <string>
#include <string_view>
#include <vector>

namespace sheet {

class SharedStrings;

// The error codes a cell may hold; any other text of an error cell is not an error value.
bool isKnownErrorCode(std::string_view code);

// A short piece of markup kept with room to spare, so that it is copied as a block of fixed
// size, which costs less than copying exactly its length.
struct MarkupPiece {
    static constexpr std::size_t kRoom = 24;
    char bytes[kRoom] = {};
    unsigned char size = 0;

    std::string_view view() const { return {bytes, size}; }
};

class CellWriter {
public:
    // Text goes into `strings` when given, else inline in the cell. `path` names the file
    // in errors. `indices`, when given with `strings`, are the shared-string indices of the
    // text cells to be written, in order, taken beforehand with indexText.
    CellWriter(const std::string& path, SharedStrings* strings,
               const std::vector<long>* indices = nullptr)
        : path_(path), strings_(strings), indices_(indices) {}

    // The cell's index in `strings` when it is written as a shared string, else -1: the lookup
    // append makes, taken apart from the writing.
    static long indexText(const Cell& cell, SharedStrings& strings);

    // Starts the cells of `row`, 1 to kMaxRows.
    void startRow(long row);

    // Appends <c> for the cell in `column` (1 to kMaxColumns) of the row started last, with
    // cell format `format`; nothing for an empty cell in the default format. Throws FileError
    // for text or a formula too long to keep.
    void append(std::string& out, long column, const Cell& cell, int format,
                std::string_view sheetName);

private:
    const MarkupPiece& columnOpening(long column);
    const MarkupPiece& formatAttribute(int format);
    std::string reference(long column) const;
    void checkLengths(const Cell& cell, long column, std::string_view sheetName) const;

    const std::string& path_;
    SharedStrings* strings_;
    const std::vector<long>* indices_;
    std::size_t nextIndex_ = 0;
    MarkupPiece rowEnding_;                     // `7"`: the row's number and the closing quote
    std::vector<MarkupPiece> columnOpenings_;   // `<c r="B` by column, made as first needed
    std::vector<MarkupPiece> formatAttributes_; // ` s="3"` by cell format, made as first needed
};

} // namespace sheet
