#include "sheet/xls_text.h"

#include <cerrno>
#include <iconv.h>
#include <map>
#include <mutex>

namespace sheet::xls {

namespace {

void appendCodePoint(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

constexpr char32_t kReplacement = 0xFFFD;

const char* iconvNameOf(unsigned codePage) {
    switch (codePage) {
    case 367:
        return "ASCII";
    case 437:
        return "CP437";
    case 850:
        return "CP850";
    case 852:
        return "CP852";
    case 866:
        return "CP866";
    case 874:
        return "CP874";
    case 932:
        return "CP932";
    case 936:
        return "GBK";
    case 949:
        return "CP949";
    case 950:
        return "BIG5";
    case 1250:
    case 1251:
    case 1253:
    case 1254:
    case 1255:
    case 1256:
    case 1257:
    case 1258: {
        static const char* const kNames[] = {"CP1250", "CP1251", "CP1252", "CP1253", "CP1254",
                                             "CP1255", "CP1256", "CP1257", "CP1258"};
        return kNames[codePage - 1250];
    }
    case 1361:
        return "JOHAB";
    case 10000:
    case 32768:
        return "MACINTOSH";
    default:
        return "CP1252";
    }
}

// One converter per code page, shared under a lock: opening iconv is costly next to a cell.
// Keyed by the converter's name, so that the cache stays as small as the list above.
class Converters {
public:
    Converters() = default;
    Converters(const Converters&) = delete;
    Converters& operator=(const Converters&) = delete;
    ~Converters() {
        for (auto& [name, converter] : converters_)
            if (converter != reinterpret_cast<iconv_t>(-1))
                iconv_close(converter);
    }

    std::string decode(std::string_view bytes, unsigned codePage) {
        std::lock_guard lock(mutex_);
        iconv_t converter = converterFor(codePage);
        if (converter == reinterpret_cast<iconv_t>(-1)) {
            std::string out;
            appendLatin1(out, bytes);
            return out;
        }
        return run(converter, bytes);
    }

private:
    iconv_t converterFor(unsigned codePage) {
        const char* name = iconvNameOf(codePage);
        auto found = converters_.find(name);
        if (found == converters_.end())
            found = converters_.emplace(name, iconv_open("UTF-8", name)).first;
        return found->second;
    }

    static std::string run(iconv_t converter, std::string_view bytes) {
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        std::string out;
        char buffer[1024];
        char* in = const_cast<char*>(bytes.data());
        size_t inLeft = bytes.size();
        while (inLeft > 0) {
            char* outPointer = buffer;
            size_t outLeft = sizeof buffer;
            const size_t result = iconv(converter, &in, &inLeft, &outPointer, &outLeft);
            out.append(buffer, static_cast<size_t>(outPointer - buffer));
            if (result != static_cast<size_t>(-1) || errno == E2BIG)
                continue;
            // An invalid or incomplete sequence: mark it and go on after its first byte.
            appendCodePoint(out, kReplacement);
            ++in;
            --inLeft;
            iconv(converter, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

    std::mutex mutex_;
    std::map<std::string, iconv_t> converters_;
};

} // namespace

void appendUtf16(std::string& out, std::string_view bytes) {
    const std::size_t units = bytes.size() / 2;
    auto unitAt = [&](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    };
    for (std::size_t i = 0; i < units; ++i) {
        const char32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units) {
            const char32_t low = unitAt(i + 1);
            if (low >= 0xDC00 && low < 0xE000) {
                appendCodePoint(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        appendCodePoint(out, unit >= 0xD800 && unit < 0xE000 ? kReplacement : unit);
    }
}

void appendLatin1(std::string& out, std::string_view bytes) {
    for (char byte : bytes)
        appendCodePoint(out, static_cast<unsigned char>(byte));
}

std::string decodeCodePage(std::string_view bytes, unsigned codePage) {
    bool ascii = true;
    for (char byte : bytes)
        ascii = ascii && static_cast<unsigned char>(byte) < 0x80;
    if (ascii)
        return std::string(bytes);
    static Converters converters;
    return converters.decode(bytes, codePage);
}

} // namespace sheet::xls
