#include "sheet/xls_layout.h"

#include "sheet/xlsx_reader.h"

#include <algorithm>
#include <cstdio>

namespace sheet::xls {

namespace {

constexpr double kDefaultPaddingCharacters = 0.43;
constexpr long kLastColumn = 255;
constexpr int kDefaultCellXf = 15;

namespace record {
constexpr std::uint16_t kColInfo = 0x007D;
constexpr std::uint16_t kRow = 0x0208;
constexpr std::uint16_t kDefColWidth = 0x0055;
constexpr std::uint16_t kStandardWidth = 0x0099;
constexpr std::uint16_t kDefaultRowHeight = 0x0225;
constexpr std::uint16_t kMergedCells = 0x00E5;
constexpr std::uint16_t kWindow2 = 0x023E;
constexpr std::uint16_t kScl = 0x00A0;
constexpr std::uint16_t kPane = 0x0041;
constexpr std::uint16_t kSelection = 0x001D;
constexpr std::uint16_t kSetup = 0x00A1;
constexpr std::uint16_t kWsBool = 0x0081;
constexpr std::uint16_t kLeftMargin = 0x0026;
constexpr std::uint16_t kRightMargin = 0x0027;
constexpr std::uint16_t kTopMargin = 0x0028;
constexpr std::uint16_t kBottomMargin = 0x0029;
constexpr std::uint16_t kHCenter = 0x0083;
constexpr std::uint16_t kVCenter = 0x0084;
constexpr std::uint16_t kHeader = 0x0014;
constexpr std::uint16_t kFooter = 0x0015;
constexpr std::uint16_t kPrintGridlines = 0x002B;
constexpr std::uint16_t kPrintHeaders = 0x002A;
constexpr std::uint16_t kRowBreaks = 0x001B;
constexpr std::uint16_t kColumnBreaks = 0x001A;
constexpr std::uint16_t kProtect = 0x0012;
constexpr std::uint16_t kPassword = 0x0013;
constexpr std::uint16_t kSheetExt = 0x0862;
} // namespace record

double marginOf(Cursor& in) {
    const double inches = in.f64();
    return inches >= 0 && inches < 100 ? inches : 0;
}

} // namespace

bool LayoutReader::read(const Record& record, Cursor& in) {
    PageSetup& page = sheet_.pageSetup;
    switch (record.type) {
    case record::kColInfo:
        readColumns(in);
        return true;
    case record::kRow:
        readRow(in);
        return true;
    case record::kDefColWidth:
        defaultWidth_ = in.u16();
        return true;
    case record::kStandardWidth:
        standardWidth_ = in.u16() / 256.0;
        return true;
    case record::kDefaultRowHeight: {
        in.skip(2);
        const double height = in.u16() / 20.0;
        if (height > 0 && height <= 409.5)
            sheet_.defaultRowHeight = height;
        return true;
    }
    case record::kMergedCells:
        readMerges(in);
        return true;
    case record::kWindow2:
        readWindow(in);
        return true;
    case record::kScl: {
        const int numerator = in.u16();
        const int denominator = in.u16();
        if (denominator > 0 && numerator * 100 / denominator >= 10 &&
            numerator * 100 / denominator <= 400)
            sheet_.zoom = numerator * 100 / denominator;
        return true;
    }
    case record::kPane:
        readPane(in);
        return true;
    case record::kSelection:
        readSelection(in);
        return true;
    case record::kSetup:
        readSetup(in);
        return true;
    case record::kWsBool: {
        const std::uint16_t flags = in.u16();
        fitToPage_ = flags & 0x0100;
        dialog_ = flags & 0x0010;
        return true;
    }
    case record::kLeftMargin:
        page.leftMargin = marginOf(in);
        return true;
    case record::kRightMargin:
        page.rightMargin = marginOf(in);
        return true;
    case record::kTopMargin:
        page.topMargin = marginOf(in);
        return true;
    case record::kBottomMargin:
        page.bottomMargin = marginOf(in);
        return true;
    case record::kHCenter:
        page.centerHorizontally = in.u16() != 0;
        return true;
    case record::kVCenter:
        page.centerVertically = in.u16() != 0;
        return true;
    case record::kHeader:
        page.headerFooter.oddHeader = headerFooterText(in);
        return true;
    case record::kFooter:
        page.headerFooter.oddFooter = headerFooterText(in);
        return true;
    case record::kPrintGridlines:
        page.printGridlines = in.u16() != 0;
        return true;
    case record::kPrintHeaders:
        page.printHeadings = in.u16() != 0;
        return true;
    case record::kRowBreaks:
        readBreaks(in, page.rowBreaks);
        return true;
    case record::kColumnBreaks:
        readBreaks(in, page.columnBreaks);
        return true;
    case record::kProtect:
        sheet_.protection.on = in.u16() != 0;
        return true;
    case record::kPassword: {
        const unsigned hash = in.u16();
        if (hash != 0) {
            char text[8];
            std::snprintf(text, sizeof text, "%04X", hash);
            sheet_.protection.passwordHash = text;
        }
        return true;
    }
    case record::kSheetExt:
        readTabColor(in);
        return true;
    default:
        return false;
    }
}

void LayoutReader::readColumns(Cursor& in) {
    const long first = in.u16();
    const long last = std::min<long>(in.u16(), kLastColumn);
    const double width = in.u16() / 256.0;
    const int xf = in.u16();
    const bool hidden = in.u16() & 0x0001;
    // Ranges of a sound file do not overlap; a flood of overlapping ones would only burn time.
    columnEntries_ += std::max(0L, last - first + 1);
    if (first > last || columnEntries_ > 8 * (kLastColumn + 1))
        return;
    for (long column = first + 1; column <= last + 1; ++column) {
        if (width <= 255)
            sheet_.columnWidths[column] = characterWidthOf(width);
        if (hidden)
            sheet_.hiddenColumns.push_back(column);
        if (xf != kDefaultCellXf)
            sheet_.columnStyles[column] = styles_.styleOf(xf);
    }
}

void LayoutReader::readRow(Cursor& in) {
    const long row = in.u16() + 1L;
    in.skip(4); // first and last column
    const double height = (in.u16() & 0x7FFF) / 20.0;
    in.skip(4);
    const std::uint16_t flags = in.u16();
    const int xf = in.u16() & 0x0FFF;
    if (height <= 409.5)
        sheet_.rowHeights[row] = height;
    if (flags & 0x0020)
        sheet_.hiddenRows.push_back(row);
    if (flags & 0x0080)
        sheet_.rowStyles[row] = styles_.styleOf(xf);
}

void LayoutReader::readMerges(Cursor& in) {
    const std::size_t count = in.u16();
    for (std::size_t i = 0; i < count; ++i) {
        CellRect rect;
        rect.firstRow = in.u16() + 1L;
        rect.lastRow = in.u16() + 1L;
        rect.firstColumn = in.u16() + 1L;
        rect.lastColumn = in.u16() + 1L;
        if (rect.firstRow > rect.lastRow || rect.firstColumn > rect.lastColumn ||
            rect.lastColumn > kMaxColumns || mergeArea(rect) > kMaxMergeCells)
            continue;
        if (rect.firstRow != rect.lastRow || rect.firstColumn != rect.lastColumn)
            sheet_.merges.push_back(rect);
    }
}

void LayoutReader::readWindow(Cursor& in) {
    const std::uint16_t flags = in.u16();
    const long top = in.u16() + 1L;
    const long left = in.u16() + 1L;
    SheetView& view = sheet_.view;
    view.showGridLines = flags & 0x0002;
    view.showZeros = flags & 0x0010;
    view.rightToLeft = flags & 0x0040;
    frozen_ = flags & 0x0008;
    selected_ = flags & 0x0200;
    view.topLeftRow = top;
    view.topLeftColumn = left;
    if (in.biff() != Biff::V8 || in.remaining() < 8)
        return;
    in.skip(4); // heading colour
    in.skip(2); // zoom of the page break preview
    const int zoom = in.u16();
    if (zoom >= 10 && zoom <= 400)
        sheet_.zoom = zoom;
}

void LayoutReader::readPane(Cursor& in) {
    const long columns = in.u16();
    const long rows = in.u16();
    const long top = in.u16() + 1L;
    const long left = in.u16() + 1L;
    activePane_ = in.u8();
    if (!frozen_)
        return;
    sheet_.view.frozenColumns = columns;
    sheet_.view.frozenRows = rows;
    sheet_.view.topLeftRow = top;
    sheet_.view.topLeftColumn = left;
}

void LayoutReader::readSelection(Cursor& in) {
    const int pane = in.u8();
    const long row = in.u16() + 1L;
    const long column = in.u16() + 1L;
    if (column <= kMaxColumns)
        selections_[pane] = {row, column};
}

void LayoutReader::readSetup(Cursor& in) {
    PageSetup& page = sheet_.pageSetup;
    const int paper = in.u16();
    const int scale = in.u16();
    const int firstPage = in.s16();
    const int fitWidth = in.u16();
    const int fitHeight = in.u16();
    const std::uint16_t flags = in.u16();
    in.skip(4); // resolutions
    const double header = in.f64();
    const double footer = in.f64();
    page.headerMargin = header >= 0 && header < 100 ? header : page.headerMargin;
    page.footerMargin = footer >= 0 && footer < 100 ? footer : page.footerMargin;
    page.fitWidth = fitWidth;
    page.fitHeight = fitHeight;
    page.downThenOver = !(flags & 0x0001);
    page.blackAndWhite = flags & 0x0008;
    page.draft = flags & 0x0010;
    page.firstPageNumber = flags & 0x0080 ? firstPage : 0;
    if (flags & 0x0004) // the printer settings were never filled in
        return;
    if (paper > 0) {
        page.paperSize = paper;
        page.paperSizeSet = true;
    }
    if (scale >= 10 && scale <= 400)
        page.scale = scale;
    if (!(flags & 0x0040))
        page.orientation = flags & 0x0002 ? 1 : 2;
}

void LayoutReader::readBreaks(Cursor& in, std::vector<long>& breaks) {
    const std::size_t count = in.u16();
    for (std::size_t i = 0; i < count; ++i) {
        breaks.push_back(in.u16());
        if (in.biff() == Biff::V8)
            in.skip(4);
    }
}

void LayoutReader::readTabColor(Cursor& in) {
    in.skip(12); // the future-record header
    const std::uint32_t size = in.u32();
    if (size < 0x14)
        return;
    sheet_.view.tabColor = styles_.color(in.u32() & 0x7F);
}

std::string LayoutReader::headerFooterText(Cursor& in) {
    if (in.remaining() == 0)
        return {};
    return in.biff() == Biff::V8 ? in.text16() : in.text8();
}

void LayoutReader::finish() {
    if (standardWidth_)
        sheet_.defaultColumnWidth = characterWidthOf(*standardWidth_);
    else if (defaultWidth_ && *defaultWidth_ > 0 && *defaultWidth_ <= 255)
        sheet_.defaultColumnWidth = *defaultWidth_ + kDefaultPaddingCharacters;
    sheet_.pageSetup.fitToPages = fitToPage_;
    auto selection = selections_.find(frozen_ ? activePane_ : 3);
    if (selection == selections_.end() && !selections_.empty())
        selection = selections_.begin();
    if (selection != selections_.end()) {
        sheet_.selectedRow = selection->second.first;
        sheet_.selectedColumn = selection->second.second;
    }
    for (auto* list : {&sheet_.hiddenRows, &sheet_.hiddenColumns}) {
        std::sort(list->begin(), list->end());
        list->erase(std::unique(list->begin(), list->end()), list->end());
    }
}

} // namespace sheet::xls
