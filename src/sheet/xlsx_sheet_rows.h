// The rows of a written sheet: each row's tag with its layout and its cells. A large sheet's
// rows are made on several threads, a block of rows each, and handed back in order; the file
// is byte for byte the one a single thread makes.
#pragma once

#include "sheet/model.h"
#include "sheet/xlsx_cell_writer.h"

#include <climits>
#include <condition_variable>
#include <deque>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace sheet {

class SharedStrings;
class StylesPart;

struct RowLayout {
    std::optional<double> height;
    int style = -1; // -1: none
    bool hidden = false;
};

// The rows with a height, a style or the hidden state, in order: a merge of the sheet's three
// sorted lists, walked as the rows are written, from `firstRow` on.
class RowLayoutCursor {
public:
    explicit RowLayoutCursor(const Worksheet& sheet, long firstRow = LONG_MIN);

    bool done() const {
        return height_ == heightsEnd_ && style_ == stylesEnd_ && hidden_ == hiddenEnd_;
    }
    // The next row with a layout; only while not done().
    long row() const;
    // The layout of row(), moving past it.
    RowLayout take();

private:
    std::map<long, double>::const_iterator height_, heightsEnd_;
    std::map<long, int>::const_iterator style_, stylesEnd_;
    std::vector<long>::const_iterator hidden_, hiddenEnd_;
    std::vector<long> sortedHidden_;
};

// What rows are written from and named by in errors.
struct RowSource {
    const Worksheet* sheet = nullptr;
    const StylesPart* styles = nullptr;
    SharedStrings* strings = nullptr;  // null: text inline in the cells
    const std::string* path = nullptr; // the file named in errors
};

using RowIterator = std::map<long, CellRow>::const_iterator;

// Writes rows one after another, merging the rows with cells and the rows with a layout.
class RowWriter {
public:
    // `indices`, when given, are the shared-string indices of the text cells to be written, in
    // order; the strings are then not looked up.
    explicit RowWriter(const RowSource& source, const std::vector<long>* indices = nullptr);

    // Appends the rows from `row` and `layouts` on, up to `rowsEnd` and the layouts before row
    // `layoutsEnd`, until `out` reaches `pieceEnd` bytes. True when every row was appended.
    bool appendRows(std::string& out, RowIterator& row, RowIterator rowsEnd,
                    RowLayoutCursor& layouts, long layoutsEnd, std::size_t pieceEnd);

private:
    void appendRow(std::string& out, long row, const CellRow* cells, const RowLayout* layout);
    void appendRowLayout(std::string& out, const RowLayout& layout) const;
    [[noreturn]] void outOfRange(const std::string& where) const;

    RowSource source_;
    CellWriter cells_;
};

// Makes the rows of a large sheet on worker threads and hands them back in order. The blocks
// are cut, and the shared-string indices of their text cells taken in row order, on the thread
// that takes the blocks, so that the strings are numbered as one thread numbers them.
class ParallelRows {
public:
    // `threads` 0 means one per core.
    ParallelRows(const RowSource& source, unsigned threads);
    ~ParallelRows();
    ParallelRows(const ParallelRows&) = delete;
    ParallelRows& operator=(const ParallelRows&) = delete;

    // Whether rows are better made so: a sheet of many rows, and more than one core.
    static bool worthwhile(const Worksheet& sheet, unsigned threads);

    // Appends the next block of rows to `out`; false once every block was taken. Throws what
    // writing the block threw.
    bool next(std::string& out);

    struct Block; // rows on their way through the workers

private:
    std::shared_ptr<Block> cutBlock();
    void work();
    void stop();

    RowSource source_;
    RowIterator walked_; // the first row of the next block to cut
    bool firstBlock_ = true;
    std::vector<std::thread> workers_;
    std::size_t inFlightLimit_ = 0;

    std::mutex mutex_;
    std::condition_variable queued_;             // a block to make, or stop
    std::condition_variable made_;               // a block made
    std::deque<std::shared_ptr<Block>> inOrder_; // cut and not yet taken
    std::deque<std::shared_ptr<Block>> waiting_; // not yet taken by a worker
    bool stopping_ = false;
};

} // namespace sheet
