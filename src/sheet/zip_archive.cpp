#include "sheet/zip_archive.h"

#include "sheet/file_error.h"
#include "sheet/io_messages.h"

#include <memory>
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

struct ZipFileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

} // namespace

ZipArchive::ZipArchive(const std::string& path, const ReadLimits& limits)
    : path_(path), limits_(limits) {
    int code = 0;
    archive_ = zip_open(path.c_str(), ZIP_RDONLY, &code);
    if (archive_)
        return;
    switch (code) {
    case ZIP_ER_NOZIP:
        throwFileError(path_, io_messages::kNotWorkbook);
    case ZIP_ER_OPEN:
    case ZIP_ER_READ:
    case ZIP_ER_NOENT:
        throwFileError(path_, io_messages::kCannotOpen, zipErrorText(code));
    default:
        throwFileError(path_, io_messages::kCorruptZip, zipErrorText(code));
    }
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
    if (zip_stat_index(archive_, static_cast<zip_uint64_t>(index), 0, &stat) == 0 &&
        (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE)
        throwFileError(path_, io_messages::kEncrypted);

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
