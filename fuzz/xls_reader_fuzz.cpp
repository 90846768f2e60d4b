// Feeds arbitrary bytes to the .xls reader: an odd first byte gives the rest as a bare
// workbook stream (the record layer, most of the reader), an even one as a whole file
// (the compound container first).
#include "sheet/workbook_io.h"
#include "sheet/xls_reader.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    try {
        if (data[0] & 1)
            sheet::readXlsStream(bytes, "fuzz.xls");
        else
            sheet::readXlsBytes(bytes, "fuzz.xls");
    } catch (const sheet::FileError&) {
    }
    return 0;
}
