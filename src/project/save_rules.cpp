#include "project/save_rules.h"

#include "engine/cell_reference.h"
#include "project/project_messages.h"
#include "project/range_block.h"

#include <optional>

namespace project {

namespace {

constexpr int kNoColumn = engine::ColumnNames::kNotFound;

SaveCheck checkCommon(const ProjectSettings& s) {
    if (s.Method == ConsolidationMethod::D)
        return SaveCheck::refuse(msg::kMethodDRefused);
    if (isBlank(s.ProjectName))
        return SaveCheck::refuse(msg::kNoProjectName);
    if (isBlank(s.DataFolder))
        return SaveCheck::refuse(msg::kNoDataFolder);
    if (isBlank(s.SheetName))
        return SaveCheck::refuse(msg::kNoSheetName);
    return SaveCheck::pass();
}

SaveCheck checkTitle(const QString& title) {
    if (isBlank(title))
        return SaveCheck::refuse(msg::kNoTitleRange);
    if (!RangeBlock::read(title).isWellFormed())
        return SaveCheck::refuse(msg::kBadTitleRange);
    return SaveCheck::pass();
}

// The sum range's own shape, shared by methods A and C.
bool sumRangeIsWellShaped(const RangeBlock& sum) {
    return sum.hasOrderedColumns() && sum.hasOrderedRows();
}

std::optional<int> topRowOf(const QString& range) {
    try {
        return engine::rowNumberOf(engine::RangeText::split(range).first);
    } catch (const engine::ConversionError&) {
        return std::nullopt;
    }
}

bool within(int value, int low, int high) {
    return value >= low && value <= high;
}

bool sumInsideData(const RangeBlock& sum, const RangeBlock& data) {
    if (sum.left == kNoColumn || sum.right == kNoColumn)
        return false;
    if (!within(sum.left, data.left, data.right) || !within(sum.right, data.left, data.right))
        return false;
    return within(sum.top, data.top, data.bottom) && within(sum.bottom, data.top, data.bottom);
}

SaveCheck checkMethodA(const ProjectSettings& s) {
    if (SaveCheck title = checkTitle(s.TitleRange); !title.maySave)
        return title;
    if (isBlank(s.DataRange))
        return SaveCheck::refuse(msg::kNoDataRange);
    const RangeBlock data = RangeBlock::read(s.DataRange);
    if (!data.isWellFormed())
        return SaveCheck::refuse(msg::kBadDataRange);
    if (isBlank(s.SumRange))
        return SaveCheck::notice(msg::kNoSumRangeAppendOnlyA, BoxKind::Information);
    const RangeBlock sum = RangeBlock::read(s.SumRange);
    if (!sumRangeIsWellShaped(sum))
        return SaveCheck::refuse(msg::kBadSumRange);
    if (!sumInsideData(sum, data))
        return SaveCheck::refuse(msg::kSumOutsideData);
    return SaveCheck::pass();
}

SaveCheck checkMethodB(const ProjectSettings& s) {
    if (SaveCheck title = checkTitle(s.TitleRange); !title.maySave)
        return title;
    if (isBlank(s.DataRange))
        return SaveCheck::refuse(msg::kNoDataRange);
    // Only the top row counts: the rest of the range grows with each workbook.
    if (topRowOf(s.DataRange).value_or(0) == 0)
        return SaveCheck::refuse(msg::kBadDataRange);
    return SaveCheck::pass();
}

SaveCheck checkMethodC(const ProjectSettings& s) {
    if (isBlank(s.SumRange))
        return SaveCheck::notice(msg::kNoSumRangeAppendOnlyC, BoxKind::Plain);
    if (!sumRangeIsWellShaped(RangeBlock::read(s.SumRange)))
        return SaveCheck::refuse(msg::kBadSumRange);
    return SaveCheck::pass();
}

SaveCheck checkMethodE(const ProjectSettings& s) {
    if (isBlank(s.DataRange)) {
        SaveCheck refused = SaveCheck::refuse(msg::kNoCellItems);
        refused.focusDataRange = true;
        return refused;
    }
    for (const QString& item : cellItemsOf(s.DataRange)) {
        const bool bad = item.contains(u':') ? !RangeBlock::read(item).isWellFormed()
                                             : engine::isPastLastRow(item);
        if (bad)
            return SaveCheck::refuse(item + msg::kBadDataRangeItemSuffix);
    }
    return SaveCheck::pass();
}

} // namespace

QStringList cellItemsOf(const QString& dataRange) {
    if (!dataRange.contains(u','))
        return {dataRange};
    QStringList items;
    for (const QString& item : dataRange.split(u','))
        items << item.trimmed();
    return items;
}

SaveCheck checkForSave(const ProjectSettings& settings) {
    if (SaveCheck common = checkCommon(settings); !common.maySave)
        return common;
    switch (settings.Method) {
    case ConsolidationMethod::A:
        return checkMethodA(settings);
    case ConsolidationMethod::B:
        return checkMethodB(settings);
    case ConsolidationMethod::C:
        return checkMethodC(settings);
    case ConsolidationMethod::E:
        return checkMethodE(settings);
    case ConsolidationMethod::D:
        break;
    }
    return SaveCheck::refuse(msg::kMethodDRefused);
}

} // namespace project
