// The zip container of a written workbook: parts go in as whole texts or as sources that
// produce their bytes piece by piece while the archive is compressed, so that a sheet is never
// held whole in memory nor written to a temporary file.
#pragma once

#include "sheet/parallel_deflate.h"

#include <exception>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

typedef struct zip zip_t;

namespace sheet {

// Produces a part's bytes in order; each call appends the next piece to `out` and returns
// false once the part is complete. May throw: the write then fails with that exception.
// It is called on a thread of the writer's own while earlier pieces are compressed,
// so it must read only what stays unchanged until close() returns.
class PartSource {
public:
    virtual ~PartSource() = default;
    virtual bool produce(std::string& out) = 0;
};

class PackageWriter {
public:
    // Creates the package at `file`; errors name `reportedPath`. `deflateLevel` is zlib's 1..9.
    // `beforePart`, when set, is called as each part starts being written and may throw.
    PackageWriter(const std::string& file, const std::string& reportedPath, int deflateLevel,
                  std::function<void(std::string_view part)> beforePart = {});
    ~PackageWriter();
    PackageWriter(const PackageWriter&) = delete;
    PackageWriter& operator=(const PackageWriter&) = delete;

    void add(const std::string& name, std::string bytes);
    void add(const std::string& name, std::unique_ptr<PartSource> source);
    // Compresses and writes every part in the order added. Throws FileError, or the exception
    // a source threw; the file is then not written.
    void close();

    struct Feed; // what the archive pulls one streamed part through

private:
    void setCompression(long long index, const std::string& name);
    [[noreturn]] void fail(const std::string& reason);

    zip_t* archive_ = nullptr;
    std::string reportedPath_;
    int deflateLevel_;
    std::function<void(std::string_view)> beforePart_;
    std::list<std::string> texts_;             // alive until the archive is closed
    std::unique_ptr<ParallelDeflate> deflate_; // of streamed parts, made with the first
    std::vector<std::unique_ptr<Feed>> feeds_;
    std::exception_ptr failure_;
};

} // namespace sheet
