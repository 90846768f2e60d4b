#include "form_generator.h"

#include <string>

namespace tools {

namespace {

std::string columnLetters(int column) {
    std::string letters;
    for (; column > 0; column = (column - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (column - 1) % 26));
    return letters;
}

struct FormStyles {
    int title, label, header, text, number, sum;
};

FormStyles internStyles(sheet::StyleTable& styles) {
    sheet::Style base;
    base.font.name = "맑은 고딕";
    base.font.size = 10;

    sheet::Style title = base;
    title.font.size = 16;
    title.font.bold = true;
    title.alignment.horizontal = "center";
    title.alignment.vertical = "center";

    sheet::Style label = base;
    label.font.bold = true;

    sheet::BorderSide thin{"thin", 0x000000};
    sheet::Style boxed = base;
    boxed.border.left = boxed.border.right = boxed.border.top = boxed.border.bottom = thin;
    boxed.alignment.vertical = "center";

    sheet::Style header = boxed;
    header.font.bold = true;
    header.fill = {"solid", 0xDDEBF7, std::nullopt};
    header.alignment.horizontal = "center";
    header.alignment.wrap = true;

    sheet::Style number = boxed;
    number.numberFormatId = 3; // #,##0

    sheet::Style sum = number;
    sum.font.bold = true;
    sum.fill = {"solid", 0xFFF2CC, std::nullopt};

    return {styles.intern(title), styles.intern(label),  styles.intern(header),
            styles.intern(boxed), styles.intern(number), styles.intern(sum)};
}

void setText(sheet::Worksheet& ws, long row, long column, std::string text, int style) {
    sheet::Cell& cell = ws.cellAt(row, column);
    cell.value = sheet::CellValue::Text(std::move(text));
    cell.style = style;
}

void writeTitleBlock(sheet::Worksheet& ws, const FormOptions& options, const FormStyles& s) {
    const int last = options.columns;
    setText(ws, 1, 1, "2026학년도 학교별 학생 현황 보고", s.title);
    for (int c = 2; c <= last; ++c)
        ws.cellAt(1, c).style = s.title;
    ws.merges.push_back({1, 1, 1, last});
    ws.rowHeights[1] = 30;

    setText(ws, 3, 1, "기관명", s.label);
    setText(ws, 3, 2, options.bodyName, s.label);

    setText(ws, 5, 1, "번호", s.header);
    setText(ws, 5, 2, "구분", s.header);
    setText(ws, 5, 3, "학년별 인원", s.header);
    setText(ws, 5, last, "합계", s.header);
    for (int c = 1; c <= last; ++c) {
        ws.cellAt(5, c).style = s.header;
        ws.cellAt(6, c).style = s.header;
    }
    for (int c = 3; c < last; ++c)
        setText(ws, 6, c, std::to_string(c - 2) + "반", s.header);
    ws.merges.push_back({5, 1, 6, 1});
    ws.merges.push_back({5, 2, 6, 2});
    ws.merges.push_back({5, 3, 5, last - 1});
    ws.merges.push_back({5, last, 6, last});
    ws.rowHeights[5] = 20;
    ws.rowHeights[6] = 20;
}

void writeDataRows(sheet::Worksheet& ws, const FormOptions& options, const FormStyles& s) {
    std::mt19937 random(options.seed);
    std::uniform_int_distribution<int> pupils(0, 40);
    const int last = options.columns;
    for (int i = 0; i < options.dataRows; ++i) {
        const long row = 7 + i;
        sheet::Cell& number = ws.cellAt(row, 1);
        number.value = sheet::CellValue::Number(i + 1);
        number.style = s.number;
        setText(ws, row, 2,
                std::to_string(i / 3 + 1) + "학년 " + std::to_string(i % 3 + 1) + "과정", s.text);
        double total = 0;
        for (int c = 3; c < last; ++c) {
            const int value = pupils(random);
            total += value;
            sheet::Cell& cell = ws.cellAt(row, c);
            cell.value = sheet::CellValue::Number(value);
            cell.style = s.number;
        }
        sheet::Cell& sum = ws.cellAt(row, last);
        sum.formula = "SUM(C" + std::to_string(row) + ":" + columnLetters(last - 1) +
                      std::to_string(row) + ")";
        sum.value = sheet::CellValue::Number(total);
        sum.style = s.sum;
    }
}

} // namespace

std::unique_ptr<sheet::Workbook> buildForm(const FormOptions& options) {
    auto book = std::make_unique<sheet::Workbook>();
    auto ws = std::make_unique<sheet::Worksheet>(options.sheetName);
    const FormStyles styles = internStyles(book->styles);
    writeTitleBlock(*ws, options, styles);
    writeDataRows(*ws, options, styles);
    ws->columnWidths[1] = 6;
    ws->columnWidths[2] = 16;
    for (int c = 3; c <= options.columns; ++c)
        ws->columnWidths[c] = 7.5;
    ws->pageSetup.orientation = 2;
    ws->pageSetup.paperSize = 9;
    ws->pageSetup.leftMargin = ws->pageSetup.rightMargin = 0.5;
    ws->zoom = 90;
    book->sheets.push_back(std::move(ws));
    return book;
}

} // namespace tools
