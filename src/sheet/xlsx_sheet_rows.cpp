#include "sheet/xlsx_sheet_rows.h"

#include "sheet/a1_reference.h"
#include "sheet/file_error.h"
#include "sheet/io_messages.h"
#include "sheet/xlsx_styles_writer.h"
#include "sheet/xlsx_xml_text.h"

#include <algorithm>
#include <charconv>

namespace sheet {

namespace {

// A block's XML is cut at about this size, a chunk of the compressed stream.
constexpr std::size_t kBlockBytes = 320 * 1024;
// Fewer rows than this are written on the sheet's own thread.
constexpr std::size_t kParallelRows = 4096;
constexpr unsigned kMostWorkers = 4;
// A little more than the XML of a styled number cell and of a row's tags.
constexpr std::size_t kBytesPerCell = 40;
constexpr std::size_t kBytesPerRow = 24;

// What a cell's XML takes at most, or a little less where text is escaped: a styled number's
// worth, its formula and, written inline, its text. Blocks are cut by it, so that rows of long
// formulas make several blocks rather than one that holds them all.
std::size_t expectedBytes(const Cell& cell, bool textInline) {
    std::size_t bytes = kBytesPerCell + cell.formula.size();
    if (textInline)
        bytes += cell.value.text.size();
    return bytes;
}

} // namespace

RowLayoutCursor::RowLayoutCursor(const Worksheet& sheet, long firstRow)
    : height_(sheet.rowHeights.lower_bound(firstRow)), heightsEnd_(sheet.rowHeights.end()),
      style_(sheet.rowStyles.lower_bound(firstRow)), stylesEnd_(sheet.rowStyles.end()),
      hidden_(sheet.hiddenRows.begin()), hiddenEnd_(sheet.hiddenRows.end()) {
    // The list is kept ascending; one built out of order by hand still loses no row.
    if (!std::is_sorted(hidden_, hiddenEnd_)) {
        sortedHidden_ = sheet.hiddenRows;
        std::sort(sortedHidden_.begin(), sortedHidden_.end());
        hidden_ = sortedHidden_.begin();
        hiddenEnd_ = sortedHidden_.end();
    }
    hidden_ = std::lower_bound(hidden_, hiddenEnd_, firstRow);
}

long RowLayoutCursor::row() const {
    long next = LONG_MAX;
    if (height_ != heightsEnd_)
        next = std::min(next, height_->first);
    if (style_ != stylesEnd_)
        next = std::min(next, style_->first);
    if (hidden_ != hiddenEnd_)
        next = std::min(next, *hidden_);
    return next;
}

RowLayout RowLayoutCursor::take() {
    const long next = row();
    RowLayout layout;
    if (height_ != heightsEnd_ && height_->first == next)
        layout.height = (height_++)->second;
    if (style_ != stylesEnd_ && style_->first == next)
        layout.style = (style_++)->second;
    while (hidden_ != hiddenEnd_ && *hidden_ == next) {
        layout.hidden = true;
        ++hidden_;
    }
    return layout;
}

RowWriter::RowWriter(const RowSource& source, const std::vector<long>* indices)
    : source_(source), cells_(*source.path, source.strings, indices) {}

bool RowWriter::appendRows(std::string& out, RowIterator& row, RowIterator rowsEnd,
                           RowLayoutCursor& layouts, long layoutsEnd, std::size_t pieceEnd) {
    while (out.size() < pieceEnd) {
        const bool cellsLeft = row != rowsEnd;
        const bool layoutsLeft = !layouts.done() && layouts.row() < layoutsEnd;
        if (!cellsLeft && !layoutsLeft)
            return true;
        const long next = !layoutsLeft ? row->first
                          : !cellsLeft ? layouts.row()
                                       : std::min(row->first, layouts.row());
        const CellRow* cells = nullptr;
        if (cellsLeft && row->first == next)
            cells = &(row++)->second;
        std::optional<RowLayout> layout;
        if (layoutsLeft && layouts.row() == next)
            layout = layouts.take();
        appendRow(out, next, cells, layout ? &*layout : nullptr);
    }
    return false;
}

void RowWriter::outOfRange(const std::string& where) const {
    throwFileError(*source_.path, io_messages::kOutOfRange, source_.sheet->name + "!" + where);
}

void RowWriter::appendRow(std::string& out, long row, const CellRow* cells,
                          const RowLayout* layout) {
    if (row < 1 || row > kMaxRows)
        outOfRange(std::to_string(row));
    char number[24];
    const std::string_view rowText(number,
                                   std::to_chars(number, number + sizeof number, row).ptr - number);
    out += "<row r=\"";
    out += rowText;
    out += '"';
    if (layout)
        appendRowLayout(out, *layout);
    if (!cells || cells->empty()) {
        out += "/>";
        return;
    }
    out += '>';
    cells_.startRow(row);
    for (const auto& [column, cell] : *cells) {
        if (column < 1 || column > kMaxColumns)
            outOfRange(columnLetters(std::max(column, 1L)));
        cells_.append(out, column, cell, source_.styles->formatOf(cell.style), source_.sheet->name);
    }
    out += "</row>";
}

void RowWriter::appendRowLayout(std::string& out, const RowLayout& layout) const {
    if (layout.style >= 0) {
        appendAttribute(out, "s", static_cast<long>(source_.styles->formatOf(layout.style)));
        out += " customFormat=\"1\"";
    }
    if (layout.height && *layout.height >= 0 && *layout.height <= 409.5) {
        appendAttribute(out, "ht", *layout.height);
        if (*layout.height != source_.sheet->defaultRowHeight)
            out += " customHeight=\"1\"";
    }
    if (layout.hidden)
        out += " hidden=\"1\"";
}

struct ParallelRows::Block {
    RowIterator begin, end;
    long firstRow = LONG_MIN; // the layouts from this row
    long endRow = LONG_MAX;   // up to this one
    std::size_t bytes = 0;    // expected
    std::vector<long> indices;

    std::string xml;
    std::exception_ptr failure;
    bool made = false;
};

bool ParallelRows::worthwhile(const Worksheet& sheet, unsigned threads) {
    if (threads == 0)
        threads = std::thread::hardware_concurrency();
    return threads > 1 && sheet.rows().size() >= kParallelRows;
}

ParallelRows::ParallelRows(const RowSource& source, unsigned threads)
    : source_(source), walked_(source.sheet->rows().begin()) {
    if (threads == 0)
        threads = std::clamp(std::thread::hardware_concurrency(), 1u, kMostWorkers);
    inFlightLimit_ = 2 * threads + 2;
    workers_.reserve(threads);
    try {
        for (unsigned i = 0; i < threads; ++i)
            workers_.emplace_back([this] { work(); });
    } catch (...) {
        stop();
        throw;
    }
}

ParallelRows::~ParallelRows() {
    stop();
}

void ParallelRows::stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    queued_.notify_all();
    for (std::thread& worker : workers_)
        if (worker.joinable())
            worker.join();
}

std::shared_ptr<ParallelRows::Block> ParallelRows::cutBlock() {
    const auto rowsEnd = source_.sheet->rows().end();
    auto block = std::make_shared<Block>();
    block->begin = walked_;
    if (!firstBlock_)
        block->firstRow = walked_->first;
    firstBlock_ = false;
    SharedStrings* strings = source_.strings;
    while (walked_ != rowsEnd && block->bytes < kBlockBytes) {
        block->bytes += kBytesPerRow;
        for (const auto& entry : walked_->second) {
            block->bytes += expectedBytes(entry.second, !strings);
            if (!strings)
                continue;
            const long index = CellWriter::indexText(entry.second, *strings);
            if (index >= 0)
                block->indices.push_back(index);
        }
        ++walked_;
    }
    block->end = walked_;
    if (walked_ != rowsEnd)
        block->endRow = walked_->first;
    return block;
}

bool ParallelRows::next(std::string& out) {
    const auto rowsEnd = source_.sheet->rows().end();
    std::unique_lock lock(mutex_);
    while (inOrder_.size() < inFlightLimit_ && (firstBlock_ || walked_ != rowsEnd)) {
        lock.unlock();
        std::shared_ptr<Block> block = cutBlock();
        lock.lock();
        inOrder_.push_back(block);
        waiting_.push_back(std::move(block));
        queued_.notify_one();
    }
    if (inOrder_.empty())
        return false;
    made_.wait(lock, [this] { return inOrder_.front()->made; });
    std::shared_ptr<Block> block = std::move(inOrder_.front());
    inOrder_.pop_front();
    lock.unlock();
    if (block->failure)
        std::rethrow_exception(block->failure);
    if (out.empty())
        out = std::move(block->xml);
    else
        out += block->xml;
    return true;
}

void ParallelRows::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        queued_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
        if (stopping_)
            return;
        std::shared_ptr<Block> block = std::move(waiting_.front());
        waiting_.pop_front();
        lock.unlock();
        try {
            RowWriter writer(source_, source_.strings ? &block->indices : nullptr);
            RowLayoutCursor layouts(*source_.sheet, block->firstRow);
            RowIterator row = block->begin;
            block->xml.reserve(block->bytes);
            writer.appendRows(block->xml, row, block->end, layouts, block->endRow,
                              std::string::npos);
        } catch (...) {
            block->failure = std::current_exception();
        }
        lock.lock();
        block->made = true;
        made_.notify_all();
    }
}

} // namespace sheet
