#include "sheet/xlsx_writer.h"

#include "sheet/a1_reference.h"
#include "sheet/file_error.h"
#include "sheet/io_messages.h"
#include "sheet/sheet_names.h"
#include "sheet/xlsx_carried_parts_writer.h"
#include "sheet/xlsx_comments_writer.h"
#include "sheet/xlsx_package_index.h"
#include "sheet/xlsx_package_writer.h"
#include "sheet/xlsx_sheet_parts.h"
#include "sheet/xlsx_sheet_writer.h"
#include "sheet/xlsx_string_items.h"
#include "sheet/xlsx_styles_writer.h"
#include "sheet/xlsx_workbook_part.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <unistd.h>

namespace sheet {

namespace {

namespace fs = std::filesystem;

constexpr const char* kWorkbookPart = "xl/workbook.xml";
constexpr const char* kStylesPart = "xl/styles.xml";
constexpr const char* kSharedStringsPart = "xl/sharedStrings.xml";
constexpr const char* kExternalReference = "externalReference";

// A name beside the target that no other save, in this process or another, will pick.
std::string temporaryPathFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    const fs::path target(path);
    std::string name = "." + target.filename().string() + ".saving-" + std::to_string(::getpid()) +
                       "-" + std::to_string(++counter) + ".xlsx";
    return (target.parent_path() / name).string();
}

// A part whose text is known only once the parts before it are written (styles gain the
// formats conditional formats use, the string table the texts of every sheet).
class DeferredPart : public PartSource {
public:
    explicit DeferredPart(std::function<std::string()> make) : make_(std::move(make)) {}
    bool produce(std::string& out) override {
        out += make_();
        return false;
    }

private:
    std::function<std::string()> make_;
};

void checkMerges(const std::string& path, const Worksheet& sheet) {
    for (const CellRect& merge : sheet.merges) {
        if (merge.firstRow >= 1 && merge.firstColumn >= 1 && merge.lastRow <= kMaxRows &&
            merge.lastColumn <= kMaxColumns && merge.firstRow <= merge.lastRow &&
            merge.firstColumn <= merge.lastColumn && mergeArea(merge) <= kMaxMergeCells)
            continue;
        throwFileError(path, io_messages::kOutOfRange,
                       sheet.name + "!" +
                           cellAddressText(std::clamp(merge.firstRow, 1L, kMaxRows),
                                           std::clamp(merge.firstColumn, 1L, kMaxColumns)));
    }
}

// Refuses what no reader could open before anything is written.
void checkWorkbook(const Workbook& workbook, const std::string& path) {
    if (workbook.sheets.empty())
        throwFileError(path, io_messages::kNoSheets);
    for (const auto& sheet : workbook.sheets) {
        if (sheet->name.empty())
            throwFileError(path, io_messages::kEmptySheetName);
        try {
            embedded::checkSheetName(workbook, sheet->name, sheet.get());
        } catch (const AutomationError& error) {
            throwFileError(path, io_messages::kBadSheetName, sheet->name + ": " + error.what());
        }
        checkMerges(path, *sheet);
    }
}

class PackagePlan {
public:
    PackagePlan(const Workbook& workbook, const std::string& path, const XlsxWriteOptions& options)
        : workbook_(workbook), path_(path), options_(options), carried_(names_, types_),
          styles_(workbook.styles) {
        const int last = static_cast<int>(workbook.sheets.size()) - 1;
        active_ = std::clamp(workbook.activeSheet, 0, std::max(last, 0));
    }

    void write(const std::string& file) {
        planWorkbook();
        PackageWriter package(file, path_, options_.deflateLevel, options_.beforePart);
        package.add("[Content_Types].xml", types_.xml());
        package.add("_rels/.rels", rootRelations());
        package.add(kWorkbookPart, workbookPartXml(workbookInput_));
        package.add(relationshipsPartOf(kWorkbookPart), workbookRelations_.xml());
        for (std::size_t i = 0; i < sheets_.size(); ++i)
            addSheet(package, i);
        carried_.writeTo(package);
        package.add(kStylesPart, std::make_unique<DeferredPart>([this] { return styles_.xml(); }));
        if (options_.sharedStrings)
            package.add(kSharedStringsPart,
                        std::make_unique<DeferredPart>([this] { return strings_.xml(); }));
        package.close();
    }

private:
    struct PlannedSheet {
        std::string part;
        Relationships relations;
        SheetLinks links;
        std::vector<Comment> comments;
        std::string commentsPart, drawingPart;
        long firstShapeBlock = 1;
    };

    static std::string sheetPartName(std::size_t index) {
        return "xl/worksheets/sheet" + std::to_string(index + 1) + ".xml";
    }

    std::string rootRelations() const {
        Relationships relations;
        relations.add(relation_types::kOfficeDocument, kWorkbookPart);
        return relations.xml();
    }

    void planWorkbook() {
        names_.reserve(kWorkbookPart);
        names_.reserve(kStylesPart);
        names_.reserve(kSharedStringsPart);
        for (std::size_t i = 0; i < workbook_.sheets.size(); ++i)
            names_.reserve(sheetPartName(i));
        types_.addOverride(kWorkbookPart, content_types::kWorkbook);
        workbookInput_.workbook = &workbook_;
        workbookInput_.activeSheet = active_;
        for (std::size_t i = 0; i < workbook_.sheets.size(); ++i) {
            const std::string part = sheetPartName(i);
            types_.addOverride(part, content_types::kWorksheet);
            workbookInput_.sheetIds.push_back(workbookRelations_.add(
                relation_types::kWorksheet, relativeTarget(kWorkbookPart, part)));
        }
        workbookRelations_.add(relation_types::kStyles, "styles.xml");
        types_.addOverride(kStylesPart, content_types::kStyles);
        if (options_.sharedStrings) {
            workbookRelations_.add(relation_types::kSharedStrings, "sharedStrings.xml");
            types_.addOverride(kSharedStringsPart, content_types::kSharedStrings);
        }
        for (const SheetAttachment& attachment : workbook_.workbookParts) {
            if (!attachment.part)
                continue;
            const std::string name = carried_.carry(attachment.part, 0);
            const std::string id = workbookRelations_.add(attachment.relationType,
                                                          relativeTarget(kWorkbookPart, name));
            if (attachment.element == kExternalReference)
                workbookInput_.externalReferenceIds.push_back(id);
        }
        long nextShapeBlock = 1;
        for (std::size_t i = 0; i < workbook_.sheets.size(); ++i)
            sheets_.push_back(planSheet(i, nextShapeBlock));
    }

    PlannedSheet planSheet(std::size_t index, long& nextShapeBlock) {
        const Worksheet& sheet = *workbook_.sheets[index];
        PlannedSheet planned;
        planned.part = sheetPartName(index);
        for (const Hyperlink& link : sheet.hyperlinks)
            planned.links.hyperlinkIds.push_back(
                link.target.empty() || !isOnSheet(link.range)
                    ? std::string()
                    : planned.relations.add(relation_types::kHyperlink, link.target, true));
        planned.comments = writableComments(sheet.comments);
        if (!planned.comments.empty())
            planComments(planned, nextShapeBlock);
        for (const SheetAttachment& attachment : sheet.attachments) {
            if (!attachment.part)
                continue;
            // The notes are written from the model; a carried copy of their parts would clash.
            if (!planned.comments.empty() && (attachment.element == "legacyDrawing" ||
                                              attachment.relationType == relation_types::kComments))
                continue;
            const std::string name = carried_.carry(attachment.part, static_cast<int>(index) + 1);
            const std::string id =
                planned.relations.add(attachment.relationType, relativeTarget(planned.part, name));
            if (!attachment.element.empty())
                planned.links.attachments.emplace_back(&attachment, id);
        }
        return planned;
    }

    void planComments(PlannedSheet& planned, long& nextShapeBlock) {
        planned.commentsPart = names_.fresh("xl/comments1.xml");
        planned.drawingPart = names_.fresh("xl/drawings/vmlDrawing1.vml");
        types_.addOverride(planned.commentsPart, content_types::kComments);
        types_.addOverride(planned.drawingPart, content_types::kVmlDrawing);
        planned.relations.add(relation_types::kComments,
                              relativeTarget(planned.part, planned.commentsPart));
        planned.links.legacyDrawingId = planned.relations.add(
            relation_types::kVmlDrawing, relativeTarget(planned.part, planned.drawingPart));
        planned.firstShapeBlock = nextShapeBlock;
        nextShapeBlock += commentDrawingBlocks(planned.comments);
    }

    void addSheet(PackageWriter& package, std::size_t index) {
        PlannedSheet& planned = sheets_[index];
        SheetPartInput input;
        input.sheet = workbook_.sheets[index].get();
        input.selected = static_cast<int>(index) == active_;
        input.links = planned.links;
        input.styles = &styles_;
        input.strings = options_.sharedStrings ? &strings_ : nullptr;
        input.path = &path_;
        input.rowThreads = options_.rowThreads;
        package.add(planned.part, sheetPartSource(std::move(input)));
        if (!planned.relations.empty())
            package.add(relationshipsPartOf(planned.part), planned.relations.xml());
        if (planned.comments.empty())
            return;
        package.add(planned.commentsPart, commentsPartXml(planned.comments));
        package.add(planned.drawingPart,
                    commentsDrawingXml(planned.comments, planned.firstShapeBlock));
    }

    const Workbook& workbook_;
    const std::string& path_;
    const XlsxWriteOptions& options_;
    int active_ = 0;
    PartNames names_;
    ContentTypes types_;
    CarriedParts carried_;
    Relationships workbookRelations_;
    WorkbookPartInput workbookInput_;
    std::vector<PlannedSheet> sheets_;
    StylesPart styles_;
    SharedStrings strings_;
};

} // namespace

void writeXlsx(const Workbook& workbook, const std::string& path, const XlsxWriteOptions& options) {
    checkWorkbook(workbook, path);
    const std::string temporary = temporaryPathFor(path);
    try {
        PackagePlan(workbook, path, options).write(temporary);
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
