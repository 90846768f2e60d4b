#include "sheet/xls_globals.h"

#include "sheet/io_messages.h"

namespace sheet::xls {

namespace {

namespace record {
constexpr std::uint16_t kBof = 0x0809;
constexpr std::uint16_t kEof = 0x000A;
constexpr std::uint16_t kFilePass = 0x002F;
constexpr std::uint16_t kCodePage = 0x0042;
constexpr std::uint16_t kDateMode = 0x0022;
constexpr std::uint16_t kWindow1 = 0x003D;
constexpr std::uint16_t kFont = 0x0031;
constexpr std::uint16_t kFormat = 0x041E;
constexpr std::uint16_t kXf = 0x00E0;
constexpr std::uint16_t kPalette = 0x0092;
constexpr std::uint16_t kBoundSheet = 0x0085;
constexpr std::uint16_t kSst = 0x00FC;
constexpr std::uint16_t kSupBook = 0x01AE;
constexpr std::uint16_t kExternSheet = 0x0017;
constexpr std::uint16_t kName = 0x0018;
} // namespace record

constexpr std::string_view kBuiltinNames[] = {
    "Consolidate_Area", "Auto_Open",       "Auto_Close",   "Extract",        "Database",
    "Criteria",         "Print_Area",      "Print_Titles", "Recorder",       "Data_Form",
    "Auto_Activate",    "Auto_Deactivate", "Sheet_Title",  "_FilterDatabase"};

// Where in a UTF-8 text the character with the given UTF-16 index starts.
std::size_t utf8OffsetOfUnit(const std::string& text, std::size_t unit) {
    std::size_t offset = 0;
    std::size_t units = 0;
    while (offset < text.size() && units < unit) {
        const auto lead = static_cast<unsigned char>(text[offset]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        units += length == 4 ? 2 : 1;
        offset = std::min(text.size(), offset + length);
    }
    return offset;
}

class GlobalsReader {
public:
    explicit GlobalsReader(Globals& globals) : globals_(globals) {}

    void read(const Record& record) {
        Cursor in(record, globals_.biff, globals_.codePage);
        switch (record.type) {
        case record::kFilePass:
            throw Refusal{io_messages::kEncrypted, {}};
        case record::kCodePage:
            globals_.codePage = in.u16();
            if (globals_.codePage == 0x8001)
                globals_.codePage = 1252;
            return;
        case record::kDateMode:
            globals_.date1904 = in.u16() == 1;
            return;
        case record::kWindow1:
            in.skip(10);
            globals_.activeSheet = in.u16();
            return;
        case record::kFont:
            globals_.styles.readFont(in);
            return;
        case record::kFormat:
            globals_.styles.readFormat(in);
            return;
        case record::kXf:
            globals_.styles.readXf(in);
            return;
        case record::kPalette:
            globals_.styles.readPalette(in);
            return;
        case record::kBoundSheet:
            readBoundSheet(in);
            return;
        case record::kSst:
            readSharedStrings(in);
            return;
        case record::kSupBook:
            supBookInternal_.push_back(in.remaining() == 4 && (in.skip(2), in.u16() == 0x0401));
            return;
        case record::kExternSheet:
            if (globals_.biff == Biff::V8)
                readExternSheets(in);
            return;
        case record::kName:
            readName(in);
            return;
        default:
            return;
        }
    }

    void finish() {
        auto& ranges = globals_.formulas.externSheets;
        for (std::size_t i = 0; i < ranges.size(); ++i) {
            const std::size_t book = externBooks_[i];
            ranges[i].internal = book < supBookInternal_.size() && supBookInternal_[book];
        }
    }

private:
    void readBoundSheet(Cursor& in) {
        SheetEntry entry;
        entry.offset = in.u32();
        const std::uint8_t state = in.u8();
        const std::uint8_t type = in.u8();
        entry.hidden = (state & 0x03) == 1;
        entry.veryHidden = (state & 0x03) == 2;
        entry.kind = type == 0 ? SheetKind::Worksheet : SheetKind::Other;
        entry.name = in.text8();
        globals_.sheets.push_back(std::move(entry));
        globals_.formulas.sheetNames.push_back(globals_.sheets.back().name);
    }

    void readSharedStrings(Cursor& in) {
        in.skip(4); // total uses
        const std::uint32_t unique = in.u32();
        // Each string takes three bytes at least: a count beyond that is not believed.
        globals_.strings.reserve(std::min<std::size_t>(unique, in.remaining() / 3));
        for (std::uint32_t i = 0; i < unique && in.remaining() > 0; ++i)
            globals_.strings.push_back(readSharedString(in));
    }

    SharedString readSharedString(Cursor& in) {
        const std::size_t count = in.u16();
        if (globals_.biff == Biff::V5)
            return {in.codePageText(count), nullptr};
        const std::uint8_t options = in.u8();
        const std::size_t runs = options & 0x08 ? in.u16() : 0;
        const std::size_t phonetic = options & 0x04 ? in.u32() : 0;
        SharedString out{in.characters(count, options & 0x01), nullptr};
        std::vector<std::pair<std::size_t, int>> starts;
        for (std::size_t i = 0; i < runs; ++i) {
            const std::size_t at = in.u16();
            starts.emplace_back(at, in.u16());
        }
        in.skip(phonetic);
        if (!starts.empty())
            out.richText = richTextOf(out.text, starts);
        return out;
    }

    std::shared_ptr<const RichText>
    richTextOf(const std::string& text, const std::vector<std::pair<std::size_t, int>>& starts) {
        auto rich = std::make_shared<RichText>();
        std::size_t begin = 0;
        std::optional<Font> font;
        for (const auto& [unit, fontIndex] : starts) {
            const std::size_t at = std::max(begin, utf8OffsetOfUnit(text, unit));
            if (at > begin)
                rich->push_back({text.substr(begin, at - begin), font});
            begin = at;
            font = globals_.styles.font(fontIndex);
        }
        if (begin < text.size())
            rich->push_back({text.substr(begin), font});
        if (rich->size() < 2 && (rich->empty() || !rich->front().font))
            return nullptr;
        return rich;
    }

    void readExternSheets(Cursor& in) {
        const std::size_t count = in.u16();
        for (std::size_t i = 0; i < count && in.remaining() >= 6; ++i) {
            FormulaContext::SheetRange range;
            externBooks_.push_back(in.u16());
            range.first = in.s16();
            range.last = in.s16();
            globals_.formulas.externSheets.push_back(range);
        }
    }

    void readName(Cursor& in) {
        NameEntry name;
        const std::uint16_t options = in.u16();
        name.hidden = options & 0x0001;
        in.skip(1); // keyboard shortcut
        const std::size_t length = in.u8();
        const std::size_t tokens = in.u16();
        in.skip(2);
        const int sheet = in.u16();
        name.sheet = sheet - 1;
        in.skip(4); // lengths of menu, description, help and status texts
        if (globals_.biff == Biff::V8) {
            const std::uint8_t textOptions = in.u8();
            name.name = in.characters(length, textOptions & 0x01);
        } else {
            name.name = in.codePageText(length);
        }
        if (options & 0x0020) {
            name.builtin = name.name.empty() ? -1 : static_cast<unsigned char>(name.name[0]);
            if (name.builtin >= 0 && name.builtin < static_cast<int>(std::size(kBuiltinNames)))
                name.name = "_xlnm." + std::string(kBuiltinNames[name.builtin]);
        }
        name.tokens = std::string(in.bytes(std::min(tokens, in.remaining())));
        globals_.formulas.names.push_back(name.name);
        globals_.names.push_back(std::move(name));
    }

    Globals& globals_;
    std::vector<bool> supBookInternal_;
    std::vector<std::size_t> externBooks_; // the SUPBOOK of each EXTERNSHEET entry
};

} // namespace

Biff biffOfBof(std::uint16_t recordType, std::string_view body) {
    if (recordType == 0x0009 || recordType == 0x0209 || recordType == 0x0409)
        throw Refusal{io_messages::kXlsTooOld, {}};
    if (recordType != record::kBof || body.size() < 4)
        throw Refusal{io_messages::kCorruptZip, "BOF"};
    const unsigned version =
        static_cast<unsigned char>(body[0]) | static_cast<unsigned char>(body[1]) << 8;
    if (version == 0x0600)
        return Biff::V8;
    if (version == 0x0500 || version == 0x0400 /* written by some BIFF5 exporters */)
        return Biff::V5;
    if (version < 0x0500 && version != 0)
        throw Refusal{io_messages::kXlsTooOld, {}};
    // Writers that leave the version empty follow the BIFF8 layout when the BOF is that long.
    return body.size() >= 16 ? Biff::V8 : Biff::V5;
}

void readGlobals(std::string_view stream, Globals& globals) {
    RecordStream records(stream, 0);
    Record record;
    if (!records.next(record))
        throw Refusal{io_messages::kCorruptZip, "empty stream"};
    globals.biff = biffOfBof(record.type, record.body);
    globals.formulas.biff = globals.biff;
    if (globals.biff == Biff::V8)
        globals.codePage = 1200;
    GlobalsReader reader(globals);
    bool ended = false;
    while (records.next(record)) {
        if (record.type == record::kEof) {
            ended = true;
            break;
        }
        reader.read(record);
    }
    if (!ended)
        throw Truncated();
    reader.finish();
    globals.formulas.codePage = globals.codePage;
}

} // namespace sheet::xls
