// One part of an otherwise sound package replaced by the input: the first byte chooses the
// worksheet, the shared strings or the styles, the rest is the part's text.
#include "fuzz_support.h"
#include "sheet/workbook_io.h"

#include <array>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    static const std::array<const char*, 3> kParts{"xl/worksheets/sheet1.xml",
                                                   "xl/sharedStrings.xml", "xl/styles.xml"};
    static const fuzz::Parts kSound = fuzz::soundWorkbook();
    fuzz::Parts parts = kSound;
    parts[kParts[data[0] % kParts.size()]] =
        std::string(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string bytes = fuzz::zipBytes(parts);
    const std::string path = fuzz::writeInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                              bytes.size(), ".xlsx");
    try {
        const auto workbook = sheet::readWorkbook(path);
        sheet::writeWorkbook(*workbook, fuzz::outputPath("-saved.xlsx"));
    } catch (const sheet::FileError&) {
    }
    return 0;
}
