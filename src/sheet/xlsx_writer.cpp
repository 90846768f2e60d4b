#include "sheet/xlsx_writer.h"

#include "sheet/a1_reference.h"
#include "sheet/file_error.h"
#include "sheet/io_messages.h"
#include "sheet/xlsx_format_builder.h"
#include "sheet/xlsx_package_patch.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <unistd.h>
#include <xlsxwriter.h>

namespace sheet {

namespace {

namespace fs = std::filesystem;

constexpr size_t kMaxTextLength = 32767;
constexpr double kDigitPixels = 7;
constexpr double kPaddingPixels = 5;

// A name beside the target that no other save, in this process or another, will pick.
std::string temporaryPathFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    const fs::path target(path);
    std::string name = "." + target.filename().string() + ".saving-" + std::to_string(::getpid()) +
                       "-" + std::to_string(++counter) + ".xlsx";
    return (target.parent_path() / name).string();
}

// The width the file stores for a width in characters (padding included, whole pixels).
double fileWidthOf(double characters) {
    const double pixels = std::round(characters * kDigitPixels);
    return std::floor((pixels + kPaddingPixels) / kDigitPixels * 256) / 256;
}

std::string numberText(double value) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out.precision(15);
    out << value;
    return out.str();
}

struct ColumnSpec {
    double width = 0;
    int style = -1; // -1: none
    bool hidden = false;
    bool operator==(const ColumnSpec&) const = default;
};

class SheetWriter {
public:
    SheetWriter(const std::string& path, lxw_worksheet* worksheet, const Worksheet& sheet,
                XlsxFormatBuilder& formats)
        : path_(path), worksheet_(worksheet), sheet_(sheet), formats_(formats) {}

    void write() {
        if (sheet_.defaultRowHeight != LXW_DEF_ROW_HEIGHT && sheet_.defaultRowHeight > 0)
            worksheet_set_default_row(worksheet_, sheet_.defaultRowHeight, LXW_FALSE);
        writeColumns();
        writeRows();
        writeMerges();
        writeCells();
        writePageSetup();
        writeView();
        if (sheet_.protection.on)
            worksheet_protect(worksheet_, nullptr, nullptr);
    }

private:
    void check(lxw_error error, const std::string& where) const {
        if (error == LXW_NO_ERROR)
            return;
        throwFileError(path_, io_messages::kCannotWrite,
                       sheet_.name + "!" + where + ": " + lxw_strerror(error));
    }

    void writeColumns() {
        std::map<long, ColumnSpec> columns;
        for (const auto& [column, width] : sheet_.columnWidths)
            columns[column].width = width;
        for (const auto& [column, style] : sheet_.columnStyles)
            columns[column].style = style;
        for (long column : sheet_.hiddenColumns)
            columns[column].hidden = true;
        for (auto& [column, layout] : columns)
            if (!sheet_.columnWidths.count(column))
                layout.width = sheet_.defaultColumnWidth;

        // Runs of equal settings go out as one range, as a file would hold them.
        auto run = columns.begin();
        while (run != columns.end()) {
            auto last = run;
            auto next = std::next(run);
            while (next != columns.end() && next->first == last->first + 1 &&
                   next->second == run->second)
                last = next++;
            writeColumnRange(run->first, last->first, run->second);
            run = next;
        }
    }

    void writeColumnRange(long first, long last, const ColumnSpec& layout) {
        if (first < 1 || last > kMaxColumns)
            check(LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE, "col " + std::to_string(first));
        lxw_row_col_options options{};
        options.hidden = layout.hidden;
        lxw_format* format = layout.style >= 0 ? formats_.formatOf(layout.style) : nullptr;
        check(worksheet_set_column_opt(worksheet_, static_cast<lxw_col_t>(first - 1),
                                       static_cast<lxw_col_t>(last - 1), layout.width, format,
                                       &options),
              columnLetters(first));
    }

    struct RowSpec {
        double height = 0;
        int style = -1; // -1: none
        bool hidden = false;
    };

    void writeRows() {
        std::map<long, RowSpec> rows;
        auto layout = [&](long row) -> RowSpec& {
            auto [it, added] = rows.try_emplace(row);
            if (added)
                it->second.height = sheet_.rowHeight(row);
            return it->second;
        };
        for (const auto& [row, height] : sheet_.rowHeights)
            layout(row).height = height;
        for (const auto& [row, style] : sheet_.rowStyles)
            layout(row).style = style;
        for (long row : sheet_.hiddenRows)
            layout(row).hidden = true;
        for (const auto& [row, setting] : rows) {
            if (row < 1 || row > kMaxRows)
                check(LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE, "row " + std::to_string(row));
            lxw_row_col_options options{};
            options.hidden = setting.hidden;
            lxw_format* format = setting.style >= 0 ? formats_.formatOf(setting.style) : nullptr;
            check(worksheet_set_row_opt(worksheet_, static_cast<lxw_row_t>(row - 1), setting.height,
                                        format, &options),
                  std::to_string(row));
        }
    }

    void writeMerges() {
        for (const CellRect& merge : sheet_.merges) {
            if (merge.firstRow == merge.lastRow && merge.firstColumn == merge.lastColumn)
                continue;
            if (merge.firstRow < 1 || merge.firstColumn < 1 || merge.lastRow > kMaxRows ||
                merge.lastColumn > kMaxColumns || mergeArea(merge) > kMaxMergeCells)
                check(
                    LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE,
                    cellAddressText(std::max(merge.firstRow, 1L), std::max(merge.firstColumn, 1L)));
            const Cell* topLeft = sheet_.cell(merge.firstRow, merge.firstColumn);
            // The range takes the top-left cell's look; the cells written next keep their own.
            check(worksheet_merge_range(worksheet_, static_cast<lxw_row_t>(merge.firstRow - 1),
                                        static_cast<lxw_col_t>(merge.firstColumn - 1),
                                        static_cast<lxw_row_t>(merge.lastRow - 1),
                                        static_cast<lxw_col_t>(merge.lastColumn - 1), "",
                                        formats_.formatOf(topLeft ? topLeft->style : 0)),
                  cellAddressText(merge.firstRow, merge.firstColumn));
            for (long row = merge.firstRow; row <= merge.lastRow; ++row)
                for (long column = merge.firstColumn; column <= merge.lastColumn; ++column)
                    if (!sheet_.cell(row, column))
                        check(worksheet_write_blank(worksheet_, static_cast<lxw_row_t>(row - 1),
                                                    static_cast<lxw_col_t>(column - 1),
                                                    formats_.formatOf(0)),
                              cellAddressText(row, column));
        }
    }

    void writeCells() {
        for (const auto& [row, cells] : sheet_.rows()) {
            if (row < 1 || row > kMaxRows)
                check(LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE, "row " + std::to_string(row));
            for (const auto& [column, cell] : cells) {
                if (column < 1 || column > kMaxColumns)
                    check(LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE, cellAddressText(row, 1));
                writeCell(static_cast<lxw_row_t>(row - 1), static_cast<lxw_col_t>(column - 1),
                          cell);
            }
        }
    }

    void checkText(const std::string& text, lxw_row_t row, lxw_col_t column) const {
        if (text.size() <= kMaxTextLength) // UTF-8 holds no fewer bytes than characters
            return;
        size_t characters = 0;
        for (unsigned char c : text)
            characters += (c & 0xC0) != 0x80;
        if (characters > kMaxTextLength)
            throwFileError(path_, io_messages::kTextTooLong,
                           sheet_.name + "!" + cellAddressText(row + 1, column + 1));
    }

    void writeCell(lxw_row_t row, lxw_col_t column, const Cell& cell) {
        lxw_format* format = formats_.formatOf(cell.style);
        const std::string where = cellAddressText(row + 1, column + 1);
        const CellValue& value = cell.value;
        if (!cell.formula.empty()) {
            writeFormula(row, column, cell, format, where);
            return;
        }
        switch (value.type) {
        case CellType::Number:
            check(worksheet_write_number(worksheet_, row, column, value.number, format), where);
            return;
        case CellType::Text:
            checkText(value.text, row, column);
            check(value.text.empty()
                      ? worksheet_write_blank(worksheet_, row, column, format)
                      : worksheet_write_string(worksheet_, row, column, value.text.c_str(), format),
                  where);
            return;
        case CellType::Boolean:
            check(worksheet_write_boolean(worksheet_, row, column, value.number != 0, format),
                  where);
            return;
        case CellType::Error:
            // A plain error value has no cell type of its own in the writer; as a formula of
            // the error alone it shows and evaluates the same.
            check(worksheet_write_formula_str(worksheet_, row, column, value.text.c_str(), format,
                                              value.text.c_str()),
                  where);
            return;
        case CellType::Empty:
            if (cell.style != 0)
                check(worksheet_write_blank(worksheet_, row, column, format), where);
            return;
        }
    }

    void writeFormula(lxw_row_t row, lxw_col_t column, const Cell& cell, lxw_format* format,
                      const std::string& where) {
        const char* formula = cell.formula.c_str();
        const CellValue& value = cell.value;
        switch (value.type) {
        case CellType::Number:
        case CellType::Boolean:
            check(
                worksheet_write_formula_num(worksheet_, row, column, formula, format, value.number),
                where);
            return;
        case CellType::Text:
        case CellType::Error:
            checkText(value.text, row, column);
            check(worksheet_write_formula_str(worksheet_, row, column, formula, format,
                                              value.text.c_str()),
                  where);
            return;
        case CellType::Empty:
            check(worksheet_write_formula_str(worksheet_, row, column, formula, format, ""), where);
            return;
        }
    }

    void writePageSetup() {
        const PageSetup& setup = sheet_.pageSetup;
        if (setup.orientation == 2)
            worksheet_set_landscape(worksheet_);
        else
            worksheet_set_portrait(worksheet_);
        worksheet_set_margins(worksheet_, setup.leftMargin, setup.rightMargin, setup.topMargin,
                              setup.bottomMargin);
        // The writer keeps header and footer margins with the (here empty) header and footer.
        lxw_header_footer_options header{};
        header.margin = setup.headerMargin;
        lxw_header_footer_options footer{};
        footer.margin = setup.footerMargin;
        if (setup.headerMargin > 0)
            check(worksheet_set_header_opt(worksheet_, "", &header), "header");
        if (setup.footerMargin > 0)
            check(worksheet_set_footer_opt(worksheet_, "", &footer), "footer");
        if (setup.paperSize > 0 && setup.paperSize < 256)
            worksheet_set_paper(worksheet_, static_cast<uint8_t>(setup.paperSize));
        if (setup.fitToPages)
            worksheet_fit_to_pages(worksheet_, static_cast<uint16_t>(std::max(setup.fitWidth, 0)),
                                   static_cast<uint16_t>(std::max(setup.fitHeight, 0)));
        else if (setup.scale != 100 && setup.scale >= 10 && setup.scale <= 400)
            worksheet_set_print_scale(worksheet_, static_cast<uint16_t>(setup.scale));
    }

    void writeView() {
        if (sheet_.zoom != 100 && sheet_.zoom >= 10 && sheet_.zoom <= 400)
            worksheet_set_zoom(worksheet_, static_cast<uint16_t>(sheet_.zoom));
        const long row = sheet_.selectedRow, column = sheet_.selectedColumn;
        if ((row != 1 || column != 1) && row >= 1 && row <= kMaxRows && column >= 1 &&
            column <= kMaxColumns)
            worksheet_set_selection(
                worksheet_, static_cast<lxw_row_t>(row - 1), static_cast<lxw_col_t>(column - 1),
                static_cast<lxw_row_t>(row - 1), static_cast<lxw_col_t>(column - 1));
    }

    const std::string& path_;
    lxw_worksheet* worksheet_;
    const Worksheet& sheet_;
    XlsxFormatBuilder& formats_;
};

std::string protectionAttributes(const SheetProtection& protection) {
    if (protection.passwordHash.empty())
        return {};
    if (protection.algorithmName.empty())
        return " password=\"" + escapeAttribute(protection.passwordHash) + "\"";
    return " algorithmName=\"" + escapeAttribute(protection.algorithmName) + "\" hashValue=\"" +
           escapeAttribute(protection.passwordHash) + "\" saltValue=\"" +
           escapeAttribute(protection.saltValue) + "\" spinCount=\"" +
           std::to_string(protection.spinCount) + "\"";
}

// What the writer library cannot say itself, to be added to the written parts.
std::map<std::string, PartEdit> packageEdits(const Workbook& workbook) {
    std::map<std::string, PartEdit> edits;
    if (workbook.date1904)
        edits["xl/workbook.xml"] = [](std::string& xml) {
            addAttributes(xml, "workbookPr", " date1904=\"1\"");
        };
    for (size_t i = 0; i < workbook.sheets.size(); ++i) {
        const Worksheet& sheet = *workbook.sheets[i];
        std::string sheetFormat;
        if (std::abs(sheet.defaultColumnWidth - LXW_DEF_COL_WIDTH) > 0.005 &&
            sheet.defaultColumnWidth > 0 && sheet.defaultColumnWidth <= 255)
            sheetFormat =
                " defaultColWidth=\"" + numberText(fileWidthOf(sheet.defaultColumnWidth)) + "\"";
        const std::string protection =
            sheet.protection.on ? protectionAttributes(sheet.protection) : std::string();
        if (sheetFormat.empty() && protection.empty())
            continue;
        edits["xl/worksheets/sheet" + std::to_string(i + 1) + ".xml"] =
            [sheetFormat, protection](std::string& xml) {
                if (!sheetFormat.empty())
                    addAttributes(xml, "sheetFormatPr", sheetFormat);
                if (!protection.empty())
                    addAttributes(xml, "sheetProtection", protection);
            };
    }
    return edits;
}

// Owns the writer's workbook until it is closed; an abandoned one is freed unwritten.
class WriterBook {
public:
    explicit WriterBook(const std::string& file) : book_(workbook_new(file.c_str())) {}
    ~WriterBook() {
        if (book_)
            lxw_workbook_free(book_);
    }
    WriterBook(const WriterBook&) = delete;
    WriterBook& operator=(const WriterBook&) = delete;

    lxw_workbook* get() const { return book_; }
    lxw_error close() {
        lxw_workbook* book = book_;
        book_ = nullptr;
        return workbook_close(book);
    }

private:
    lxw_workbook* book_;
};

void writeBook(const Workbook& workbook, const std::string& path, const std::string& file) {
    WriterBook book(file);
    if (!book.get())
        throwFileError(path, io_messages::kCannotWrite);
    XlsxFormatBuilder formats(book.get(), workbook.styles);
    const int active = std::clamp(workbook.activeSheet, 0,
                                  std::max(0, static_cast<int>(workbook.sheets.size()) - 1));
    for (size_t i = 0; i < workbook.sheets.size(); ++i) {
        const Worksheet& sheet = *workbook.sheets[i];
        if (workbook_validate_sheet_name(book.get(), sheet.name.c_str()) != LXW_NO_ERROR)
            throwFileError(path, io_messages::kBadSheetName, sheet.name);
        lxw_worksheet* worksheet = workbook_add_worksheet(book.get(), sheet.name.c_str());
        if (!worksheet)
            throwFileError(path, io_messages::kBadSheetName, sheet.name);
        SheetWriter(path, worksheet, sheet, formats).write();
        if (static_cast<int>(i) == active)
            worksheet_activate(worksheet);
        else if (sheet.hidden)
            worksheet_hide(worksheet);
    }
    const lxw_error error = book.close();
    if (error != LXW_NO_ERROR)
        throwFileError(path, io_messages::kCannotWrite, lxw_strerror(error));
    patchPackage(file, packageEdits(workbook), path);
}

} // namespace

void writeXlsx(const Workbook& workbook, const std::string& path) {
    const std::string temporary = temporaryPathFor(path);
    try {
        writeBook(workbook, path, temporary);
    } catch (...) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw;
    }
    std::error_code error;
    fs::rename(temporary, path, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throwFileError(path, io_messages::kCannotReplace, error.message());
    }
}

} // namespace sheet
