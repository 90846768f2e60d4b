// tabrinel-fuzzseeds: the seed corpora of the fuzz targets, made from the shipped examples.
//
//   tabrinel-fuzzseeds PROGRAM_FOLDER SEEDS_FOLDER
//
// Writes SEEDS_FOLDER/<target>/ for every target: whole example workbooks, their worksheet,
// shared-string and style parts (behind the byte that chooses the part), the example project
// files, and reference texts.
#include "fuzz_support.h"
#include "sheet/workbook_io.h"
#include "sheet/zip_archive.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

void writeSeed(const fs::path& folder, const std::string& name, const std::string& bytes) {
    fs::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<fs::path> filesEndingIn(const fs::path& folder, const std::string& extension) {
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error))
        if (it->is_regular_file() && it->path().extension() == extension)
            files.push_back(it->path());
    return files;
}

void partSeeds(const fs::path& workbook, const fs::path& folder, int number) {
    static const char* kParts[] = {"xl/worksheets/sheet1.xml", "xl/sharedStrings.xml",
                                   "xl/styles.xml"};
    try {
        sheet::ZipArchive zip(workbook.string(), {});
        for (int part = 0; part < 3; ++part)
            if (zip.contains(kParts[part]))
                writeSeed(folder, std::to_string(number) + "-" + std::to_string(part),
                          std::string(1, static_cast<char>(part)) + zip.read(kParts[part]));
    } catch (const sheet::FileError& error) {
        std::fprintf(stderr, "%s\n", error.what());
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tabrinel-fuzzseeds PROGRAM_FOLDER SEEDS_FOLDER\n");
        return 2;
    }
    const fs::path program = argv[1];
    const fs::path seeds = argv[2];

    // Two workbooks of each example folder are plenty; the rest repeat their layout.
    int number = 0;
    for (const fs::path& workbook : filesEndingIn(program / "Example", ".xlsx")) {
        if (workbook.stem().string().back() > '2')
            continue;
        writeSeed(seeds / "xlsx_open_fuzz", std::to_string(number), readAll(workbook));
        partSeeds(workbook, seeds / "xlsx_parts_fuzz", number);
        ++number;
    }
    const std::string sound = fuzz::zipBytes(fuzz::soundWorkbook());
    writeSeed(seeds / "xlsx_open_fuzz", "sound", sound);
    const fuzz::Parts soundParts = fuzz::soundWorkbook();
    const char* partNames[] = {"xl/worksheets/sheet1.xml", "xl/sharedStrings.xml", "xl/styles.xml"};
    for (int part = 0; part < 3; ++part)
        writeSeed(seeds / "xlsx_parts_fuzz", "sound-" + std::to_string(part),
                  std::string(1, static_cast<char>(part)) + soundParts.at(partNames[part]));

    for (const fs::path& project : filesEndingIn(program / "Project", ".tbn"))
        writeSeed(seeds / "project_file_fuzz", project.filename().string(), readAll(project));

    const char* references[] = {
        "A1",         "$B$12",    "XFD1048576", "A1:P6",          "c7:p16",          "IV7",
        "AA0",        "A1:",      ":B3",        "SUM(A1:B2)+$C3", "'시트 2'!A1*B$2", "\"A1\"&B1",
        "Sheet1!A:A", "1:1048576"};
    number = 0;
    for (const char* reference : references)
        writeSeed(seeds / "cell_reference_fuzz", std::to_string(number++), reference);
    return 0;
}
