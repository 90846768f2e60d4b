#include "sheet/xls_records.h"

#include "sheet/xls_text.h"

#include <cstring>

namespace sheet::xls {

namespace {

constexpr std::uint16_t kContinue = 0x003C;

std::uint16_t read16(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      static_cast<unsigned char>(bytes[at + 1]) << 8);
}

} // namespace

RecordStream::RecordStream(std::string_view stream, std::size_t offset)
    : stream_(stream), offset_(offset) {}

bool RecordStream::next(Record& record) {
    if (offset_ >= stream_.size())
        return false;
    if (stream_.size() - offset_ < 4)
        throw Truncated();
    const auto readBody = [this](std::size_t at) {
        const std::size_t length = read16(stream_, at + 2);
        if (stream_.size() - at - 4 < length)
            throw Truncated();
        return stream_.substr(at + 4, length);
    };
    record.type = read16(stream_, offset_);
    record.offset = offset_;
    record.body = readBody(offset_);
    record.continues.clear();
    offset_ += 4 + record.body.size();

    bool joining = false;
    while (stream_.size() - offset_ >= 4 && read16(stream_, offset_) == kContinue) {
        const std::string_view part = readBody(offset_);
        if (!joining) {
            joined_.assign(record.body);
            joining = true;
        }
        record.continues.push_back(static_cast<std::uint32_t>(joined_.size()));
        joined_.append(part);
        offset_ += 4 + part.size();
    }
    if (joining)
        record.body = joined_;
    return true;
}

std::uint8_t Cursor::u8() {
    if (remaining() < 1)
        throw Truncated();
    return static_cast<std::uint8_t>(body_[position_++]);
}

std::uint16_t Cursor::u16() {
    if (remaining() < 2)
        throw Truncated();
    const std::uint16_t value = read16(body_, position_);
    position_ += 2;
    return value;
}

std::uint32_t Cursor::u32() {
    const std::uint32_t low = u16();
    return low | static_cast<std::uint32_t>(u16()) << 16;
}

double Cursor::f64() {
    const std::string_view raw = bytes(8);
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = bits << 8 | static_cast<unsigned char>(raw[static_cast<std::size_t>(i)]);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void Cursor::skip(std::size_t count) {
    bytes(count);
}

std::string_view Cursor::bytes(std::size_t count) {
    if (remaining() < count)
        throw Truncated();
    const std::string_view out = body_.substr(position_, count);
    position_ += count;
    return out;
}

std::string Cursor::text16() {
    const std::size_t count = u16();
    return biff_ == Biff::V8 ? unicodeText(count) : codePageText(count);
}

std::string Cursor::text8() {
    const std::size_t count = u8();
    return biff_ == Biff::V8 ? unicodeText(count) : codePageText(count);
}

std::string Cursor::unicodeText(std::size_t count) {
    const std::uint8_t options = u8();
    std::size_t runs = 0;
    std::size_t phonetic = 0;
    if (options & 0x08)
        runs = u16();
    if (options & 0x04)
        phonetic = u32();
    std::string text = characters(count, options & 0x01);
    skip(runs * 4);
    skip(phonetic);
    return text;
}

std::size_t Cursor::nextBoundary() const {
    for (std::uint32_t boundary : continues_)
        if (boundary > position_)
            return boundary;
    return body_.size();
}

std::string Cursor::characters(std::size_t count, bool wide) {
    std::string text;
    while (count > 0) {
        const std::size_t width = wide ? 2 : 1;
        const std::size_t boundary = nextBoundary();
        const std::size_t take = std::min(count, (boundary - position_) / width);
        const std::string_view raw = bytes(take * width);
        if (wide)
            appendUtf16(text, raw);
        else
            appendLatin1(text, raw);
        count -= take;
        if (count == 0)
            break;
        // The characters go on in the next CONTINUE record, which opens with its own option byte.
        if (position_ != boundary || boundary == body_.size())
            throw Truncated();
        wide = u8() & 0x01;
    }
    return text;
}

std::string Cursor::codePageText(std::size_t count) {
    return decodeCodePage(bytes(count), codePage_);
}

std::optional<std::string> errorValueOf(unsigned code) {
    switch (code) {
    case 0x00:
        return "#NULL!";
    case 0x07:
        return "#DIV/0!";
    case 0x0F:
        return "#VALUE!";
    case 0x17:
        return "#REF!";
    case 0x1D:
        return "#NAME?";
    case 0x24:
        return "#NUM!";
    case 0x2A:
        return "#N/A";
    default:
        return std::nullopt;
    }
}

} // namespace sheet::xls
