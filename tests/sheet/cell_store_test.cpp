// How a sheet stores its cells: rows of cells kept in column order whatever order they arrive
// in, and texts shared between the cells that show them.
#include "sheet/model.h"

#include <gtest/gtest.h>
#include <map>
#include <stdexcept>
#include <thread>
#include <vector>

namespace sheet {
namespace {

std::vector<long> columnsOf(const CellRow& row) {
    std::vector<long> columns;
    for (const auto& [column, cell] : row)
        columns.push_back(column);
    return columns;
}

TEST(CellStore, RowsKeepColumnOrderWhateverOrderCellsArriveIn) {
    Worksheet sheet("표");
    for (long column : {7L, 2L, 9L, 1L, 5L, 2L})
        sheet.cellAt(3, column).value = CellValue::Number(static_cast<double>(column * 10));
    sheet.cellAt(1, 4).value = CellValue::Text("위");
    ASSERT_EQ(sheet.rows().size(), 2u);
    EXPECT_EQ(sheet.rows().begin()->first, 1);
    const CellRow& row = sheet.rows().at(3);
    EXPECT_EQ(columnsOf(row), (std::vector<long>{1, 2, 5, 7, 9}));
    for (long column : {1L, 2L, 5L, 7L, 9L})
        EXPECT_EQ(sheet.cell(3, column)->value.number, column * 10.0) << column;
    EXPECT_EQ(sheet.cell(3, 3), nullptr);
    EXPECT_EQ(sheet.cell(3, 10), nullptr);
    EXPECT_EQ(sheet.lastColumn(), 9);
    EXPECT_EQ(row.lower_bound(3)->first, 5);
    EXPECT_EQ(row.upper_bound(7)->first, 9);
    EXPECT_EQ(row.upper_bound(9), row.end());

    CellRow& cells = sheet.rows().at(3);
    cells.erase(cells.lower_bound(2), cells.upper_bound(7));
    EXPECT_EQ(columnsOf(cells), (std::vector<long>{1, 9}));
    EXPECT_EQ(cells.erase(4), 0u);
    sheet.erase(3, 1);
    sheet.erase(3, 9);
    EXPECT_EQ(sheet.rows().count(3), 0u); // an emptied row goes
    EXPECT_EQ(sheet.lastRow(), 1);

    const auto [kept, added] = sheet.rows()[1].insert_or_assign(4L, Cell{});
    EXPECT_FALSE(added);
    EXPECT_TRUE(kept->second.value.empty());
}

// The row index beside the tree must agree with it after any mix of changes: compared with a
// plain map after every step of a long random run that adds, erases, clears, copies and moves
// rows, near and far beyond the others.
TEST(CellStore, FindingARowAgreesWithTheRowsHeldAfterAnyChange) {
    RowMap<int> rows;
    std::map<long, int> expected;
    unsigned seed = 12345;
    auto next = [&seed](unsigned bound) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % bound;
    };
    auto randomRow = [&]() -> long {
        switch (next(8)) {
        case 0:
            return 1048576 - static_cast<long>(next(4)); // far beyond the rest
        case 1:
            return -static_cast<long>(next(3));
        default:
            return static_cast<long>(next(300));
        }
    };
    for (int step = 0; step < 20000; ++step) {
        const long row = randomRow();
        switch (next(20)) {
        case 0: {
            const long from = randomRow();
            rows.erase(rows.lower_bound(from), rows.upper_bound(from + 40));
            expected.erase(expected.lower_bound(from), expected.upper_bound(from + 40));
            break;
        }
        case 1:
            if (next(50) == 0) {
                rows.clear();
                expected.clear();
            }
            break;
        case 2: {
            RowMap<int> copy(rows);
            rows = std::move(copy);
            break;
        }
        case 3:
        case 4:
            EXPECT_EQ(rows.erase(row), expected.erase(row)) << row;
            break;
        case 5:
            if (auto found = rows.find(row); found != rows.end()) {
                rows.erase(found);
                expected.erase(row);
            }
            break;
        default:
            rows[row] = step;
            expected[row] = step;
        }
        ASSERT_EQ(rows.size(), expected.size()) << "step " << step;
        for (long probe : {row, row - 1, row + 1, randomRow()}) {
            const auto found = rows.find(probe);
            const auto wanted = expected.find(probe);
            ASSERT_EQ(found == rows.end(), wanted == expected.end()) << probe << " step " << step;
            if (found != rows.end()) {
                ASSERT_EQ(found->first, probe);
                ASSERT_EQ(found->second, wanted->second);
            }
        }
    }
    RowMap<int> copied;
    copied = rows;
    for (const auto& [row, value] : expected)
        ASSERT_EQ(copied.at(row), value) << row;
    EXPECT_THROW(copied.at(-100), std::out_of_range);
}

// The style lives in the padding after the value's type: setting, copying and moving values
// must never reach it, nor setting the style the value.
TEST(CellStore, AValueAndTheStyleBesideItNeverOverwriteEachOther) {
    Worksheet sheet("표");
    const CellValue values[] = {CellValue::Number(-1.5), CellValue::Text("가나다"),
                                CellValue::Boolean(true), CellValue::Error("#N/A"), CellValue{}};
    long column = 20;
    for (const CellValue& value : values) {
        Cell& cell = sheet.cellAt(1, column);
        cell.style = 0x7FFF0000 + static_cast<int>(column);
        cell.value = value;
        cell.formula = "A1";
        --column;
    }
    // Each new cell goes in front and moves the ones after it.
    column = 20;
    for (const CellValue& value : values) {
        const Cell* cell = sheet.cell(1, column);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->value, value) << column;
        EXPECT_EQ(cell->style, 0x7FFF0000 + column);
        EXPECT_EQ(cell->formula, "A1");
        --column;
    }
    Cell copy = *sheet.cell(1, 19);
    copy.value = CellValue::Number(2);
    copy.style = -1;
    EXPECT_EQ(copy.value, CellValue::Number(2));
    Cell moved = std::move(copy);
    EXPECT_EQ(moved.style, -1);
    EXPECT_EQ(moved.value.type, CellType::Number);
    EXPECT_EQ(sheet.cell(1, 19)->value, CellValue::Text("가나다"));
}

TEST(CellStore, TextsAreSharedBetweenCopiesAndNeverChangedThroughThem) {
    const SharedText name(std::string("서울특별시 교육청 산하 초등학교"));
    Cell first;
    first.value = CellValue::Text(name);
    Cell second = first;
    EXPECT_EQ(second.value.text.data(), name.data()); // one string, not a copy
    second.value = CellValue::Text("다른 학교");
    EXPECT_EQ(first.value.text, "서울특별시 교육청 산하 초등학교");
    EXPECT_EQ(second.value.text, std::string("다른 학교"));

    // Equal texts from different places are equal cells.
    Cell third;
    third.value = CellValue::Text(std::string(name.str()));
    EXPECT_NE(third.value.text.data(), name.data());
    EXPECT_EQ(third, first);

    SharedText empty("");
    EXPECT_TRUE(empty.empty());
    EXPECT_EQ(empty, SharedText());
    first.formula = "SUM(A1:A3)";
    first.formula.clear();
    EXPECT_TRUE(first.formula.empty());
    EXPECT_EQ("=" + name + "!", "=서울특별시 교육청 산하 초등학교!");
}

// Workbooks are read on one thread and pasted and freed on others: a shared text's count
// must hold when copies come and go on several threads at once.
TEST(CellStore, ATextCopiedAndDroppedOnSeveralThreadsStaysWhole) {
    const SharedText text(std::string(100, 'x'));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&text] {
            for (int i = 0; i < 20000; ++i) {
                SharedText copy = text;
                SharedText moved = std::move(copy);
                ASSERT_EQ(moved.size(), 100u);
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(text.str(), std::string(100, 'x'));
}

} // namespace
} // namespace sheet
