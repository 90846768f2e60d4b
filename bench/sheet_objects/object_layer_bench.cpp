// Drives the embedded component the way the consolidation methods do and prints how long it
// takes: row blocks appended from many workbooks through the clipboard between two instances
// (measuring each workbook's last row column by column first), and whole sheets copied into
// one workbook under a summary sheet of span sums.
//
//   object_layer_bench [workbooks]
#include "sheet/embedded_application.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
using namespace sheet;

constexpr long kColumns = 16;
constexpr long kFirstDataRow = 7;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string lowerLetter(long column) {
    return std::string(1, static_cast<char>('a' + column - 1));
}

// One source workbook: a title, then 10 to 40 data rows, a shaded cell and a merged header.
void fillSource(IWorksheet& sheet, int index) {
    sheet.Range("A1")->SetValue(std::string("학교별 현황"));
    long lastRow = kFirstDataRow + 9 + index % 31;
    sheet.Range("A7:P" + std::to_string(lastRow))->SetValue(static_cast<double>(index));
    sheet.Range("B8")->SetInteriorColorIndex(37);
}

void appendRows(int workbooks) {
    auto reader = createEmbeddedApplication();
    auto result = createEmbeddedApplication();
    auto target = result->Workbooks().Add()->Worksheets(1);
    long destRow = kFirstDataRow;
    auto start = Clock::now();
    for (int i = 0; i < workbooks; ++i) {
        auto source = reader->Workbooks().Add()->Worksheets(1);
        fillSource(*source, i);
        long last = 1;
        for (long column = 1; column <= kColumns; ++column)
            last = std::max(
                last, source->Range(lowerLetter(column) + "1048576")->End(XlDirection::Up)->Row());
        source->Rows(std::to_string(kFirstDataRow) + ":" + std::to_string(last))->Copy();
        target->Activate();
        target->Range("A" + std::to_string(destRow))->Select();
        target->Paste();
        destRow += last - kFirstDataRow + 1;
        reader->SetCutCopyMode(false);
        reader->ActiveWorkbook()->Close();
    }
    std::printf("append rows: %d workbooks, %ld rows, %.3f s\n", workbooks, destRow - 1,
                secondsSince(start));
}

void copySheets(int workbooks) {
    auto app = createEmbeddedApplication();
    auto result = app->Workbooks().Add();
    auto start = Clock::now();
    for (int i = 0; i < workbooks; ++i) {
        auto source = app->Workbooks().Add()->Worksheets(1);
        fillSource(*source, i);
        source->Copy(*result->Worksheets(result->SheetsCount()));
        result->ActiveSheet()->SetName("기관" + std::to_string(i + 1));
        source->Parent()->Close();
    }
    std::string last = result->Worksheets(result->SheetsCount())->Name();
    result->Worksheets(1)->Range("D11:P47")->SetFormula("=Sum('기관1:" + last + "'!D11)");
    std::printf("copy sheets: %d sheets and a span sum over D11:P47, %.3f s\n", workbooks,
                secondsSince(start));
}

} // namespace

int main(int argc, char** argv) {
    int workbooks = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    appendRows(workbooks);
    copySheets(workbooks);
    return 0;
}
