// The layout records of a worksheet: widths and heights, merges, the window, page setup and
// protection.
#pragma once

#include "sheet/model.h"
#include "sheet/xls_records.h"
#include "sheet/xls_styles.h"

#include <map>
#include <optional>

namespace sheet::xls {

class LayoutReader {
public:
    LayoutReader(Worksheet& sheet, const StyleBuilder& styles) : sheet_(sheet), styles_(styles) {}

    // Reads the record when it is a layout record; false for any other.
    bool read(const Record& record, Cursor& in);
    // Settles what depends on several records (default width, fit to page, panes).
    void finish();
    // A dialog sheet shows as a worksheet in the sheet list but is none.
    bool isDialogSheet() const { return dialog_; }
    bool selected() const { return selected_; }

private:
    void readColumns(Cursor& in);
    void readRow(Cursor& in);
    void readMerges(Cursor& in);
    void readWindow(Cursor& in);
    void readPane(Cursor& in);
    void readSelection(Cursor& in);
    void readSetup(Cursor& in);
    void readBreaks(Cursor& in, std::vector<long>& breaks);
    void readTabColor(Cursor& in);
    std::string headerFooterText(Cursor& in);

    Worksheet& sheet_;
    const StyleBuilder& styles_;
    long columnEntries_ = 0;
    std::optional<double> defaultWidth_;  // DEFCOLWIDTH, characters without padding
    std::optional<double> standardWidth_; // STANDARDWIDTH, file width units
    bool fitToPage_ = false;
    bool frozen_ = false;
    bool dialog_ = false;
    bool selected_ = false;
    int activePane_ = 3;
    std::map<int, std::pair<long, long>> selections_; // pane -> 1-based row and column
};

} // namespace sheet::xls
