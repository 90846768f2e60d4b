#include "sheet/zip_archive.h"

#include "sheet/file_bytes.h"
#include "sheet/file_error.h"
#include "sheet/io_messages.h"

#include <algorithm>
#include <libdeflate.h>
#include <memory>
#include <optional>
#include <zip.h>

namespace sheet {

namespace {

std::string zipErrorText(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

std::string withoutLeadingSlash(const std::string& part) {
    return !part.empty() && part.front() == '/' ? part.substr(1) : part;
}

unsigned little16(const std::string& bytes, size_t at) {
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

std::uint32_t little32(const std::string& bytes, size_t at) {
    return little16(bytes, at) | static_cast<std::uint32_t>(little16(bytes, at + 2)) << 16;
}

constexpr size_t kEndRecordSize = 22;
constexpr size_t kDirectoryRecordSize = 46;

// The offset of the end-of-central-directory record, searched back over a comment.
std::optional<size_t> endRecordOf(const std::string& bytes) {
    if (bytes.size() < kEndRecordSize)
        return std::nullopt;
    const size_t last = bytes.size() - kEndRecordSize;
    const size_t first = last > 0xFFFF ? last - 0xFFFF : 0;
    for (size_t at = last + 1; at-- > first;)
        if (bytes.compare(at, 4, "PK\x05\x06") == 0)
            return at;
    return std::nullopt;
}

// Writers get the record counts of the end record wrong while the directory itself is sound;
// other readers count the records. Returns false when the directory is no such sound one.
bool recountDirectory(std::string& bytes) {
    const auto end = endRecordOf(bytes);
    if (!end)
        return false;
    const std::uint64_t size = little32(bytes, *end + 12);
    const std::uint64_t offset = little32(bytes, *end + 16);
    if (offset + size > *end)
        return false;
    size_t at = static_cast<size_t>(offset);
    const size_t stop = static_cast<size_t>(offset + size);
    unsigned count = 0;
    while (at + kDirectoryRecordSize <= stop && bytes.compare(at, 4, "PK\x01\x02") == 0) {
        at += kDirectoryRecordSize + little16(bytes, at + 28) + little16(bytes, at + 30) +
              little16(bytes, at + 32);
        if (++count > 0xFFFF)
            return false;
    }
    if (at != stop || count == 0)
        return false;
    for (size_t field : {*end + 8, *end + 10}) {
        bytes[field] = static_cast<char>(count & 0xFF);
        bytes[field + 1] = static_cast<char>(count >> 8);
    }
    return true;
}

bool beginsAsZip(const std::string& path) {
    const std::optional<std::string> head = readFileHead(path, 4);
    return head && *head == std::string_view("PK\x03\x04", 4);
}

struct ZipFileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

// Deflate never makes data smaller than this fraction of what it inflates to; a declared size
// past it is a lie, and nothing is set aside for it.
constexpr std::uint64_t kMostInflation = 1032;

struct DecompressorFree {
    void operator()(libdeflate_decompressor* decompressor) const {
        libdeflate_free_decompressor(decompressor);
    }
};

// One per thread: workbooks are read on several at once.
libdeflate_decompressor* threadDecompressor() {
    thread_local std::unique_ptr<libdeflate_decompressor, DecompressorFree> decompressor(
        libdeflate_alloc_decompressor());
    return decompressor.get();
}

bool describesDeflatedPart(const zip_stat_t& stat) {
    constexpr zip_uint64_t kNeeded =
        ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC;
    return (stat.valid & kNeeded) == kNeeded && stat.comp_method == ZIP_CM_DEFLATE &&
           stat.comp_size > 0 && stat.size <= stat.comp_size * kMostInflation;
}

} // namespace

ZipArchive::ZipArchive(const std::string& path, const ReadLimits& limits)
    : path_(path), limits_(limits) {
    if (!openWhole())
        openFile();
}

ZipArchive::ZipArchive(const std::string& path, std::string bytes, const ReadLimits& limits)
    : path_(path), limits_(limits), bytes_(std::move(bytes)) {
    if (bytes_.size() > limits_.maxTotalBytes)
        bytes_.clear();
    if (bytes_.empty() || !openBytes())
        openFile();
}

void ZipArchive::openFile() {
    int code = 0;
    archive_ = zip_open(path_.c_str(), ZIP_RDONLY, &code);
    if (archive_)
        return;
    if ((code == ZIP_ER_INCONS || code == ZIP_ER_NOZIP) && openRecounted())
        return;
    switch (code) {
    case ZIP_ER_NOZIP:
        // A file that begins as a zip and has no directory at its end was cut short.
        throwFileError(path_,
                       beginsAsZip(path_) ? io_messages::kCorruptZip : io_messages::kNotWorkbook);
    case ZIP_ER_OPEN:
    case ZIP_ER_READ:
    case ZIP_ER_NOENT:
        throwFileError(path_, io_messages::kCannotOpen, zipErrorText(code));
    default:
        throwFileError(path_, io_messages::kCorruptZip, zipErrorText(code));
    }
}

bool ZipArchive::readWhole(std::uintmax_t largest) {
    std::optional<std::string> bytes = readWholeFile(path_, largest);
    if (!bytes)
        return false;
    bytes_ = std::move(*bytes);
    return true;
}

bool ZipArchive::openBytes() {
    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t* source = zip_source_buffer_create(bytes_.data(), bytes_.size(), 0, &zipError);
    if (source)
        archive_ = zip_open_from_source(source, ZIP_RDONLY, &zipError);
    if (source && !archive_)
        zip_source_free(source);
    zip_error_fini(&zipError);
    if (!archive_)
        bytes_.clear();
    return archive_ != nullptr;
}

bool ZipArchive::openWhole() {
    return readWhole(std::min(limits_.wholeFileBytes, limits_.maxTotalBytes)) && openBytes();
}

bool ZipArchive::openRecounted() {
    if (!readWhole(limits_.maxTotalBytes))
        return false;
    if (!recountDirectory(bytes_)) {
        bytes_.clear();
        return false;
    }
    return openBytes();
}

ZipArchive::~ZipArchive() {
    if (archive_)
        zip_discard(archive_);
}

std::int64_t ZipArchive::locate(const std::string& part) const {
    const std::string name = withoutLeadingSlash(part);
    std::int64_t index = zip_name_locate(archive_, name.c_str(), ZIP_FL_ENC_GUESS);
    if (index < 0)
        index = zip_name_locate(archive_, name.c_str(), ZIP_FL_NOCASE | ZIP_FL_ENC_GUESS);
    return index;
}

bool ZipArchive::contains(const std::string& part) const {
    return locate(part) >= 0;
}

std::string ZipArchive::read(const std::string& part) {
    const std::int64_t index = locate(part);
    if (index < 0)
        throwFileError(path_, io_messages::kMissingPart, part);

    zip_stat_t stat;
    zip_stat_init(&stat);
    const bool stated = zip_stat_index(archive_, static_cast<zip_uint64_t>(index), 0, &stat) == 0;
    if (stated && (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) &&
        stat.encryption_method != ZIP_EM_NONE)
        throwFileError(path_, io_messages::kEncrypted);

    if (stated && !bytes_.empty()) {
        if (std::optional<std::string> data = inflateWhole(index, stat))
            return std::move(*data);
    }
    return inflateStreamed(index, part, stat);
}

std::optional<std::string> ZipArchive::inflateWhole(std::int64_t index, const zip_stat_t& stat) {
    if (!describesDeflatedPart(stat) || stat.comp_size > bytes_.size() ||
        stat.size > limits_.maxPartBytes || totalRead_ + stat.size > limits_.maxTotalBytes)
        return std::nullopt;
    libdeflate_decompressor* decompressor = threadDecompressor();
    if (!decompressor)
        return std::nullopt;
    std::unique_ptr<zip_file_t, ZipFileCloser> raw(
        zip_fopen_index(archive_, static_cast<zip_uint64_t>(index), ZIP_FL_COMPRESSED));
    if (!raw)
        return std::nullopt;
    const auto deflatedSize = static_cast<size_t>(stat.comp_size);
    const auto deflated = std::make_unique_for_overwrite<char[]>(deflatedSize);
    if (zip_fread(raw.get(), deflated.get(), stat.comp_size) !=
        static_cast<zip_int64_t>(stat.comp_size))
        return std::nullopt;

    // Left uninitialised: a part that only states a large size costs no more than the memory
    // its data really fills, as when libzip's stream reads it. (Zeroed, forty parts of a small
    // file each stating 150 MB took 23 s to read.)
    const auto size = static_cast<size_t>(stat.size);
    const auto data = std::make_unique_for_overwrite<char[]>(size);
    // Without a count of the bytes written, anything but exactly the declared size fails.
    if (libdeflate_deflate_decompress(decompressor, deflated.get(), deflatedSize, data.get(), size,
                                      nullptr) != LIBDEFLATE_SUCCESS ||
        libdeflate_crc32(0, data.get(), size) != stat.crc)
        return std::nullopt;
    totalRead_ += stat.size;
    return std::string(data.get(), size);
}

std::string ZipArchive::inflateStreamed(std::int64_t index, const std::string& part,
                                        const zip_stat_t& stat) {
    std::unique_ptr<zip_file_t, ZipFileCloser> file(
        zip_fopen_index(archive_, static_cast<zip_uint64_t>(index), 0));
    if (!file)
        throwFileError(path_, io_messages::kCorruptZip,
                       part + ": " + zip_error_strerror(zip_get_error(archive_)));

    std::string data;
    // The declared size is only a hint: a hostile file may state less than it inflates to.
    if ((stat.valid & ZIP_STAT_SIZE) && stat.size <= limits_.maxPartBytes)
        data.reserve(static_cast<size_t>(stat.size));
    char chunk[1 << 16];
    for (;;) {
        const zip_int64_t got = zip_fread(file.get(), chunk, sizeof chunk);
        if (got < 0)
            throwFileError(path_, io_messages::kCorruptZip,
                           part + ": " + zip_file_strerror(file.get()));
        if (got == 0)
            break;
        const auto size = static_cast<std::uint64_t>(got);
        if (data.size() + size > limits_.maxPartBytes)
            throwFileError(path_, io_messages::kPartTooLarge,
                           part + ", " + std::to_string(limits_.maxPartBytes >> 20) + " MB");
        totalRead_ += size;
        if (totalRead_ > limits_.maxTotalBytes)
            throwFileError(path_, io_messages::kFileTooLarge,
                           std::to_string(limits_.maxTotalBytes >> 20) + " MB");
        data.append(chunk, static_cast<size_t>(size));
    }
    return data;
}

} // namespace sheet
