// Any bytes as an .xlsx: opened, walked through the object layer and saved. Reading may refuse
// the input with a FileError; nothing may crash, leak or run away.
#include "fuzz_support.h"
#include "sheet/embedded_application.h"
#include "sheet/workbook_io.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzz::writeInput(data, size, ".xlsx");
    auto app = sheet::createEmbeddedApplication();
    try {
        app->SetDisplayAlerts(false);
        sheet::WorkbookPtr book = app->Workbooks().Open(path);
        for (int i = 1; i <= book->SheetsCount(); ++i) {
            sheet::WorksheetPtr sheet = book->Worksheets(i);
            sheet->Name();
            sheet::RangePtr last = sheet->Cells(1, 1)->End(sheet::XlDirection::Down);
            last->Value();
            sheet->Range("A1:C3")->Copy();
            sheet->Cells(2, 2)->Formula();
        }
        if (book->SheetsCount() > 0) {
            book->Worksheets(1)->Copy(*book->Worksheets(book->SheetsCount()));
            book->Worksheets(1)->Select();
            book->ActiveSheet()->Paste();
        }
        book->SaveAs(fuzz::outputPath("-saved.xlsx"));
    } catch (const sheet::AutomationError&) {
    }
    app->Quit();
    return 0;
}
