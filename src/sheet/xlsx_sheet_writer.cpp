#include "sheet/xlsx_sheet_writer.h"

#include "sheet/xlsx_package_index.h"
#include "sheet/xlsx_sheet_rows.h"

#include <climits>
#include <memory>
#include <system_error>

namespace sheet {

namespace {

// About this much XML is handed to the compressor at a time.
constexpr std::size_t kPieceBytes = 1 << 16;

class SheetPartSource : public PartSource {
public:
    explicit SheetPartSource(SheetPartInput input)
        : input_(std::move(input)),
          sheet_(*input_.sheet), rows_{input_.sheet, input_.styles, input_.strings, input_.path},
          writer_(rows_), row_(sheet_.rows().begin()), layouts_(sheet_) {}

    bool produce(std::string& out) override {
        switch (stage_) {
        case Stage::Head:
            out += kXmlDeclaration;
            appendSheetHead(out, sheet_, input_.selected, *input_.styles);
            out += "<sheetData>";
            if (ParallelRows::worthwhile(sheet_, input_.rowThreads))
                startParallelRows();
            stage_ = Stage::Rows;
            return true;
        case Stage::Rows:
            if (appendRows(out)) {
                parallel_.reset();
                stage_ = Stage::Tail;
            }
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

    void startParallelRows() {
        try {
            parallel_ = std::make_unique<ParallelRows>(rows_, input_.rowThreads);
        } catch (const std::system_error&) {
            // No thread to make rows on: this one makes them all.
        }
    }

    // A piece of the rows; true once they are all written.
    bool appendRows(std::string& out) {
        if (parallel_)
            return !parallel_->next(out);
        return writer_.appendRows(out, row_, sheet_.rows().end(), layouts_, LONG_MAX,
                                  out.size() + kPieceBytes);
    }

    SheetPartInput input_;
    const Worksheet& sheet_;
    RowSource rows_;
    RowWriter writer_;
    std::unique_ptr<ParallelRows> parallel_;
    Stage stage_ = Stage::Head;
    RowIterator row_;
    RowLayoutCursor layouts_;
};

} // namespace

std::unique_ptr<PartSource> sheetPartSource(SheetPartInput input) {
    return std::make_unique<SheetPartSource>(std::move(input));
}

} // namespace sheet
