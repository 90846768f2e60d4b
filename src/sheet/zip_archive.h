// Bounded reading of the parts of a zip container.
#pragma once

#include <cstdint>
#include <string>

struct zip;

namespace sheet {

// Caps on inflated sizes; they keep a small hostile file from taking all memory.
struct ReadLimits {
    std::uint64_t maxPartBytes = std::uint64_t{256} << 20;
    std::uint64_t maxTotalBytes = std::uint64_t{1} << 30;
};

class ZipArchive {
public:
    // Throws FileError when the file cannot be opened or is no zip.
    ZipArchive(const std::string& path, const ReadLimits& limits);
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
    // Opens the file again with the record counts of its central directory recounted.
    bool openRecounted();

    std::string path_;
    ReadLimits limits_;
    std::uint64_t totalRead_ = 0;
    std::string recounted_; // the file's bytes when it is read with its records recounted
    struct zip* archive_ = nullptr;
};

} // namespace sheet
