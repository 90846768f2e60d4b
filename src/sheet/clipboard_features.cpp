#include "sheet/clipboard_features.h"

#include "sheet/a1_reference.h"
#include "sheet/cell_rects.h"

#include <algorithm>

namespace sheet::embedded {

namespace {

void shiftFormulas(ConditionalFormat& format, long rows, long columns) {
    if (rows == 0 && columns == 0)
        return;
    for (ConditionalRule& rule : format.rules)
        for (std::string& formula : rule.formulas)
            formula = shiftFormula(formula, rows, columns);
}

void shiftFormulas(DataValidation& validation, long rows, long columns) {
    if (rows == 0 && columns == 0)
        return;
    validation.formula1 = shiftFormula(validation.formula1, rows, columns);
    validation.formula2 = shiftFormula(validation.formula2, rows, columns);
}

// Gives an entry new ranges; its formulas follow the top-left cell of the first range.
template <typename Entry> void setRanges(Entry& entry, std::vector<CellRect> ranges) {
    if (!entry.ranges.empty() && !ranges.empty())
        shiftFormulas(entry, ranges.front().firstRow - entry.ranges.front().firstRow,
                      ranges.front().firstColumn - entry.ranges.front().firstColumn);
    entry.ranges = std::move(ranges);
}

template <typename Entry>
void copyRanged(const std::vector<Entry>& from, const CellRect& rect, std::vector<Entry>& to) {
    for (const Entry& entry : from) {
        std::vector<CellRect> clipped;
        for (const CellRect& range : entry.ranges)
            if (auto common = rectIntersection(range, rect))
                clipped.push_back(movedRect(*common, 1 - rect.firstRow, 1 - rect.firstColumn));
        if (clipped.empty())
            continue;
        Entry copy = entry;
        // Re-anchor in the source's coordinates, then keep the ranges relative to the block.
        std::vector<CellRect> inSource;
        for (const CellRect& range : clipped)
            inSource.push_back(movedRect(range, rect.firstRow - 1, rect.firstColumn - 1));
        setRanges(copy, std::move(inSource));
        copy.ranges = std::move(clipped);
        to.push_back(std::move(copy));
    }
}

template <typename Entry> void cutRanged(std::vector<Entry>& entries, const CellRect& area) {
    for (Entry& entry : entries) {
        if (std::none_of(entry.ranges.begin(), entry.ranges.end(),
                         [&](const CellRect& range) { return rectsOverlap(range, area); }))
            continue;
        std::vector<CellRect> kept;
        for (const CellRect& range : entry.ranges)
            for (const CellRect& piece : rectWithout(range, area))
                kept.push_back(piece);
        setRanges(entry, std::move(kept));
    }
    std::erase_if(entries, [](const Entry& entry) { return entry.ranges.empty(); });
}

template <typename Entry>
void pasteRanged(const std::vector<Entry>& from, long rows, long columns, std::vector<Entry>& to) {
    for (const Entry& entry : from) {
        Entry placed = entry;
        for (CellRect& range : placed.ranges)
            range = movedRect(range, rows, columns);
        to.push_back(std::move(placed));
    }
}

void cutHyperlinks(std::vector<Hyperlink>& links, const CellRect& area) {
    std::vector<Hyperlink> kept;
    for (Hyperlink& link : links) {
        for (const CellRect& piece : rectWithout(link.range, area)) {
            kept.push_back(link);
            kept.back().range = piece;
        }
    }
    links = std::move(kept);
}

} // namespace

BlockFeatures copyFeatures(const Worksheet& sheet, const CellRect& rect) {
    BlockFeatures features;
    features.sourceRow = rect.firstRow;
    features.sourceColumn = rect.firstColumn;
    for (const Comment& comment : sheet.comments) {
        if (!rect.contains(comment.row, comment.column))
            continue;
        features.comments.push_back(comment);
        features.comments.back().row += 1 - rect.firstRow;
        features.comments.back().column += 1 - rect.firstColumn;
    }
    for (const Hyperlink& link : sheet.hyperlinks) {
        if (auto common = rectIntersection(link.range, rect)) {
            features.hyperlinks.push_back(link);
            features.hyperlinks.back().range =
                movedRect(*common, 1 - rect.firstRow, 1 - rect.firstColumn);
        }
    }
    copyRanged(sheet.dataValidations, rect, features.dataValidations);
    copyRanged(sheet.conditionalFormats, rect, features.conditionalFormats);
    return features;
}

void pasteFeatures(const BlockFeatures& features, const CellRect& target, Worksheet& sheet) {
    const long rows = target.firstRow - 1, columns = target.firstColumn - 1;
    std::erase_if(sheet.comments, [&](const Comment& comment) {
        return target.contains(comment.row, comment.column);
    });
    for (Comment comment : features.comments) {
        comment.row += rows;
        comment.column += columns;
        sheet.comments.push_back(std::move(comment));
    }
    cutHyperlinks(sheet.hyperlinks, target);
    for (Hyperlink link : features.hyperlinks) {
        link.range = movedRect(link.range, rows, columns);
        sheet.hyperlinks.push_back(std::move(link));
    }
    cutRanged(sheet.dataValidations, target);
    cutRanged(sheet.conditionalFormats, target);

    // The formulas move with the block: from its place in the source to its place here.
    const long formulaRows = target.firstRow - features.sourceRow;
    const long formulaColumns = target.firstColumn - features.sourceColumn;
    const size_t firstValidation = sheet.dataValidations.size();
    const size_t firstFormat = sheet.conditionalFormats.size();
    pasteRanged(features.dataValidations, rows, columns, sheet.dataValidations);
    pasteRanged(features.conditionalFormats, rows, columns, sheet.conditionalFormats);
    for (size_t i = firstValidation; i < sheet.dataValidations.size(); ++i)
        shiftFormulas(sheet.dataValidations[i], formulaRows, formulaColumns);
    for (size_t i = firstFormat; i < sheet.conditionalFormats.size(); ++i)
        shiftFormulas(sheet.conditionalFormats[i], formulaRows, formulaColumns);
}

} // namespace sheet::embedded
