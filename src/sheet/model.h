// The in-memory workbook model of the embedded spreadsheet component.
//
// A Workbook owns its sheets and one style table; cells refer to styles by index. Colours are
// plain RGB (theme and indexed colours are resolved when a file is read). Rows and columns are
// 1-based everywhere, as in the spreadsheet application.
#pragma once

#include "sheet/column_map.h"
#include "sheet/row_map.h"
#include "sheet/shared_text.h"

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

enum class CellType : std::uint8_t { Empty, Number, Text, Boolean, Error };

// A value or a formula's cached result. The type comes last so that a cell can keep its style
// in the padding after it.
struct CellValue {
    double number = 0; // Number; Boolean as 0 or 1
    SharedText text;   // Text; Error as its code ("#DIV/0!")
    CellType type = CellType::Empty;

    static CellValue Number(double v) { return {v, {}, CellType::Number}; }
    static CellValue Text(SharedText v) { return {0, std::move(v), CellType::Text}; }
    static CellValue Boolean(bool v) { return {v ? 1.0 : 0.0, {}, CellType::Boolean}; }
    static CellValue Error(SharedText code) { return {0, std::move(code), CellType::Error}; }
    bool empty() const { return type == CellType::Empty; }
    bool operator==(const CellValue&) const = default;
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

// One run of a rich-text string: its text and, where the run sets one, its own font (a run
// without a font shows in the cell's font).
struct TextRun {
    std::string text;
    std::optional<Font> font;
    bool operator==(const TextRun&) const = default;
};

// The runs of a rich-text string; their texts joined equal the cell's text value. Shared
// between copies of a cell, never changed in place.
using RichText = std::vector<TextRun>;

struct Cell {
    // The value, or the cached result of the formula. Allowed to overlap: the style takes the
    // padding after the value's type, which keeps a stored cell at 48 bytes.
    [[no_unique_address]] CellValue value;
    int style = 0;      // index into the workbook's StyleTable
    SharedText formula; // without the leading '='; empty when the cell holds a plain value
    // The runs of a text value written with more than one font; null for plain text.
    std::shared_ptr<const RichText> richText;

    Cell() = default;
    // In the order the fields were always given, so that {value, formula, style} reads as before.
    Cell(CellValue value, SharedText formula = {}, int style = 0,
         std::shared_ptr<const RichText> richText = {})
        : value(std::move(value)), style(style), formula(std::move(formula)),
          richText(std::move(richText)) {}
    bool operator==(const Cell& other) const {
        return value == other.value && style == other.style && formula == other.formula &&
               (richText == other.richText ||
                (richText && other.richText && *richText == *other.richText));
    }
};
#if !defined(_MSC_VER) // which leaves no_unique_address out
static_assert(sizeof(Cell) == 48, "the style belongs in the padding after the value's type");
#endif

// A row's cells by column. Adding or erasing a cell of a row moves the row's later cells: hold
// no reference to a cell across a change to its row.
using CellRow = ColumnMap<Cell>;

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

// A rectangle, 1-based and inclusive.
struct CellRect {
    long firstRow = 1, firstColumn = 1, lastRow = 1, lastColumn = 1;
    bool contains(long row, long column) const {
        return row >= firstRow && row <= lastRow && column >= firstColumn && column <= lastColumn;
    }
    bool operator==(const CellRect&) const = default;
};

// Header and footer texts keep the file format's codes ("&C&P / &N", "&L&\"Arial,Bold\"Title").
struct HeaderFooter {
    std::string oddHeader, oddFooter;
    std::string evenHeader, evenFooter;   // used when differentOddEven
    std::string firstHeader, firstFooter; // used when differentFirst
    bool differentOddEven = false;
    bool differentFirst = false;
    bool scaleWithDocument = true;
    bool alignWithMargins = true;
    bool empty() const {
        return oddHeader.empty() && oddFooter.empty() && evenHeader.empty() && evenFooter.empty() &&
               firstHeader.empty() && firstFooter.empty();
    }
    bool operator==(const HeaderFooter&) const = default;
};

struct PageSetup {
    int orientation = 1; // 1 portrait, 2 landscape
    double leftMargin = 0.7, rightMargin = 0.7, topMargin = 0.75, bottomMargin = 0.75;
    double headerMargin = 0.3, footerMargin = 0.3;
    int scale = 100;                 // percent
    bool fitToPages = false;         // when true fitWidth/fitHeight apply instead of scale
    int fitWidth = 1, fitHeight = 1; // pages; 0 means "as many as needed" in that direction
    int paperSize = 9;               // 9 = A4, 1 = Letter, ...
    bool paperSizeSet = false;       // false when the file named no paper (written without one)
    bool centerHorizontally = false, centerVertically = false;
    bool printGridlines = false, printHeadings = false;
    bool blackAndWhite = false, draft = false;
    int firstPageNumber = 0;  // 0 = automatic
    bool downThenOver = true; // page order
    HeaderFooter headerFooter;
    // Print titles: rows and columns repeated on every page; 0 when none.
    long titleFirstRow = 0, titleLastRow = 0;
    long titleFirstColumn = 0, titleLastColumn = 0;
    std::vector<CellRect> printArea; // empty = the used range
    // Manual page breaks: a row break after row N prints row N+1 on a new page (the file
    // format's "id"); a column break likewise.
    std::vector<long> rowBreaks;
    std::vector<long> columnBreaks;
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

inline long long mergeArea(const CellRect& rect) {
    return static_cast<long long>(rect.lastRow - rect.firstRow + 1) *
           (rect.lastColumn - rect.firstColumn + 1);
}

// What the sheet's window shows: frozen panes, gridlines, tab colour.
struct SheetView {
    long frozenRows = 0;    // rows frozen at the top (the pane splits below this row)
    long frozenColumns = 0; // columns frozen at the left
    long topLeftRow = 1, topLeftColumn = 1; // first cell shown in the scrolling pane
    bool showGridLines = true;
    bool showZeros = true;
    bool rightToLeft = false;
    std::optional<Rgb> tabColor;
    bool operator==(const SheetView&) const = default;
};

// Formatting a conditional-format rule or a table style applies on top of the cell's own: only
// the members that are set.
struct DifferentialStyle {
    std::optional<bool> bold, italic, strike;
    std::optional<Underline> underline;
    std::optional<Rgb> fontColor;
    std::optional<Fill> fill;
    std::optional<Border> border;
    std::optional<int> numberFormatId;
    std::string numberFormatCode;
    bool operator==(const DifferentialStyle&) const = default;
};

// One rule of a conditional format. Formulas are written without '=' and relative to the top-left
// cell of the format's first range, as in the file format.
struct ConditionalRule {
    std::string type;         // "cellIs", "expression", "containsText", "colorScale", ...
    std::string operatorName; // "between", "greaterThan", ... for cellIs
    std::vector<std::string> formulas;
    std::string text; // for containsText and the like
    int priority = 1;
    bool stopIfTrue = false;
    std::optional<DifferentialStyle> style;
    // Children the model does not interpret (colorScale, dataBar, iconSet), as XML text.
    std::string extraXml;
    bool operator==(const ConditionalRule&) const = default;
};

struct ConditionalFormat {
    std::vector<CellRect> ranges;
    std::vector<ConditionalRule> rules;
    bool operator==(const ConditionalFormat&) const = default;
};

struct DataValidation {
    std::vector<CellRect> ranges;
    std::string
        type; // "" (any), "whole", "decimal", "list", "date", "time", "textLength", "custom"
    std::string operatorName;       // "" (between), "notBetween", "equal", ...
    std::string formula1, formula2; // without '='; a list as "\"가,나,다\"" or a range
    bool allowBlank = true;
    bool showDropDown = true; // the in-cell arrow (the file format stores its negation)
    bool showInputMessage = true, showErrorMessage = true;
    std::string errorStyle; // "" (stop), "warning", "information"
    std::string errorTitle, error, promptTitle, prompt;
    bool operator==(const DataValidation&) const = default;
};

// A note attached to a cell.
struct Comment {
    long row = 1, column = 1;
    std::string author;
    std::string text;                         // plain text of all runs
    std::shared_ptr<const RichText> richText; // null when plain
    bool visible = false;
    bool operator==(const Comment& other) const {
        return row == other.row && column == other.column && author == other.author &&
               text == other.text && visible == other.visible;
    }
};

struct Hyperlink {
    CellRect range;
    std::string target;   // external address ("https://...", "mailto:..."); empty for internal
    std::string location; // place inside the workbook ("'학교01'!A1"); may go with target
    std::string tooltip, display;
    bool operator==(const Hyperlink&) const = default;
};

// A package part the model does not interpret (drawing, chart, picture, table, comments' VML,
// form control), kept as its bytes with the parts it refers to, so that a writer can carry it
// from the package it came from. Parts are shared between copies and never changed in place.
struct PackagePart;

struct PartRelation {
    std::string id;     // "rId3", as the source part's relationships name it
    std::string type;   // the relationship type URI
    std::string target; // for an external relationship: the address
    bool external = false;
    std::shared_ptr<const PackagePart> part; // the related part; null when external
};

struct PackagePart {
    std::string name;        // path in the source package, "xl/drawings/drawing1.xml"
    std::string contentType; // "application/vnd.openxmlformats-officedocument.drawing+xml"
    std::string data;        // the part's bytes
    std::vector<PartRelation> relations;
};

// A carried part the sheet refers to: the sheet's element that names it ("drawing",
// "legacyDrawing", "legacyDrawingHF", "tablePart", "control", "picture", "oleObject"),
// the relationship type and the part itself.
struct SheetAttachment {
    std::string element;
    std::string relationType;
    std::shared_ptr<const PackagePart> part;
    // Sheet XML that refers to the relationship id ("<control shapeId=... r:id=...>"), with
    // the id written as "{rId}"; empty for elements that hold only the id.
    std::string elementXml;
};

class Worksheet {
public:
    explicit Worksheet(std::string name) : name(std::move(name)) {}

    std::string name;
    std::vector<CellRect> merges;
    std::map<long, double> columnWidths; // character units; absent = defaultColumnWidth
    std::map<long, double> rowHeights;   // points; absent = defaultRowHeight
    std::map<long, int> columnStyles;    // style of a whole column, where set
    std::map<long, int> rowStyles;       // style of a whole row, where set
    std::vector<long> hiddenRows;        // ascending
    std::vector<long> hiddenColumns;     // ascending
    bool hidden = false;                 // the sheet's tab is hidden
    bool veryHidden = false;
    double defaultColumnWidth = 8.43;
    double defaultRowHeight = 15;
    PageSetup pageSetup;
    int zoom = 100;
    SheetView view;
    SheetProtection protection;
    std::vector<ConditionalFormat> conditionalFormats;
    std::vector<DataValidation> dataValidations;
    std::vector<Comment> comments;
    std::vector<Hyperlink> hyperlinks;
    std::vector<SheetAttachment> attachments;
    // Selected cell, where a paste lands.
    long selectedRow = 1, selectedColumn = 1;

    const Cell* cell(long row, long column) const;
    // Creates an empty cell when absent. The reference lasts until the next change to the row.
    Cell& cellAt(long row, long column);
    void erase(long row, long column);
    // Rows in ascending order, each a map column -> cell.
    const RowMap<CellRow>& rows() const { return rows_; }
    RowMap<CellRow>& rows() { return rows_; }
    // The last row and column holding any cell; 0 when empty.
    long lastRow() const;
    long lastColumn() const;
    double columnWidth(long column) const;
    double rowHeight(long row) const;
    bool isRowHidden(long row) const;
    bool isColumnHidden(long column) const;

private:
    RowMap<CellRow> rows_;
};

// A defined name. Formulas are stored without '='. Print titles and print areas are kept in each
// sheet's PageSetup, not here (readers turn _xlnm.Print_Titles and _xlnm.Print_Area into them,
// writers back).
struct DefinedName {
    std::string name;
    std::string formula;
    int localSheet = -1; // 0-based sheet index for a sheet-level name; -1 for the workbook
    bool hidden = false;
    std::string comment;
    bool operator==(const DefinedName&) const = default;
};

class Workbook {
public:
    Workbook();

    std::vector<std::unique_ptr<Worksheet>> sheets;
    StyleTable styles;
    int activeSheet = 0; // 0-based index into sheets
    bool date1904 = false;
    std::vector<DefinedName> names;
    // Parts the workbook refers to that the model does not interpret and a writer may carry
    // (the theme, custom XML, external links); sheet-level parts live on their sheets.
    std::vector<SheetAttachment> workbookParts;

    Worksheet* find(const std::string& name);   // case-insensitive, nullptr when absent
    int indexOf(const std::string& name) const; // -1 when absent
};

} // namespace sheet
