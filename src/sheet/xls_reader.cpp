#include "sheet/xls_reader.h"

#include "sheet/date_serial.h"
#include "sheet/file_error.h"
#include "sheet/io_messages.h"

#include <filesystem>
#include <freexl.h>
#include <fstream>

namespace sheet {

namespace {

constexpr int kDateFormat = 14;     // the locale's short date
constexpr int kDateTimeFormat = 22; // short date with hours and minutes
constexpr int kTimeFormat = 21;     // h:mm:ss

// An encrypted .xlsx travels in the same compound container as .xls, beside an
// "EncryptionInfo" stream; the name sits in the container's directory in UTF-16.
bool holdsEncryptionInfo(const std::string& path) {
    static const std::string kName = [] {
        std::string name;
        for (char c : std::string("EncryptionInfo")) {
            name += c;
            name += '\0';
        }
        return name;
    }();
    std::ifstream in(path, std::ios::binary);
    std::string window;
    char chunk[1 << 16];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        window.append(chunk, static_cast<size_t>(in.gcount()));
        if (window.find(kName) != std::string::npos)
            return true;
        window.erase(0, window.size() > kName.size() ? window.size() - kName.size() : 0);
    }
    return false;
}

class FreeXlHandle {
public:
    explicit FreeXlHandle(const std::string& path) : path_(path) {
        const int result = freexl_open(path.c_str(), &handle_);
        if (result == FREEXL_OK)
            return;
        handle_ = nullptr;
        if (holdsEncryptionInfo(path))
            throwFileError(path, io_messages::kEncrypted);
        throwFileError(path, io_messages::kXlsUnreadable, "FreeXL " + std::to_string(result));
    }
    ~FreeXlHandle() {
        if (handle_)
            freexl_close(handle_);
    }
    FreeXlHandle(const FreeXlHandle&) = delete;
    FreeXlHandle& operator=(const FreeXlHandle&) = delete;

    unsigned info(unsigned short what) const {
        unsigned value = 0;
        check(freexl_get_info(handle_, what, &value));
        return value;
    }
    void check(int result) const {
        if (result != FREEXL_OK)
            throwFileError(path_, io_messages::kXlsUnreadable, "FreeXL " + std::to_string(result));
    }
    const void* get() const { return handle_; }

private:
    std::string path_;
    const void* handle_ = nullptr;
};

Style dateStyle(int formatId) {
    Style style;
    style.numberFormatId = formatId;
    return style;
}

void readValue(const FreeXL_CellValue& value, Cell& cell, const int dateStyles[3]) {
    switch (value.type) {
    case FREEXL_CELL_INT:
        cell.value = CellValue::Number(value.value.int_value);
        break;
    case FREEXL_CELL_DOUBLE:
        cell.value = CellValue::Number(value.value.double_value);
        break;
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
        cell.value = CellValue::Text(value.value.text_value ? value.value.text_value : "");
        break;
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME: {
        // The reader hands dates out as text; cells hold them as serial numbers.
        const char* text = value.value.text_value ? value.value.text_value : "";
        if (auto serial = serialFromIsoText(text, false)) {
            cell.value = CellValue::Number(*serial);
            cell.style = dateStyles[value.type - FREEXL_CELL_DATE];
        } else {
            cell.value = CellValue::Text(text);
        }
        break;
    }
    default:
        break;
    }
}

void readSheet(const FreeXlHandle& xls, unsigned short index, Workbook& workbook) {
    const char* name = nullptr;
    xls.check(freexl_get_worksheet_name(xls.get(), index, &name));
    xls.check(freexl_select_active_worksheet(xls.get(), index));
    unsigned rows = 0;
    unsigned short columns = 0;
    xls.check(freexl_worksheet_dimensions(xls.get(), &rows, &columns));

    const int dateStyles[3] = {workbook.styles.intern(dateStyle(kDateFormat)),
                               workbook.styles.intern(dateStyle(kDateTimeFormat)),
                               workbook.styles.intern(dateStyle(kTimeFormat))};
    auto sheet = std::make_unique<Worksheet>(name ? name : "Sheet" + std::to_string(index + 1));
    for (unsigned row = 0; row < rows; ++row) {
        for (unsigned short column = 0; column < columns; ++column) {
            FreeXL_CellValue value;
            if (freexl_get_cell_value(xls.get(), row, column, &value) != FREEXL_OK ||
                value.type == FREEXL_CELL_NULL)
                continue;
            Cell cell;
            readValue(value, cell, dateStyles);
            if (!cell.value.empty())
                sheet->rows()[row + 1L].insert_or_assign(column + 1L, std::move(cell));
        }
    }
    workbook.sheets.push_back(std::move(sheet));
}

} // namespace

std::unique_ptr<Workbook> readXls(const std::string& path, const ReadLimits& limits) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error)
        throwFileError(path, io_messages::kCannotOpen, error.message());
    if (size > limits.maxPartBytes)
        throwFileError(path, io_messages::kPartTooLarge,
                       std::to_string(limits.maxPartBytes >> 20) + " MB");

    FreeXlHandle xls(path);
    if (xls.info(FREEXL_BIFF_PASSWORD) == FREEXL_BIFF_OBFUSCATED)
        throwFileError(path, io_messages::kEncrypted);

    auto workbook = std::make_unique<Workbook>();
    const unsigned count = xls.info(FREEXL_BIFF_SHEET_COUNT);
    for (unsigned index = 0; index < count; ++index)
        readSheet(xls, static_cast<unsigned short>(index), *workbook);
    if (workbook->sheets.empty())
        throwFileError(path, io_messages::kNoSheets);
    return workbook;
}

} // namespace sheet
