// Reads and writes many copies of a Korean reporting form and prints workbooks per second
// for each direction and the peak memory of the process. When the office suite is installed,
// it also reads one form saved by the suite as .xls and as .xlsx, and measures the memory of
// reading a small .xls whose eight sheets each declare the whole sheet (A1 and IV65536 set).
//
//   sheet_io_bench [count] [folder]
//   sheet_io_bench --memory FILE   (reads FILE and prints the peak memory of that alone)
#include "sheet/workbook_io.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr long kDataRows = 50;
constexpr long kColumns = 16;
constexpr long kFirstDataRow = 4;

struct FormStyles {
    int title, header, text, count, ratio, date;
};

FormStyles addStyles(sheet::Workbook& workbook) {
    sheet::Style base;
    base.font.name = "맑은 고딕";
    base.font.size = 10;
    for (sheet::BorderSide* side :
         {&base.border.left, &base.border.right, &base.border.top, &base.border.bottom})
        *side = sheet::BorderSide{"thin", 0x000000};
    base.alignment.vertical = "center";

    sheet::Style title = base;
    title.font.size = 16;
    title.font.bold = true;
    title.border = sheet::Border{};
    title.alignment.horizontal = "center";
    sheet::Style header = base;
    header.font.bold = true;
    header.fill = sheet::Fill{"solid", 0xDDEBF7, std::nullopt};
    header.alignment.horizontal = "center";
    header.alignment.wrap = true;
    sheet::Style count = base;
    count.numberFormatId = 3; // #,##0
    sheet::Style ratio = base;
    ratio.numberFormatId = 164;
    ratio.numberFormatCode = "0.0%";
    sheet::Style date = base;
    date.numberFormatId = 165;
    date.numberFormatCode = "yyyy-mm-dd";
    return FormStyles{workbook.styles.intern(title), workbook.styles.intern(header),
                      workbook.styles.intern(base),  workbook.styles.intern(count),
                      workbook.styles.intern(ratio), workbook.styles.intern(date)};
}

std::unique_ptr<sheet::Workbook> koreanForm(int school) {
    auto workbook = std::make_unique<sheet::Workbook>();
    const FormStyles styles = addStyles(*workbook);
    auto sheet = std::make_unique<sheet::Worksheet>("학교현황");
    sheet->cellAt(1, 1) =
        sheet::Cell{sheet::CellValue::Text("2024학년도 학교별 운영 현황 보고"), "", styles.title};
    sheet->merges.push_back(sheet::CellRect{1, 1, 1, kColumns});
    sheet->rowHeights[1] = 30;
    sheet->cellAt(2, 1).value =
        sheet::CellValue::Text("학교명: 한빛" + std::to_string(school) + "초등학교");
    for (long column = 1; column <= kColumns; ++column) {
        sheet->cellAt(3, column) = sheet::Cell{
            sheet::CellValue::Text("항목 " + std::to_string(column) + " (명)"), "", styles.header};
        sheet->columnWidths[column] = column == 1 ? 14 : 10;
    }
    for (long row = kFirstDataRow; row < kFirstDataRow + kDataRows; ++row) {
        const long index = row - kFirstDataRow + 1;
        sheet->cellAt(row, 1) =
            sheet::Cell{sheet::CellValue::Text(std::to_string(index) + "학년 " +
                                               std::to_string(school % 9 + 1) + "반"),
                        "", styles.text};
        sheet->cellAt(row, 2) =
            sheet::Cell{sheet::CellValue::Number(45292 + index), "", styles.date};
        for (long column = 3; column < kColumns; ++column)
            sheet->cellAt(row, column) = sheet::Cell{sheet::CellValue::Number(static_cast<double>(
                                                         (school * 31 + row * 7 + column) % 500)),
                                                     "", styles.count};
        const double total = 1234.0 + index;
        sheet->cellAt(row, kColumns) =
            sheet::Cell{sheet::CellValue::Number(total / 5000), "", styles.ratio};
    }
    sheet->pageSetup.orientation = 2;
    sheet->pageSetup.fitToPages = true;
    sheet->pageSetup.fitHeight = 0;
    sheet->zoom = 85;
    workbook->sheets.push_back(std::move(sheet));
    return workbook;
}

std::string machine() {
    std::ifstream cpu("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpu, line))
        if (line.rfind("model name", 0) == 0)
            return line.substr(line.find(':') + 2) + ", " +
                   std::to_string(sysconf(_SC_NPROCESSORS_ONLN)) + " cores";
    return std::to_string(sysconf(_SC_NPROCESSORS_ONLN)) + " cores";
}

double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

bool officeSuiteInstalled() {
    return std::system("command -v soffice >/dev/null 2>&1") == 0;
}

// Converts `source` with the office suite into `folder`; the converted file's path or "".
fs::path convert(const fs::path& source, const std::string& format, const fs::path& folder) {
    const std::string command = "soffice -env:UserInstallation=file:///tmp/sheet_io_bench-" +
                                std::to_string(getpid()) + " --headless --norestore --convert-to " +
                                format + " --outdir '" + folder.string() + "' '" + source.string() +
                                "' >/dev/null 2>&1";
    fs::path out = folder / source.filename();
    out.replace_extension("." + format);
    if (std::system(command.c_str()) != 0 || !fs::exists(out))
        return {};
    return out;
}

double readsPerSecond(const fs::path& file, int count) {
    const auto start = Clock::now();
    for (int i = 0; i < count; ++i)
        sheet::readWorkbook(file.string());
    return count / seconds(start);
}

// The same form read as .xls and as .xlsx, both saved by the office suite.
void compareFormats(const fs::path& form, int count, const fs::path& folder) {
    const fs::path xls = convert(form, "xls", folder / "office-xls");
    const fs::path xlsx = convert(form, "xlsx", folder / "office-xlsx");
    if (xls.empty() || xlsx.empty()) {
        std::printf("office suite: conversion failed, .xls figures left out\n");
        return;
    }
    std::printf("read .xls:  %.1f workbooks/s (%ju bytes, saved by the office suite)\n",
                readsPerSecond(xls, count), static_cast<std::uintmax_t>(fs::file_size(xls)));
    std::printf("read .xlsx: %.1f workbooks/s (%ju bytes, the same form, same writer)\n",
                readsPerSecond(xlsx, count), static_cast<std::uintmax_t>(fs::file_size(xlsx)));
}

// Eight sheets, each with a value in A1 and in IV65536: files declaring the whole legacy sheet.
void measureSparseXls(const char* self, const fs::path& folder) {
    sheet::Workbook workbook;
    for (int i = 1; i <= 8; ++i) {
        auto sheet = std::make_unique<sheet::Worksheet>("Sheet" + std::to_string(i));
        sheet->cellAt(1, 1).value = sheet::CellValue::Number(i);
        sheet->cellAt(65536, 256).value = sheet::CellValue::Number(-i);
        workbook.sheets.push_back(std::move(sheet));
    }
    const fs::path source = folder / "corners.xlsx";
    sheet::writeWorkbook(workbook, source.string());
    const fs::path xls = convert(source, "xls", folder / "corners");
    if (xls.empty())
        return;
    std::printf("sparse .xls (%ju bytes): ", static_cast<std::uintmax_t>(fs::file_size(xls)));
    std::fflush(stdout);
    const std::string command = std::string(self) + " --memory '" + xls.string() + "'";
    if (std::system(command.c_str()) != 0)
        std::printf("failed\n");
}

int memoryOf(const char* file) {
    const double before = peakMegabytes();
    const auto start = Clock::now();
    auto workbook = sheet::readWorkbook(file);
    std::printf("%.1f MB peak (%.1f MB before reading), %.3f s, %zu sheets\n", peakMegabytes(),
                before, seconds(start), workbook->sheets.size());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--memory")
        return memoryOf(argv[2]);
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const fs::path folder =
        argc > 2 ? fs::path(argv[2])
                 : fs::temp_directory_path() / ("sheet_io_bench-" + std::to_string(getpid()));
    fs::create_directories(folder);

    std::vector<std::unique_ptr<sheet::Workbook>> forms;
    for (int i = 0; i < count; ++i)
        forms.push_back(koreanForm(i + 1));

    try {
        const auto writeStart = Clock::now();
        for (int i = 0; i < count; ++i)
            sheet::writeWorkbook(*forms[static_cast<size_t>(i)],
                                 (folder / ("학교" + std::to_string(i + 1) + ".xlsx")).string());
        const double writeSeconds = seconds(writeStart);
        forms.clear();

        long cells = 0;
        const auto readStart = Clock::now();
        for (int i = 0; i < count; ++i) {
            auto workbook =
                sheet::readWorkbook((folder / ("학교" + std::to_string(i + 1) + ".xlsx")).string());
            for (const auto& [row, columns] : workbook->sheets.front()->rows())
                cells += static_cast<long>(columns.size());
        }
        const double readSeconds = seconds(readStart);

        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("machine: %s\n", machine().c_str());
        std::printf("workbooks: %d (form of %ld rows x %ld columns, merged title, borders, "
                    "number formats)\n",
                    count, kDataRows, kColumns);
        std::printf("write: %.1f workbooks/s (%.2f s)\n", count / writeSeconds, writeSeconds);
        std::printf("read:  %.1f workbooks/s (%.2f s, %ld cells)\n", count / readSeconds,
                    readSeconds, cells);
        std::printf("peak memory: %.1f MB\n", usage.ru_maxrss / 1024.0);
        if (officeSuiteInstalled()) {
            compareFormats(folder / "학교1.xlsx", count, folder);
            measureSparseXls(argv[0], folder);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    if (argc <= 2)
        fs::remove_all(folder);
    return 0;
}
