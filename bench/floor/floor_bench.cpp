// The floor of any consolidation: only inflating every worksheet part of every workbook of a
// folder and parsing its XML, with nothing built from it. bench/run sets the batch runner's
// times against it.
//
//   tabrinel-floor FOLDER
//
// Files are read as the program reads them: each whole with one read and opened from memory,
// with the local time zone read once and freed memory kept for reuse.
#include "sheet/file_bytes.h"
#include "sheet/local_time_zone.h"
#include "sheet/memory_release.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <vector>
#include <zip.h>

namespace {

bool isSheetPart(const std::string& name) {
    return name.starts_with("xl/worksheets/") && name.ends_with(".xml") &&
           name.find('/', 14) == std::string::npos;
}

// The number of <c> elements parsed, so the work cannot be skipped; -1 when the file fails.
long parseWorkbook(const std::filesystem::path& path) {
    const std::optional<std::string> bytes = sheet::readWholeFile(path.string(), 1 << 30);
    if (!bytes)
        return -1;
    zip_source_t* source = zip_source_buffer_create(bytes->data(), bytes->size(), 0, nullptr);
    zip_t* archive = source ? zip_open_from_source(source, ZIP_RDONLY, nullptr) : nullptr;
    if (!archive) {
        zip_source_free(source);
        return -1;
    }
    long cells = 0;
    std::vector<char> buffer;
    const zip_int64_t entries = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < entries; ++i) {
        zip_stat_t stat;
        if (zip_stat_index(archive, i, 0, &stat) != 0 || !isSheetPart(stat.name))
            continue;
        zip_file_t* file = zip_fopen_index(archive, i, 0);
        if (!file)
            continue;
        buffer.resize(stat.size);
        const zip_int64_t read = zip_fread(file, buffer.data(), stat.size);
        zip_fclose(file);
        if (read != static_cast<zip_int64_t>(stat.size))
            continue;
        pugi::xml_document document;
        if (!document.load_buffer_inplace(buffer.data(), buffer.size()))
            continue;
        for (pugi::xml_node row : document.child("worksheet").child("sheetData").children("row"))
            cells += std::distance(row.children("c").begin(), row.children("c").end());
    }
    zip_close(archive);
    return cells;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("사용법: tabrinel-floor 폴더\n", stderr);
        return 2;
    }
    sheet::readLocalTimeZoneOnce();
    sheet::keepFreedMemoryForReuse();
    std::vector<std::filesystem::path> workbooks;
    for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
        if (entry.is_regular_file() && entry.path().extension() == ".xlsx")
            workbooks.push_back(entry.path());
    }
    std::sort(workbooks.begin(), workbooks.end());
    long cells = 0;
    for (const auto& path : workbooks) {
        const long parsed = parseWorkbook(path);
        if (parsed < 0) {
            std::fprintf(stderr, "%s: 열 수 없습니다\n", path.c_str());
            return 1;
        }
        cells += parsed;
    }
    std::printf("%zu workbooks, %ld cells\n", workbooks.size(), cells);
    return 0;
}
