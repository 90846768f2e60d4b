#include "sheet/file_bytes.h"

#include <cstdio>
#include <filesystem>
#include <memory>

namespace sheet {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File openForReading(const std::string& path) {
    return File(std::fopen(path.c_str(), "rb"));
}

} // namespace

std::optional<std::string> readFileHead(const std::string& path, std::size_t count) {
    const File file = openForReading(path);
    if (!file)
        return std::nullopt;
    std::string head(count, '\0');
    head.resize(std::fread(head.data(), 1, count, file.get()));
    return head;
}

std::optional<std::string> readWholeFile(const std::string& path, std::uint64_t largest) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > largest)
        return std::nullopt;
    const File file = openForReading(path);
    if (!file)
        return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    // A file that changed size since it was measured is left to a reader that takes it as it is.
    if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() ||
        std::fgetc(file.get()) != EOF)
        return std::nullopt;
    return bytes;
}

} // namespace sheet
