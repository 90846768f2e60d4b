#include "project/range_block.h"

#include "engine/cell_reference.h"

namespace project {

namespace {

constexpr int kNoColumn = engine::ColumnNames::kNotFound;

int columnOf(const QString& corner) {
    return engine::ColumnIndexOf(engine::fGetchar(corner));
}

} // namespace

RangeBlock RangeBlock::read(const QString& text) {
    const engine::RangeText parts = engine::RangeText::split(text);
    RangeBlock block;
    block.left = columnOf(parts.first);
    block.right = columnOf(parts.last);
    try {
        block.top = engine::rowNumberOf(parts.first);
        block.bottom = engine::rowNumberOf(parts.last);
        block.converted = true;
    } catch (const engine::ConversionError&) {
        block.converted = false;
    }
    return block;
}

bool RangeBlock::isWellFormed() const {
    return hasOrderedColumns() && left != kNoColumn && right != kNoColumn && hasOrderedRows();
}

} // namespace project
