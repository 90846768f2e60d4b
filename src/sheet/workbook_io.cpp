#include "sheet/workbook_io.h"

#include "sheet/file_bytes.h"
#include "sheet/file_error.h"
#include "sheet/io_messages.h"
#include "sheet/xls_reader.h"
#include "sheet/xlsx_reader.h"
#include "sheet/xlsx_writer.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace sheet {

namespace {

enum class Container { Zip, Compound, Other };

// The first record of a file of the oldest .xls versions, which have no compound container.
bool startsWithBiffRecord(const unsigned char* head) {
    return head[0] == 0x09 && (head[1] == 0x00 || head[1] == 0x02 || head[1] == 0x04) &&
           head[3] == 0x00;
}

Container containerOf(std::string_view bytes) {
    const auto* head = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t got = std::min<size_t>(bytes.size(), 8);
    if (got >= 4 && head[0] == 'P' && head[1] == 'K' && (head[2] == 3 || head[2] == 5) &&
        (head[3] == 4 || head[3] == 6))
        return Container::Zip;
    static const unsigned char kCompound[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    if (got == 8 && std::memcmp(head, kCompound, sizeof kCompound) == 0)
        return Container::Compound;
    if (got >= 4 && startsWithBiffRecord(head))
        return Container::Compound;
    return Container::Other;
}

} // namespace

std::unique_ptr<Workbook> readWorkbook(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        throwFileError(path, io_messages::kCannotOpen, error ? error.message() : std::string());
    // A small file is read once: its first bytes tell its kind, and a zip opens from memory.
    std::optional<std::string> whole = readWholeFile(path, ReadLimits{}.wholeFileBytes);
    std::optional<std::string> head;
    if (!whole && !(head = readFileHead(path, 8)))
        throwFileError(path, io_messages::kCannotOpen);
    switch (containerOf(whole ? *whole : *head)) {
    case Container::Zip:
        return whole ? readXlsxFromBytes(path, std::move(*whole)) : readXlsx(path);
    case Container::Compound:
        return readXls(path);
    case Container::Other:
        break;
    }
    throwFileError(path, io_messages::kNotWorkbook);
}

void writeWorkbook(const Workbook& workbook, const std::string& path) {
    writeXlsx(workbook, path);
}

void writeWorkbook(const Workbook& workbook, const std::string& path,
                   const XlsxWriteOptions& options) {
    writeXlsx(workbook, path, options);
}

} // namespace sheet
