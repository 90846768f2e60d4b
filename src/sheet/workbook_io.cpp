#include "sheet/workbook_io.h"

#include "sheet/file_error.h"
#include "sheet/io_messages.h"
#include "sheet/xls_reader.h"
#include "sheet/xlsx_reader.h"
#include "sheet/xlsx_writer.h"

#include <cstring>
#include <filesystem>
#include <fstream>

namespace sheet {

namespace {

enum class Container { Zip, Compound, Other };

// The first record of a file of the oldest .xls versions, which have no compound container.
bool startsWithBiffRecord(const unsigned char* head) {
    return head[0] == 0x09 && (head[1] == 0x00 || head[1] == 0x02 || head[1] == 0x04) &&
           head[3] == 0x00;
}

Container containerOf(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        throwFileError(path, io_messages::kCannotOpen, error ? error.message() : std::string());
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throwFileError(path, io_messages::kCannotOpen);
    unsigned char head[8] = {};
    in.read(reinterpret_cast<char*>(head), sizeof head);
    if (in.gcount() >= 4 && head[0] == 'P' && head[1] == 'K' && (head[2] == 3 || head[2] == 5) &&
        (head[3] == 4 || head[3] == 6))
        return Container::Zip;
    static const unsigned char kCompound[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    if (in.gcount() == 8 && std::memcmp(head, kCompound, sizeof kCompound) == 0)
        return Container::Compound;
    if (in.gcount() >= 4 && startsWithBiffRecord(head))
        return Container::Compound;
    return Container::Other;
}

} // namespace

std::unique_ptr<Workbook> readWorkbook(const std::string& path) {
    switch (containerOf(path)) {
    case Container::Zip:
        return readXlsx(path);
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
