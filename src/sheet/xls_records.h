// The record layer of a BIFF workbook stream: records with their CONTINUE parts, and a cursor
// that reads little-endian fields and text across those parts.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace sheet::xls {

// A record or a field runs past the bytes there are. Readers turn it into "damaged".
class Truncated : public std::runtime_error {
public:
    Truncated() : std::runtime_error("truncated record") {}
};

enum class Biff { V5, V8 }; // V5 also covers BIFF7

// The error value a BIFF error code stands for ("#DIV/0!" for 0x07), or nullopt for a code
// that names none.
std::optional<std::string> errorValueOf(unsigned code);

struct Record {
    std::uint16_t type = 0;
    std::size_t offset = 0; // of the record's header in the stream
    std::string_view body;  // with the bodies of its CONTINUE records appended
    // Offsets in `body` where a CONTINUE record's body begins.
    std::vector<std::uint32_t> continues;
};

// Walks the records of a stream from a given offset. CONTINUE records are joined to the record
// before them; the joined body lives until the next call.
class RecordStream {
public:
    RecordStream(std::string_view stream, std::size_t offset);
    // False at the end of the stream; throws Truncated when a header or body is cut short.
    bool next(Record& record);
    std::size_t offset() const { return offset_; }

private:
    std::string_view stream_;
    std::size_t offset_;
    std::string joined_;
};

// Reads the fields of one record. Every read past the end throws Truncated.
class Cursor {
public:
    Cursor(const Record& record, Biff biff, unsigned codePage)
        : body_(record.body), continues_(record.continues), biff_(biff), codePage_(codePage) {}

    std::uint8_t u8();
    std::uint16_t u16();
    std::int16_t s16() { return static_cast<std::int16_t>(u16()); }
    std::uint32_t u32();
    double f64();
    void skip(std::size_t bytes);
    std::string_view bytes(std::size_t count);
    std::size_t position() const { return position_; }
    std::size_t remaining() const { return body_.size() - position_; }
    Biff biff() const { return biff_; }

    // A string with a 16-bit (or 8-bit) character count: BIFF8 adds an option byte and may
    // carry rich-text runs and phonetic data, which are skipped; BIFF5 gives 8-bit text in the
    // file's code page.
    std::string text16();
    std::string text8();
    // `count` characters whose option byte was read already; a CONTINUE boundary inside them
    // brings a fresh option byte (BIFF8).
    std::string characters(std::size_t count, bool wide);
    // 8-bit characters in the file's code page.
    std::string codePageText(std::size_t count);

private:
    std::string unicodeText(std::size_t count);
    std::size_t nextBoundary() const;

    std::string_view body_;
    const std::vector<std::uint32_t>& continues_;
    std::size_t position_ = 0;
    Biff biff_;
    unsigned codePage_;
};

} // namespace sheet::xls
