// tabrinel-makeforms: writes N workbooks of the report form into a folder.
//
//   tabrinel-makeforms OUTDIR [--count N] [--rows R] [--vary] [--columns C] [--sheet NAME]
//                             [--prefix TEXT] [--seed S]
//
// --vary gives every workbook its own number of data rows (between 1 and R), as the forms of
// bodies with more or fewer classes would have.
#include "form_generator.h"
#include "sheet/workbook_io.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct Arguments {
    std::string folder;
    int count = 12;
    int rows = 10;
    int columns = 16;
    bool vary = false;
    std::string sheet = "현황";
    std::string prefix = "학교";
    unsigned seed = 1;
};

const char* kUsage = "사용법: tabrinel-makeforms 폴더 [--count N] [--rows R] [--vary] "
                     "[--columns C] [--sheet 시트명] [--prefix 이름] [--seed S]\n";

bool parse(int argc, char** argv, Arguments& args) {
    std::vector<std::string> words(argv + 1, argv + argc);
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        const bool hasValue = i + 1 < words.size();
        if (word == "--vary")
            args.vary = true;
        else if (word == "--count" && hasValue)
            args.count = std::atoi(words[++i].c_str());
        else if (word == "--rows" && hasValue)
            args.rows = std::atoi(words[++i].c_str());
        else if (word == "--columns" && hasValue)
            args.columns = std::atoi(words[++i].c_str());
        else if (word == "--sheet" && hasValue)
            args.sheet = words[++i];
        else if (word == "--prefix" && hasValue)
            args.prefix = words[++i];
        else if (word == "--seed" && hasValue)
            args.seed = static_cast<unsigned>(std::atoi(words[++i].c_str()));
        else if (!word.starts_with("--") && args.folder.empty())
            args.folder = word;
        else
            return false;
    }
    return !args.folder.empty() && args.count > 0 && args.rows > 0 && args.columns >= 4 &&
           args.columns <= 256;
}

std::string numbered(const std::string& prefix, int index, int count) {
    std::string digits = std::to_string(index);
    const size_t width = std::to_string(count).size();
    return prefix + std::string(width - std::min(width, digits.size()), '0') + digits;
}

} // namespace

int main(int argc, char** argv) {
    Arguments args;
    if (!parse(argc, argv, args)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::filesystem::create_directories(args.folder);
    for (int i = 1; i <= args.count; ++i) {
        tools::FormOptions options;
        options.sheetName = args.sheet;
        options.bodyName = numbered(args.prefix, i, args.count);
        options.columns = args.columns;
        options.seed = args.seed * 7919u + static_cast<unsigned>(i);
        options.dataRows = args.vary ? 1 + static_cast<int>(options.seed % args.rows) : args.rows;
        const auto path = std::filesystem::path(args.folder) / (options.bodyName + ".xlsx");
        try {
            sheet::writeWorkbook(*tools::buildForm(options), path.string());
        } catch (const sheet::FileError& error) {
            std::fprintf(stderr, "%s\n", error.what());
            return 1;
        }
    }
    return 0;
}
