#include "sheet/xls_names.h"

namespace sheet::xls {

namespace {

constexpr int kPrintArea = 6;
constexpr int kPrintTitles = 7;
constexpr long kSheetRows = 65536;
constexpr long kSheetColumns = 256;

CellRect areaOf(Cursor& in, bool singleCell) {
    CellRect rect;
    if (in.biff() == Biff::V8) {
        rect.firstRow = in.u16() + 1L;
        rect.lastRow = singleCell ? rect.firstRow : in.u16() + 1L;
        rect.firstColumn = (in.u16() & 0x3FFF) + 1L;
        rect.lastColumn = singleCell ? rect.firstColumn : (in.u16() & 0x3FFF) + 1L;
        return rect;
    }
    rect.firstRow = (in.u16() & 0x3FFF) + 1L;
    rect.lastRow = singleCell ? rect.firstRow : (in.u16() & 0x3FFF) + 1L;
    rect.firstColumn = in.u8() + 1L;
    rect.lastColumn = singleCell ? rect.firstColumn : in.u8() + 1L;
    if (rect.lastRow == 0x4000)
        rect.lastRow = kSheetRows;
    return rect;
}

void applyPrintTitles(const std::vector<CellRect>& rects, PageSetup& page) {
    for (const CellRect& rect : rects) {
        if (rect.firstColumn == 1 && rect.lastColumn >= kSheetColumns) {
            page.titleFirstRow = rect.firstRow;
            page.titleLastRow = rect.lastRow;
        } else if (rect.firstRow == 1 && rect.lastRow >= kSheetRows) {
            page.titleFirstColumn = rect.firstColumn;
            page.titleLastColumn = rect.lastColumn;
        }
    }
}

} // namespace

std::vector<CellRect> rectanglesOf(std::string_view tokens, Biff biff) {
    Record record{0, 0, tokens, {}};
    Cursor in(record, biff, 0);
    std::vector<CellRect> rects;
    try {
        while (in.remaining() > 0) {
            const std::uint8_t code = in.u8();
            const std::uint8_t base = code >= 0x20 ? (code & 0x1F) | 0x20 : code;
            switch (base) {
            case 0x10: // list
            case 0x15: // parentheses
                break;
            case 0x26: // area reference with its extent
                in.skip(6);
                break;
            case 0x29:
                in.skip(2);
                break;
            case 0x24:
            case 0x25:
                rects.push_back(areaOf(in, base == 0x24));
                break;
            case 0x3A:
            case 0x3B:
                in.skip(biff == Biff::V8 ? 2 : 14);
                rects.push_back(areaOf(in, base == 0x3A));
                break;
            default:
                return {};
            }
        }
    } catch (const Truncated&) {
        return {};
    }
    return rects;
}

void applyNames(const Globals& globals, const std::vector<int>& worksheetOf, Workbook& workbook) {
    for (const NameEntry& name : globals.names) {
        int local = -1;
        if (name.sheet >= 0) {
            if (name.sheet >= static_cast<int>(worksheetOf.size()) ||
                worksheetOf[static_cast<std::size_t>(name.sheet)] < 0)
                continue;
            local = worksheetOf[static_cast<std::size_t>(name.sheet)];
        }
        if ((name.builtin == kPrintArea || name.builtin == kPrintTitles) && local >= 0) {
            PageSetup& page = workbook.sheets[static_cast<std::size_t>(local)]->pageSetup;
            const auto rects = rectanglesOf(name.tokens, globals.biff);
            if (name.builtin == kPrintArea)
                page.printArea = rects;
            else
                applyPrintTitles(rects, page);
            continue;
        }
        auto formula = decompileFormula(name.tokens, globals.formulas);
        if (!formula || name.name.empty())
            continue;
        workbook.names.push_back({name.name, *formula, local, name.hidden, {}});
    }
}

} // namespace sheet::xls
