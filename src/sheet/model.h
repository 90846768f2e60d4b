// The in-memory workbook model of the embedded spreadsheet component.
//
// A Workbook owns its sheets and one style table; cells refer to styles by index. Colours are
// plain RGB (theme and indexed colours are resolved when a file is read). Rows and columns are
// 1-based everywhere, as in the spreadsheet application.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace sheet {

constexpr long kMaxRows = 1048576;
constexpr long kMaxColumns = 16384;

// 0xRRGGBB.
using Rgb = std::uint32_t;

enum class CellType { Empty, Number, Text, Boolean, Error };

// A value or a formula's cached result.
struct CellValue {
    CellType type = CellType::Empty;
    double number = 0; // Number; Boolean as 0 or 1
    std::string text;  // Text; Error as its code ("#DIV/0!")

    static CellValue Number(double v) { return {CellType::Number, v, {}}; }
    static CellValue Text(std::string v) { return {CellType::Text, 0, std::move(v)}; }
    static CellValue Boolean(bool v) { return {CellType::Boolean, v ? 1.0 : 0.0, {}}; }
    static CellValue Error(std::string code) { return {CellType::Error, 0, std::move(code)}; }
    bool empty() const { return type == CellType::Empty; }
    bool operator==(const CellValue&) const = default;
};

struct Cell {
    CellValue value;     // the value, or the cached result of the formula
    std::string formula; // without the leading '='; empty when the cell holds a plain value
    int style = 0;       // index into the workbook's StyleTable
    bool operator==(const Cell&) const = default;
};

enum class Underline { None, Single, Double, SingleAccounting, DoubleAccounting };

struct Font {
    std::string name = "Calibri";
    double size = 11;
    bool bold = false;
    bool italic = false;
    bool strike = false;
    Underline underline = Underline::None;
    std::optional<Rgb> color;
    bool operator==(const Font&) const = default;
};

// Pattern names as in the file format: "none", "solid", "gray125", "darkGrid", ...
struct Fill {
    std::string pattern = "none";
    std::optional<Rgb> foreground;
    std::optional<Rgb> background;
    bool operator==(const Fill&) const = default;
};

// Border style names as in the file format: "" (none), "thin", "medium", "thick", "double",
// "dashed", "dotted", "hair", "mediumDashed", "dashDot", "mediumDashDot", "dashDotDot",
// "mediumDashDotDot", "slantDashDot".
struct BorderSide {
    std::string style;
    std::optional<Rgb> color;
    bool operator==(const BorderSide&) const = default;
};

struct Border {
    BorderSide left, right, top, bottom, diagonal;
    bool diagonalUp = false;
    bool diagonalDown = false;
    bool operator==(const Border&) const = default;
};

// Alignment names as in the file format: horizontal "" (general), "left", "center", "right",
// "fill", "justify", "centerContinuous", "distributed"; vertical "" (bottom), "top", "center",
// "justify", "distributed".
struct Alignment {
    std::string horizontal;
    std::string vertical;
    bool wrap = false;
    int rotation = 0; // 0..180, or 255 for stacked text
    int indent = 0;
    bool shrinkToFit = false;
    bool operator==(const Alignment&) const = default;
};

struct CellProtection {
    bool locked = true;
    bool hidden = false;
    bool operator==(const CellProtection&) const = default;
};

struct Style {
    Font font;
    Fill fill;
    Border border;
    int numberFormatId = 0;       // built-in format id, or >= 164 for a custom code
    std::string numberFormatCode; // the code ("#,##0") for custom formats; empty for built-ins
    Alignment alignment;
    CellProtection protection;
    bool operator==(const Style&) const = default;
};

// Distinct styles of one workbook; index 0 is the default style.
class StyleTable {
public:
    StyleTable();
    int intern(const Style& style); // index of an equal style, added when new
    const Style& at(int index) const;
    int size() const { return static_cast<int>(styles_.size()); }

private:
    static std::size_t hashOf(const Style& style);

    std::vector<Style> styles_;
    // Hash of a style -> indexes with that hash; keeps intern() fast for files with many styles.
    std::unordered_multimap<std::size_t, int> index_;
};

// True when the style's number format shows a date or a time (built-in ids 14-22, 27-36,
// 45-47, 50-58, or a custom code with date or time letters outside quotes and brackets).
bool isDateFormat(const Style& style);

struct PageSetup {
    int orientation = 1; // 1 portrait, 2 landscape
    double leftMargin = 0.7, rightMargin = 0.7, topMargin = 0.75, bottomMargin = 0.75;
    double headerMargin = 0.3, footerMargin = 0.3;
    int scale = 100;         // percent
    bool fitToPages = false; // when true fitWidth/fitHeight apply instead of scale
    int fitWidth = 1, fitHeight = 1;
    int paperSize = 9; // 9 = A4, 1 = Letter, ...
    bool operator==(const PageSetup&) const = default;
};

// The password of a protected sheet is kept as the file stores it, never in clear: either the
// legacy 16-bit hash (four hex digits in passwordHash, algorithmName empty) or a salted hash
// (algorithmName "SHA-512" and the like, passwordHash the base64 hash value).
struct SheetProtection {
    bool on = false;
    std::string passwordHash; // empty when protected without a password
    std::string algorithmName;
    std::string saltValue; // base64
    int spinCount = 0;
    bool operator==(const SheetProtection&) const = default;
};

// The most cells one merged range may span; the file writer fills every cell of a merge, so a
// sheet-sized merge would take hours and gigabytes.
constexpr long long kMaxMergeCells = 4'000'000;

// A rectangle, 1-based and inclusive.
struct CellRect {
    long firstRow = 1, firstColumn = 1, lastRow = 1, lastColumn = 1;
    bool contains(long row, long column) const {
        return row >= firstRow && row <= lastRow && column >= firstColumn && column <= lastColumn;
    }
    bool operator==(const CellRect&) const = default;
};

inline long long mergeArea(const CellRect& rect) {
    return static_cast<long long>(rect.lastRow - rect.firstRow + 1) *
           (rect.lastColumn - rect.firstColumn + 1);
}

class Worksheet {
public:
    explicit Worksheet(std::string name) : name(std::move(name)) {}

    std::string name;
    std::vector<CellRect> merges;
    std::map<long, double> columnWidths; // character units; absent = defaultColumnWidth
    std::map<long, double> rowHeights;   // points; absent = defaultRowHeight
    std::map<long, int> columnStyles;    // style of a whole column, where set
    std::map<long, int> rowStyles;       // style of a whole row, where set
    std::vector<long> hiddenRows;
    std::vector<long> hiddenColumns;
    bool hidden = false; // the sheet's tab is hidden
    double defaultColumnWidth = 8.43;
    double defaultRowHeight = 15;
    PageSetup pageSetup;
    int zoom = 100;
    SheetProtection protection;
    // Selected cell, where a paste lands.
    long selectedRow = 1, selectedColumn = 1;

    const Cell* cell(long row, long column) const;
    Cell& cellAt(long row, long column); // creates an empty cell when absent
    void erase(long row, long column);
    // Rows in ascending order, each a map column -> cell.
    const std::map<long, std::map<long, Cell>>& rows() const { return rows_; }
    std::map<long, std::map<long, Cell>>& rows() { return rows_; }
    // The last row and column holding any cell; 0 when empty.
    long lastRow() const;
    long lastColumn() const;
    double columnWidth(long column) const;
    double rowHeight(long row) const;
    bool isRowHidden(long row) const;
    bool isColumnHidden(long column) const;

private:
    std::map<long, std::map<long, Cell>> rows_;
};

class Workbook {
public:
    Workbook();

    std::vector<std::unique_ptr<Worksheet>> sheets;
    StyleTable styles;
    int activeSheet = 0; // 0-based index into sheets
    bool date1904 = false;

    Worksheet* find(const std::string& name);   // case-insensitive, nullptr when absent
    int indexOf(const std::string& name) const; // -1 when absent
};

} // namespace sheet
