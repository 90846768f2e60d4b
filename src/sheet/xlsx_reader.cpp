#include "sheet/xlsx_reader.h"

#include "sheet/a1_reference.h"
#include "sheet/file_error.h"
#include "sheet/io_messages.h"
#include "sheet/xlsx_defined_names.h"
#include "sheet/xlsx_differential_styles.h"
#include "sheet/xlsx_package_paths.h"
#include "sheet/xlsx_rich_text.h"
#include "sheet/xlsx_sheet_data.h"
#include "sheet/xlsx_sheet_extras.h"
#include "sheet/xlsx_styles_reader.h"
#include "sheet/xml_part.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <unordered_map>

namespace sheet {

namespace {

// Pixels of the default font's digit and of the padding a column adds around its text.
constexpr double kDigitPixels = 7;
constexpr double kPaddingPixels = 5;
// What a default column adds to its base width, as the application shows it (8 -> 8.43).
constexpr double kDefaultPaddingCharacters = 0.43;

struct Relationship {
    std::string type;
    std::string target; // a part name, resolved against the source part's folder
};
using Relationships = std::unordered_map<std::string, Relationship>;

void sortUnique(std::vector<long>& numbers) {
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
}

class SheetReader {
public:
    SheetReader(const std::string& path, const std::string& part, Worksheet& sheet,
                const std::vector<int>& styleOfFormat)
        : path_(path), part_(part), sheet_(sheet), styleOfFormat_(styleOfFormat) {}

    void read(pugi::xml_node root) {
        for (pugi::xml_node node = root.first_child(); node; node = node.next_sibling()) {
            const std::string_view name = localName(node);
            if (name == "cols")
                readColumns(node);
            else if (name == "mergeCells")
                readMerges(node);
            else if (name == "sheetViews")
                readView(childNamed(node, "sheetView"));
            else if (name == "sheetFormatPr")
                readFormatDefaults(node);
            else if (name == "sheetPr")
                sheet_.pageSetup.fitToPages =
                    attributeFlag(childNamed(node, "pageSetUpPr"), "fitToPage", false);
            else if (name == "sheetProtection")
                readProtection(node);
            else if (name == "pageMargins")
                readMargins(node);
            else if (name == "pageSetup")
                readPageSetup(node);
        }
        sortUnique(sheet_.hiddenRows);
        sortUnique(sheet_.hiddenColumns);
    }

private:
    [[noreturn]] void outOfRange(std::string_view what) const {
        throwFileError(path_, io_messages::kOutOfRange, part_ + ": " + std::string(what));
    }

    int styleOf(std::optional<long> formatIndex) const {
        if (!formatIndex || *formatIndex < 0 ||
            *formatIndex >= static_cast<long>(styleOfFormat_.size()))
            return styleOfFormat_.front();
        return styleOfFormat_[static_cast<size_t>(*formatIndex)];
    }

    CellAddress addressOf(std::string_view reference) const {
        auto address = parseCellAddress(reference);
        if (!address)
            throwFileError(path_, io_messages::kBadReference,
                           part_ + ": " + std::string(reference));
        return *address;
    }

    CellRect rectOf(std::string_view reference) const {
        const size_t colon = reference.find(':');
        const CellAddress first = addressOf(reference.substr(0, colon));
        const CellAddress last =
            colon == std::string_view::npos ? first : addressOf(reference.substr(colon + 1));
        return CellRect{std::min(first.row, last.row), std::min(first.column, last.column),
                        std::max(first.row, last.row), std::max(first.column, last.column)};
    }

    void readColumns(pugi::xml_node cols) {
        for (pugi::xml_node node = cols.first_child(); node; node = node.next_sibling()) {
            if (!isNamed(node, "col"))
                continue;
            const long first = attributeInteger(node, "min").value_or(0);
            const auto max = attributeInteger(node, "max");
            if (!max && attributeNamed(node, "max"))
                outOfRange("col max=" + std::string(attributeText(node, "max")));
            long last = max.value_or(first);
            if (first < 1 || first > kMaxColumns || last < first)
                outOfRange("col min=" + std::to_string(first) + " max=" + std::to_string(last));
            last = std::min(last, kMaxColumns);
            // Ranges of a sound file do not overlap; a flood of overlapping ones would only
            // burn time.
            columnEntries_ += last - first + 1;
            if (columnEntries_ > 2 * kMaxColumns)
                outOfRange("cols");
            const auto width = attributeNumber(node, "width");
            const bool hidden = attributeFlag(node, "hidden", false);
            const auto style = attributeInteger(node, "style");
            for (long column = first; column <= last; ++column) {
                if (width && *width >= 0 && *width <= 255)
                    sheet_.columnWidths[column] = characterWidthOf(*width);
                if (hidden)
                    sheet_.hiddenColumns.push_back(column);
                if (style && *style > 0)
                    sheet_.columnStyles[column] = styleOf(style);
            }
        }
    }

    void readMerges(pugi::xml_node merges) {
        for (pugi::xml_node node = merges.first_child(); node; node = node.next_sibling()) {
            if (!isNamed(node, "mergeCell"))
                continue;
            const CellRect rect = rectOf(attributeText(node, "ref"));
            if (mergeArea(rect) > kMaxMergeCells)
                outOfRange(std::string("mergeCell ") + attributeText(node, "ref").data());
            if (rect.firstRow != rect.lastRow || rect.firstColumn != rect.lastColumn)
                sheet_.merges.push_back(rect);
        }
    }

    void readView(pugi::xml_node view) {
        if (!view)
            return;
        if (auto zoom = attributeInteger(view, "zoomScale"); zoom && *zoom >= 10 && *zoom <= 400)
            sheet_.zoom = static_cast<int>(*zoom);
        for (pugi::xml_node node = view.first_child(); node; node = node.next_sibling()) {
            if (!isNamed(node, "selection"))
                continue;
            if (auto active = parseCellAddress(attributeText(node, "activeCell"))) {
                sheet_.selectedRow = active->row;
                sheet_.selectedColumn = active->column;
            }
        }
    }

    void readFormatDefaults(pugi::xml_node format) {
        if (auto height = attributeNumber(format, "defaultRowHeight");
            height && *height > 0 && *height <= 409.5)
            sheet_.defaultRowHeight = *height;
        if (auto width = attributeNumber(format, "defaultColWidth");
            width && *width > 0 && *width <= 255)
            sheet_.defaultColumnWidth = characterWidthOf(*width);
        else if (auto base = attributeNumber(format, "baseColWidth");
                 base && *base > 0 && *base <= 255)
            sheet_.defaultColumnWidth = *base + kDefaultPaddingCharacters;
    }

    void readProtection(pugi::xml_node node) {
        SheetProtection& protection = sheet_.protection;
        protection.on = attributeFlag(node, "sheet", false);
        if (auto legacy = attributeText(node, "password"); !legacy.empty()) {
            protection.passwordHash = legacy;
            return;
        }
        protection.algorithmName = attributeText(node, "algorithmName");
        protection.passwordHash = attributeText(node, "hashValue");
        protection.saltValue = attributeText(node, "saltValue");
        protection.spinCount = static_cast<int>(attributeInteger(node, "spinCount").value_or(0));
        if (protection.passwordHash.empty())
            protection.algorithmName.clear();
    }

    void readMargins(pugi::xml_node node) {
        PageSetup& setup = sheet_.pageSetup;
        auto margin = [&](std::string_view name, double& target) {
            if (auto value = attributeNumber(node, name); value && *value >= 0 && *value < 50)
                target = *value;
        };
        margin("left", setup.leftMargin);
        margin("right", setup.rightMargin);
        margin("top", setup.topMargin);
        margin("bottom", setup.bottomMargin);
        margin("header", setup.headerMargin);
        margin("footer", setup.footerMargin);
    }

    void readPageSetup(pugi::xml_node node) {
        PageSetup& setup = sheet_.pageSetup;
        if (attributeText(node, "orientation") == "landscape")
            setup.orientation = 2;
        else if (attributeText(node, "orientation") == "portrait")
            setup.orientation = 1;
        if (auto scale = attributeInteger(node, "scale"); scale && *scale >= 10 && *scale <= 400)
            setup.scale = static_cast<int>(*scale);
        if (auto width = attributeInteger(node, "fitToWidth");
            width && *width >= 0 && *width <= 32767)
            setup.fitWidth = static_cast<int>(*width);
        if (auto height = attributeInteger(node, "fitToHeight");
            height && *height >= 0 && *height <= 32767)
            setup.fitHeight = static_cast<int>(*height);
        if (auto paper = attributeInteger(node, "paperSize"); paper && *paper > 0 && *paper < 256) {
            setup.paperSize = static_cast<int>(*paper);
            setup.paperSizeSet = true;
        }
    }

    const std::string& path_;
    const std::string& part_;
    Worksheet& sheet_;
    const std::vector<int>& styleOfFormat_;
    long columnEntries_ = 0;
};

struct SheetEntry {
    std::string name;
    std::string part; // empty for sheets that are no worksheets (charts, dialogs)
    bool hidden = false;
    bool veryHidden = false;
};

// What a workbook may hold, in cells and in shared strings each: a million, or two per byte of
// the file when that is more. Sound files take a byte or more per cell even compressed (blank
// cells with a border included); a small file holding millions of cells is built to fill
// memory.
long cellBudgetOf(const std::string& path) {
    constexpr long kAlwaysAllowed = 1'000'000;
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error)
        return kAlwaysAllowed;
    constexpr long kPerByte = 2;
    return std::max(kAlwaysAllowed,
                    kPerByte * static_cast<long>(std::min<std::uintmax_t>(size, 1L << 40)));
}

class WorkbookReader {
public:
    WorkbookReader(const std::string& path, const ReadLimits& limits)
        : path_(path), zip_(path, limits), workbook_(std::make_unique<Workbook>()) {}
    WorkbookReader(const std::string& path, std::string bytes, const ReadLimits& limits)
        : path_(path), zip_(path, std::move(bytes), limits),
          workbook_(std::make_unique<Workbook>()) {}

    std::unique_ptr<Workbook> read() {
        const std::string workbookPart = findWorkbookPart();
        const Relationships relationships = readRelationships(workbookPart);
        XmlPart workbookXml(zip_.read(workbookPart), path_, workbookPart);
        const pugi::xml_node root = workbookXml.root();
        workbook_->date1904 = attributeFlag(childNamed(root, "workbookPr"), "date1904", false);
        const long activeTab =
            attributeInteger(childNamed(childNamed(root, "bookViews"), "workbookView"), "activeTab")
                .value_or(0);

        readSupportingParts(relationships);
        const std::vector<SheetEntry> entries = sheetEntries(root, relationships);
        std::vector<int> sheetOfEntry(entries.size(), -1);
        for (size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].part.empty())
                continue;
            if (static_cast<long>(i) == activeTab)
                workbook_->activeSheet = static_cast<int>(workbook_->sheets.size());
            sheetOfEntry[i] = static_cast<int>(workbook_->sheets.size());
            readSheet(entries[i]);
        }
        readDefinedNames(root, sheetOfEntry, *workbook_);
        if (workbook_->sheets.empty())
            throwFileError(path_, io_messages::kNoSheets);
        return std::move(workbook_);
    }

private:
    std::string findWorkbookPart() {
        if (zip_.contains("_rels/.rels")) {
            XmlPart rels(zip_.read("_rels/.rels"), path_, "_rels/.rels");
            for (pugi::xml_node node = rels.root().first_child(); node; node = node.next_sibling())
                if (isNamed(node, "Relationship") &&
                    relationTypeIs(attributeText(node, "Type"), "officeDocument"))
                    return resolvePartTarget("", attributeText(node, "Target"));
        }
        if (zip_.contains("xl/workbook.xml"))
            return "xl/workbook.xml";
        throwFileError(path_, io_messages::kMissingPart, "xl/workbook.xml");
    }

    Relationships readRelationships(const std::string& part) {
        Relationships relationships;
        const std::string relsPart = relationshipsPartName(part);
        if (!zip_.contains(relsPart))
            return relationships;
        XmlPart rels(zip_.read(relsPart), path_, relsPart);
        const std::string folder = partFolder(part);
        for (pugi::xml_node node = rels.root().first_child(); node; node = node.next_sibling()) {
            if (!isNamed(node, "Relationship") || attributeText(node, "TargetMode") == "External")
                continue;
            relationships[std::string(attributeText(node, "Id"))] =
                Relationship{std::string(attributeText(node, "Type")),
                             resolvePartTarget(folder, attributeText(node, "Target"))};
        }
        return relationships;
    }

    const Relationship* relationshipOfType(const Relationships& relationships,
                                           std::string_view kind) const {
        for (const auto& [id, relationship] : relationships)
            if (relationTypeIs(relationship.type, kind))
                return &relationship;
        return nullptr;
    }

    void readSupportingParts(const Relationships& relationships) {
        if (auto theme = relationshipOfType(relationships, "theme");
            theme && zip_.contains(theme->target)) {
            XmlPart themeXml(zip_.read(theme->target), path_, theme->target);
            colors_.setTheme(readThemeColors(themeXml.root()));
        }
        if (auto styles = relationshipOfType(relationships, "styles");
            styles && zip_.contains(styles->target)) {
            XmlPart stylesXml(zip_.read(styles->target), path_, styles->target);
            styleOfFormat_ = readCellStyles(stylesXml.root(), colors_, workbook_->styles);
            differentialStyles_ = readDifferentialStyles(stylesXml.root(), colors_);
        } else {
            styleOfFormat_ = {0};
        }
        if (auto strings = relationshipOfType(relationships, "sharedStrings");
            strings && zip_.contains(strings->target)) {
            strings_ = readSharedStrings(zip_.read(strings->target), path_, strings->target,
                                         cellsLeft_, colors_);
        }
    }

    std::vector<SheetEntry> sheetEntries(pugi::xml_node root,
                                         const Relationships& relationships) const {
        std::vector<SheetEntry> entries;
        for (pugi::xml_node node = childNamed(root, "sheets").first_child(); node;
             node = node.next_sibling()) {
            if (!isNamed(node, "sheet"))
                continue;
            SheetEntry entry;
            entry.name = attributeText(node, "name");
            entry.hidden =
                !attributeText(node, "state").empty() && attributeText(node, "state") != "visible";
            entry.veryHidden = attributeText(node, "state") == "veryHidden";
            auto relationship = relationships.find(std::string(attributeText(node, "r:id")));
            if (relationship != relationships.end() &&
                relationTypeIs(relationship->second.type, "worksheet"))
                entry.part = relationship->second.target;
            entries.push_back(std::move(entry));
        }
        return entries;
    }

    void readSheet(const SheetEntry& entry) {
        auto sheet = std::make_unique<Worksheet>(entry.name);
        sheet->hidden = entry.hidden;
        sheet->veryHidden = entry.veryHidden;
        const SheetDataContext context{path_,          entry.part,          strings_,  colors_,
                                       styleOfFormat_, workbook_->date1904, cellsLeft_};
        XmlPart sheetXml(readSheetData(zip_.read(entry.part), context, *sheet), path_, entry.part);
        // The worksheet without its cells: everything else a sheet carries is read from here.
        const pugi::xml_node worksheet = sheetXml.root();
        SheetReader(path_, entry.part, *sheet, styleOfFormat_).read(worksheet);
        readSheetExtras(worksheet, entry.part, {zip_, colors_, differentialStyles_, carrier_},
                        *sheet);
        workbook_->sheets.push_back(std::move(sheet));
    }

    std::string path_;
    ZipArchive zip_;
    std::unique_ptr<Workbook> workbook_;
    ColorResolver colors_;
    std::vector<int> styleOfFormat_;
    std::vector<DifferentialStyle> differentialStyles_;
    SharedStrings strings_;
    long cellsLeft_ = cellBudgetOf(path_);
    PartCarrier carrier_{zip_};
};

} // namespace

double characterWidthOf(double fileWidth) {
    const double pixels = std::round(fileWidth * kDigitPixels);
    const double characters = pixels < kDigitPixels + kPaddingPixels
                                  ? pixels / (kDigitPixels + kPaddingPixels)
                                  : (pixels - kPaddingPixels) / kDigitPixels;
    return std::round(characters * 100) / 100;
}

std::unique_ptr<Workbook> readXlsx(const std::string& path, const ReadLimits& limits) {
    return WorkbookReader(path, limits).read();
}

std::unique_ptr<Workbook> readXlsxFromBytes(const std::string& path, std::string bytes,
                                            const ReadLimits& limits) {
    return WorkbookReader(path, std::move(bytes), limits).read();
}

} // namespace sheet
