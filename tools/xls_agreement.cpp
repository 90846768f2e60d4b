// A check kept apart from the tests: varied workbooks are saved as .xls by the office suite,
// then read by this program's .xls reader and compared cell by cell with what the suite itself
// reads from the same .xls (its conversion of the .xls to .xlsx). Prints the share of equal
// cells and the first differences.
//
//   tabrinel-xlsagreement [workbooks] [folder]
#include "form_generator.h"
#include "sheet/a1_reference.h"
#include "sheet/workbook_io.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace sheet;

const char* const kWords[] = {"학교",      "현황",     "교사",          "Seoul", "합계", "\"인용\"",
                              "쉼표,포함", "줄\n바꿈", "  앞뒤 공백  ", "ÄÖü",   "数据", "x"};

std::string randomText(std::mt19937& random, int words) {
    std::string text;
    for (int i = 0; i < words; ++i)
        text += kWords[random() % std::size(kWords)];
    return text;
}

double randomNumber(std::mt19937& random) {
    switch (random() % 6) {
    case 0:
        return static_cast<double>(random() % 1000);
    case 1:
        return -static_cast<double>(random() % 100000) / 7.0;
    case 2:
        return static_cast<double>(random() % 100000) / 100.0;
    case 3:
        return 36526 + static_cast<double>(random() % 20000) + (random() % 1440) / 1440.0;
    case 4:
        return std::ldexp(static_cast<double>(random() % 1000003),
                          static_cast<int>(random() % 60) - 30);
    default:
        return 1e15 + static_cast<double>(random() % 1000);
    }
}

void fillSheet(Worksheet& sheet, std::mt19937& random, long rows, long columns) {
    for (long row = 1; row <= rows; ++row) {
        for (long column = 1; column <= columns; ++column) {
            if (random() % 7 == 0)
                continue;
            Cell& cell = sheet.cellAt(row, column);
            switch (random() % 10) {
            case 0:
            case 1:
            case 2:
                cell.value =
                    CellValue::Text(randomText(random, 1 + static_cast<int>(random() % 4)));
                break;
            case 3:
                cell.value = CellValue::Boolean(random() % 2);
                break;
            default:
                cell.value = CellValue::Number(randomNumber(random));
            }
        }
        // A numeric formula over the row, with its result left for the suite to compute.
        sheet.cellAt(row, columns + 1).formula =
            "SUM(A" + std::to_string(row) + ":" + cellAddressText(row, columns) + ")";
    }
}

std::unique_ptr<Workbook> variedWorkbook(int number) {
    std::mt19937 random(static_cast<unsigned>(number) * 7919u);
    if (number % 4 == 0) {
        tools::FormOptions options;
        options.seed = static_cast<unsigned>(number);
        options.dataRows = 20 + number;
        options.bodyName = "기관" + std::to_string(number);
        return tools::buildForm(options);
    }
    auto book = std::make_unique<Workbook>();
    const int sheets = 1 + number % 3;
    for (int i = 0; i < sheets; ++i) {
        auto sheet = std::make_unique<Worksheet>("시트 " + std::to_string(i + 1));
        fillSheet(*sheet, random, 20 + static_cast<long>(random() % 200),
                  3 + static_cast<long>(random() % 20));
        book->sheets.push_back(std::move(sheet));
    }
    if (number % 5 == 1) {
        // Thousands of distinct long strings: the shared-string table runs over many records.
        auto sheet = std::make_unique<Worksheet>("긴 글");
        for (long row = 1; row <= 3000; ++row)
            sheet->cellAt(row, 1).value =
                CellValue::Text(std::to_string(row) + " " + randomText(random, 12));
        book->sheets.push_back(std::move(sheet));
    }
    return book;
}

bool convert(const std::vector<fs::path>& sources, const std::string& format,
             const fs::path& folder) {
    fs::create_directories(folder);
    std::string command = "soffice -env:UserInstallation=file:///tmp/xlsagreement-" +
                          std::to_string(getpid()) + " --headless --norestore --convert-to " +
                          format + " --outdir '" + folder.string() + "'";
    for (const auto& source : sources)
        command += " '" + source.string() + "'";
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

bool sameValue(const CellValue& a, const CellValue& b) {
    if (a.type != b.type)
        return false;
    if (a.type == CellType::Number)
        return a.number == b.number ||
               std::fabs(a.number - b.number) <= 1e-12 * std::max(1.0, std::fabs(a.number));
    return a == b;
}

std::string shown(const CellValue& value) {
    switch (value.type) {
    case CellType::Empty:
        return "(empty)";
    case CellType::Number: {
        char text[64];
        std::snprintf(text, sizeof text, "%.17g", value.number);
        return text;
    }
    case CellType::Boolean:
        return value.number ? "TRUE" : "FALSE";
    default:
        return "\"" + value.text + "\"";
    }
}

struct Tally {
    long cells = 0, equal = 0, files = 0, read = 0;
    std::vector<std::string> examples;
};

void compareBooks(const Workbook& ours, const Workbook& theirs, const std::string& file,
                  Tally& tally) {
    const std::size_t sheets = std::max(ours.sheets.size(), theirs.sheets.size());
    for (std::size_t i = 0; i < sheets; ++i) {
        static const Worksheet kEmpty("");
        const Worksheet& a = i < ours.sheets.size() ? *ours.sheets[i] : kEmpty;
        const Worksheet& b = i < theirs.sheets.size() ? *theirs.sheets[i] : kEmpty;
        std::vector<std::pair<long, long>> positions;
        for (const Worksheet* sheet : {&a, &b})
            for (const auto& [row, cells] : sheet->rows())
                for (const auto& [column, cell] : cells)
                    if (!cell.value.empty())
                        positions.push_back({row, column});
        std::sort(positions.begin(), positions.end());
        positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
        for (const auto& [row, column] : positions) {
            const Cell* x = a.cell(row, column);
            const Cell* y = b.cell(row, column);
            const CellValue none;
            const CellValue& ourValue = x ? x->value : none;
            const CellValue& theirValue = y ? y->value : none;
            ++tally.cells;
            if (sameValue(ourValue, theirValue)) {
                ++tally.equal;
            } else if (tally.examples.size() < 15) {
                tally.examples.push_back(file + " " + b.name + "!" + cellAddressText(row, column) +
                                         ": " + shown(ourValue) + " vs " + shown(theirValue));
            }
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 40;
    const fs::path folder =
        argc > 2 ? fs::path(argv[2])
                 : fs::temp_directory_path() / ("xlsagreement-" + std::to_string(getpid()));
    std::vector<fs::path> sources;
    for (int i = 1; i <= count; ++i) {
        sources.push_back(folder / "made" / ("통합문서" + std::to_string(i) + ".xlsx"));
        fs::create_directories(sources.back().parent_path());
        writeWorkbook(*variedWorkbook(i), sources.back().string());
    }
    if (!convert(sources, "xls", folder / "xls")) {
        std::fprintf(stderr, "the office suite could not convert the workbooks\n");
        return 1;
    }
    std::vector<fs::path> saved;
    for (const auto& source : sources)
        saved.push_back(folder / "xls" / source.filename().replace_extension(".xls"));
    if (!convert(saved, "xlsx", folder / "suite")) {
        std::fprintf(stderr, "the office suite could not read its .xls files back\n");
        return 1;
    }
    Tally tally;
    for (const auto& xls : saved) {
        ++tally.files;
        try {
            const auto ours = readWorkbook(xls.string());
            ++tally.read;
            const auto theirs = readWorkbook(
                (folder / "suite" / xls.filename().replace_extension(".xlsx")).string());
            compareBooks(*ours, *theirs, xls.filename().string(), tally);
        } catch (const std::exception& error) {
            std::printf("not read: %s\n", error.what());
        }
    }
    std::printf("files read: %ld of %ld\n", tally.read, tally.files);
    std::printf("cells equal: %ld of %ld (%.2f%%)\n", tally.equal, tally.cells,
                tally.cells ? 100.0 * tally.equal / tally.cells : 100.0);
    for (const std::string& line : tally.examples)
        std::printf("  %s\n", line.c_str());
    return 0;
}
