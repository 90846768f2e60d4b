// Writing one large result workbook (the size method B makes of 1000 forms) at deflate levels
// 1, 6 and 9, with text shared or inline: seconds (best of three) and file size.
//
//   xlsx_write_bench [ROWS]     data rows of the workbook (default 61000)
#include "form_generator.h"
#include "sheet/xlsx_writer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Variant {
    const char* name;
    int level;
    bool sharedStrings;
};

} // namespace

int main(int argc, char** argv) {
    const int rows = argc > 1 ? std::max(1, std::atoi(argv[1])) : 61000;
    tools::FormOptions options;
    options.dataRows = rows;
    options.bodyName = "결과";
    const auto workbook = tools::buildForm(options);
    const fs::path folder =
        fs::temp_directory_path() / ("xlsx_write_bench-" + std::to_string(getpid()));
    fs::create_directories(folder);

    const Variant variants[] = {{"level 1, shared strings", 1, true},
                                {"level 6, shared strings", 6, true},
                                {"level 9, shared strings", 9, true},
                                {"level 1, inline strings", 1, false},
                                {"level 6, inline strings", 6, false}};
    std::printf("workbook: %d data rows x %d columns, styled\n", rows, options.columns);
    std::printf("%-26s %10s %12s\n", "variant", "seconds", "size (KB)");
    try {
        for (const Variant& variant : variants) {
            sheet::XlsxWriteOptions writeOptions;
            writeOptions.deflateLevel = variant.level;
            writeOptions.sharedStrings = variant.sharedStrings;
            const std::string path = (folder / "result.xlsx").string();
            double best = 1e9;
            for (int run = 0; run < 3; ++run) {
                const auto start = Clock::now();
                sheet::writeXlsx(*workbook, path, writeOptions);
                best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
            }
            std::printf("%-26s %10.3f %12.0f\n", variant.name, best,
                        static_cast<double>(fs::file_size(path)) / 1024);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        fs::remove_all(folder);
        return 1;
    }
    fs::remove_all(folder);
    return 0;
}
