// Bounded reading of the parts of a zip container.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct zip;
struct zip_stat;

namespace sheet {

// Caps on inflated sizes; they keep a small hostile file from taking all memory.
struct ReadLimits {
    std::uint64_t maxPartBytes = std::uint64_t{256} << 20;
    std::uint64_t maxTotalBytes = std::uint64_t{1} << 30;
    // Files up to this size are read whole and opened from memory: one read of the file
    // instead of a seek and a read for every part. Larger ones are read part by part.
    std::uint64_t wholeFileBytes = std::uint64_t{32} << 20;
};

class ZipArchive {
public:
    // Throws FileError when the file cannot be opened or is no zip.
    ZipArchive(const std::string& path, const ReadLimits& limits);
    // The same over the file's bytes, already read; the file is read again only when they are
    // no zip libzip takes, so that every failure is named as for the file.
    ZipArchive(const std::string& path, std::string bytes, const ReadLimits& limits);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // Part names without a leading '/', compared without regard to case.
    bool contains(const std::string& part) const;
    // The inflated part; throws FileError when absent, too large, encrypted or corrupt.
    std::string read(const std::string& part);
    const std::string& path() const { return path_; }

private:
    std::int64_t locate(const std::string& part) const;
    // A deflated part of a file held in memory, inflated in one call to its declared size and
    // checked against its CRC; nullopt when it is no such part or anything disagrees, which
    // leaves it to inflateStreamed to read or to name what is wrong.
    std::optional<std::string> inflateWhole(std::int64_t index, const struct zip_stat& stat);
    // The part through libzip's stream, bounded by the limits whatever it declares.
    std::string inflateStreamed(std::int64_t index, const std::string& part,
                                const struct zip_stat& stat);
    // Reads the whole file into bytes_ when it is no larger than `largest`.
    bool readWhole(std::uintmax_t largest);
    // Opens the archive over bytes_; clears them when they are no zip libzip takes.
    bool openBytes();
    // Opens a small file from memory; false leaves the larger or unreadable ones to zip_open,
    // which names what is wrong with them.
    bool openWhole();
    // Opens the file part by part, or throws the FileError saying why it cannot.
    void openFile();
    // Opens the file again with the record counts of its central directory recounted.
    bool openRecounted();

    std::string path_;
    ReadLimits limits_;
    std::uint64_t totalRead_ = 0;
    std::string bytes_; // the file's bytes when the archive is opened from memory
    struct zip* archive_ = nullptr;
};

} // namespace sheet
