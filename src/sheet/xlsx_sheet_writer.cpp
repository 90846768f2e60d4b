#include "sheet/xlsx_sheet_writer.h"

#include "sheet/a1_reference.h"
#include "sheet/file_error.h"
#include "sheet/io_messages.h"
#include "sheet/xlsx_cell_writer.h"
#include "sheet/xlsx_package_index.h"
#include "sheet/xlsx_styles_writer.h"
#include "sheet/xlsx_xml_text.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <optional>
#include <vector>

namespace sheet {

namespace {

// About this much XML is handed to the compressor at a time.
constexpr std::size_t kPieceBytes = 1 << 16;

struct RowLayout {
    std::optional<double> height;
    int style = -1; // -1: none
    bool hidden = false;
};

// The rows with a height, a style or the hidden state, in order: a merge of the sheet's three
// sorted lists, walked as the rows are written.
class RowLayoutCursor {
public:
    explicit RowLayoutCursor(const Worksheet& sheet)
        : height_(sheet.rowHeights.begin()), heightsEnd_(sheet.rowHeights.end()),
          style_(sheet.rowStyles.begin()), stylesEnd_(sheet.rowStyles.end()),
          hidden_(sheet.hiddenRows.begin()), hiddenEnd_(sheet.hiddenRows.end()) {
        // The list is kept ascending; one built out of order by hand still loses no row.
        if (!std::is_sorted(hidden_, hiddenEnd_)) {
            sortedHidden_ = sheet.hiddenRows;
            std::sort(sortedHidden_.begin(), sortedHidden_.end());
            hidden_ = sortedHidden_.begin();
            hiddenEnd_ = sortedHidden_.end();
        }
    }

    bool done() const {
        return height_ == heightsEnd_ && style_ == stylesEnd_ && hidden_ == hiddenEnd_;
    }

    // The next row with a layout; only while not done().
    long row() const {
        long next = kMaxRows + 1;
        if (height_ != heightsEnd_)
            next = std::min(next, height_->first);
        if (style_ != stylesEnd_)
            next = std::min(next, style_->first);
        if (hidden_ != hiddenEnd_)
            next = std::min(next, *hidden_);
        return next;
    }

    // The layout of row(), moving past it.
    RowLayout take() {
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

private:
    std::map<long, double>::const_iterator height_, heightsEnd_;
    std::map<long, int>::const_iterator style_, stylesEnd_;
    std::vector<long>::const_iterator hidden_, hiddenEnd_;
    std::vector<long> sortedHidden_;
};

class SheetPartSource : public PartSource {
public:
    explicit SheetPartSource(SheetPartInput input)
        : input_(std::move(input)), sheet_(*input_.sheet), cells_(*input_.path, input_.strings),
          row_(sheet_.rows().begin()), layouts_(sheet_) {}

    bool produce(std::string& out) override {
        switch (stage_) {
        case Stage::Head:
            out += kXmlDeclaration;
            appendSheetHead(out, sheet_, input_.selected, *input_.styles);
            out += "<sheetData>";
            stage_ = Stage::Rows;
            return true;
        case Stage::Rows:
            appendRows(out);
            return true;
        case Stage::Tail:
            out += "</sheetData>";
            appendSheetTail(out, sheet_, input_.links, *input_.styles);
            stage_ = Stage::Done;
            return false;
        case Stage::Done:
            break;
        }
        return false;
    }

private:
    enum class Stage { Head, Rows, Tail, Done };
    using RowIterator = std::map<long, CellRow>::const_iterator;

    void appendRows(std::string& out) {
        const auto rowsEnd = sheet_.rows().end();
        const std::size_t pieceEnd = out.size() + kPieceBytes;
        while (out.size() < pieceEnd) {
            const bool cellsLeft = row_ != rowsEnd;
            const bool layoutsLeft = !layouts_.done();
            if (!cellsLeft && !layoutsLeft) {
                stage_ = Stage::Tail;
                return;
            }
            const long next = !layoutsLeft ? row_->first
                              : !cellsLeft ? layouts_.row()
                                           : std::min(row_->first, layouts_.row());
            const CellRow* cells = nullptr;
            if (cellsLeft && row_->first == next)
                cells = &(row_++)->second;
            std::optional<RowLayout> layout;
            if (layoutsLeft && layouts_.row() == next)
                layout = layouts_.take();
            appendRow(out, next, cells, layout ? &*layout : nullptr);
        }
    }

    [[noreturn]] void outOfRange(const std::string& where) const {
        throwFileError(*input_.path, io_messages::kOutOfRange, sheet_.name + "!" + where);
    }

    void checkColumn(long column) const {
        if (column < 1 || column > kMaxColumns)
            outOfRange(columnLetters(std::max(column, 1L)));
    }

    void appendRow(std::string& out, long row, const CellRow* cells, const RowLayout* layout) {
        if (row < 1 || row > kMaxRows)
            outOfRange(std::to_string(row));
        char number[24];
        const std::string_view rowText(
            number, std::to_chars(number, number + sizeof number, row).ptr - number);
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
            checkColumn(column);
            cells_.append(out, column, cell, input_.styles->formatOf(cell.style), sheet_.name);
        }
        out += "</row>";
    }

    void appendRowLayout(std::string& out, const RowLayout& layout) const {
        if (layout.style >= 0) {
            appendAttribute(out, "s", static_cast<long>(input_.styles->formatOf(layout.style)));
            out += " customFormat=\"1\"";
        }
        if (layout.height && *layout.height >= 0 && *layout.height <= 409.5) {
            appendAttribute(out, "ht", *layout.height);
            if (*layout.height != sheet_.defaultRowHeight)
                out += " customHeight=\"1\"";
        }
        if (layout.hidden)
            out += " hidden=\"1\"";
    }

    SheetPartInput input_;
    const Worksheet& sheet_;
    CellWriter cells_;
    Stage stage_ = Stage::Head;
    RowIterator row_;
    RowLayoutCursor layouts_;
};

} // namespace

std::unique_ptr<PartSource> sheetPartSource(SheetPartInput input) {
    return std::make_unique<SheetPartSource>(std::move(input));
}

} // namespace sheet
