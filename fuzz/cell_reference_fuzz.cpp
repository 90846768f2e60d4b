// Any text as a cell reference, a range text, a row part and a formula to move.
#include "engine/cell_reference.h"
#include "sheet/a1_reference.h"

#include <QString>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (auto address = sheet::parseCellAddress(text))
        sheet::cellAddressText(address->row, address->column);
    const long rowOffset = size > 0 ? static_cast<long>(data[0]) - 128 : 0;
    const long columnOffset = size > 1 ? static_cast<long>(data[1]) - 128 : 0;
    sheet::shiftFormula(text, rowOffset * 4099, columnOffset * 67);
    sheet::columnLetters(static_cast<long>(size) * 131);

    const QString qtext = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const engine::RangeText range = engine::RangeText::split(qtext);
    for (const QString& part : {range.first, range.last}) {
        try {
            engine::CellPart::read(part);
        } catch (const engine::ConversionError&) {
        }
        engine::ColumnIndexOf(engine::fGetchar(part));
        engine::fGetNum(part);
    }
    engine::ColumnNames::at(static_cast<int>(size) - 5);
    return 0;
}
