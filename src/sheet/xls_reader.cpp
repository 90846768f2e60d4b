#include "sheet/xls_reader.h"

#include "sheet/file_bytes.h"
#include "sheet/file_error.h"
#include "sheet/io_messages.h"
#include "sheet/xls_cells.h"
#include "sheet/xls_container.h"
#include "sheet/xls_globals.h"
#include "sheet/xls_layout.h"
#include "sheet/xls_names.h"

#include <cstring>
#include <filesystem>

namespace sheet {

namespace {

using namespace xls;

constexpr std::uint16_t kBof = 0x0809;
constexpr std::uint16_t kEof = 0x000A;
constexpr std::uint16_t kWorksheetKind = 0x0010;
constexpr std::uint16_t kMacroSheetKind = 0x0040;
constexpr unsigned char kCompoundMagic[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

class StreamReader {
public:
    StreamReader(std::string_view stream, Workbook& workbook)
        : stream_(stream), workbook_(workbook) {}

    void read() {
        readGlobals(stream_, globals_);
        workbook_.date1904 = globals_.date1904;
        globals_.styles.build(workbook_.styles);
        std::vector<int> worksheetOf(globals_.sheets.size(), -1);
        for (std::size_t i = 0; i < globals_.sheets.size(); ++i)
            if (readSheet(globals_.sheets[i]))
                worksheetOf[i] = static_cast<int>(workbook_.sheets.size()) - 1;
        applyNames(globals_, worksheetOf, workbook_);
        if (globals_.activeSheet >= 0 &&
            globals_.activeSheet < static_cast<int>(worksheetOf.size()) &&
            worksheetOf[static_cast<std::size_t>(globals_.activeSheet)] >= 0)
            workbook_.activeSheet = worksheetOf[static_cast<std::size_t>(globals_.activeSheet)];
    }

private:
    // True when the sheet was a worksheet and was added.
    bool readSheet(const SheetEntry& entry) {
        if (entry.kind != SheetKind::Worksheet)
            return false;
        RecordStream records(stream_, entry.offset);
        Record record;
        if (!records.next(record) || record.type != kBof || record.body.size() < 4)
            throw Refusal{io_messages::kCorruptZip, "BOF " + entry.name};
        const unsigned kind = static_cast<unsigned char>(record.body[2]) |
                              static_cast<unsigned char>(record.body[3]) << 8;
        if (kind != kWorksheetKind && kind != kMacroSheetKind)
            return false;

        auto sheet = std::make_unique<Worksheet>(entry.name);
        sheet->hidden = entry.hidden;
        sheet->veryHidden = entry.veryHidden;
        CellReader cells(*sheet, globals_);
        LayoutReader layout(*sheet, globals_.styles);
        readSubstream(records, cells, layout);
        cells.finish();
        layout.finish();
        if (kind == kMacroSheetKind || layout.isDialogSheet())
            return false;
        workbook_.sheets.push_back(std::move(sheet));
        return true;
    }

    void readSubstream(RecordStream& records, CellReader& cells, LayoutReader& layout) {
        const std::size_t start = records.offset();
        Record record;
        int depth = 0; // charts embedded in the sheet bring their own BOF..EOF
        while (records.next(record)) {
            if (record.type == kBof) {
                ++depth;
                continue;
            }
            if (record.type == kEof) {
                if (depth-- == 0) {
                    walked_ += records.offset() - start;
                    // Sheets of a sound file do not overlap: going over the stream again and
                    // again is a hostile file's doing.
                    if (walked_ > 2 * stream_.size())
                        throw Refusal{io_messages::kCorruptZip, "sheet offsets"};
                    return;
                }
                continue;
            }
            if (depth > 0)
                continue;
            Cursor in(record, globals_.biff, globals_.codePage);
            if (!cells.read(record, in))
                layout.read(record, in);
        }
        throw Truncated();
    }

    std::string_view stream_;
    Workbook& workbook_;
    Globals globals_;
    std::size_t walked_ = 0;
};

std::unique_ptr<Workbook> readStreamOf(std::string_view stream, const std::string& path) {
    auto workbook = std::make_unique<Workbook>();
    try {
        StreamReader(stream, *workbook).read();
    } catch (const Refusal& refusal) {
        throwFileError(path, refusal.reason, refusal.detail);
    } catch (const Truncated&) {
        throwFileError(path, io_messages::kCorruptZip, "Workbook");
    }
    if (workbook->sheets.empty())
        throwFileError(path, io_messages::kNoSheets);
    return workbook;
}

// Files of the oldest versions hold the BIFF records without a compound container.
void refuseBareBiff(std::string_view head, const std::string& path) {
    const bool bof = head.size() >= 2 && head[0] == 0x09 &&
                     (head[1] == 0x00 || head[1] == 0x02 || head[1] == 0x04);
    throwFileError(path, bof ? io_messages::kXlsTooOld : io_messages::kXlsUnreadable);
}

bool isCompound(std::string_view head) {
    return head.size() >= sizeof kCompoundMagic &&
           std::memcmp(head.data(), kCompoundMagic, sizeof kCompoundMagic) == 0;
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
    std::string head = readFileHead(path, 8).value_or(std::string());
    head.resize(8, '\0');
    if (!isCompound(head))
        refuseBareBiff(head, path);
    return readStreamOf(readXlsWorkbookStream(path, limits), path);
}

std::unique_ptr<Workbook> readXlsBytes(std::string_view bytes, const std::string& path,
                                       const ReadLimits& limits) {
    if (bytes.size() > limits.maxPartBytes)
        throwFileError(path, io_messages::kPartTooLarge,
                       std::to_string(limits.maxPartBytes >> 20) + " MB");
    if (!isCompound(bytes.substr(0, 8)))
        refuseBareBiff(bytes.substr(0, 8), path);
    return readStreamOf(readXlsWorkbookStream(bytes, path, limits), path);
}

std::unique_ptr<Workbook> readXlsStream(std::string_view stream, const std::string& path) {
    return readStreamOf(stream, path);
}

} // namespace sheet
