#include "files/consolidation_list.h"

#include <gtest/gtest.h>

using files::ConsolidationList;

namespace {

QStringList abc() {
    return {QStringLiteral("A.xlsx"), QStringLiteral("B.xlsx"), QStringLiteral("C.xlsx")};
}

ConsolidationList listOf(const QStringList& names, const QList<int>& selected = {}) {
    ConsolidationList list(names);
    for (int index : selected)
        list.setSelected(index, true);
    return list;
}

} // namespace

TEST(ConsolidationList, AppendingSkipsNamesAlreadyListedIgnoringCase) {
    ConsolidationList list;
    list.appendMissing({QStringLiteral("book.xlsx"), QStringLiteral("a.xls")});
    list.appendMissing({QStringLiteral("book.xlsx"), QStringLiteral("a.xls")});
    list.appendMissing({QStringLiteral("BOOK.xlsx"), QStringLiteral("z.xlsx")});
    EXPECT_EQ(list.names(), QStringList({QStringLiteral("book.xlsx"), QStringLiteral("a.xls"),
                                         QStringLiteral("z.xlsx")}));
    EXPECT_EQ(list.current(), 0);
}

TEST(ConsolidationList, ReplacingAllDropsTheUsersOrderAndSelection) {
    ConsolidationList list = listOf({QStringLiteral("C.xlsx"), QStringLiteral("A.xlsx")}, {1});
    list.setCurrent(1);
    list.replaceAll(abc());
    EXPECT_EQ(list.names(), abc());
    EXPECT_TRUE(list.selectedIndexes().isEmpty());
    EXPECT_EQ(list.current(), 0);
}

TEST(ConsolidationList, RemovingSelectedKeepsTheOthersInOrder) {
    const QStringList five = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                              QStringLiteral("4"), QStringLiteral("5")};
    ConsolidationList list = listOf(five, {0, 2});
    list.setCurrent(3);
    list.removeSelected();
    EXPECT_EQ(list.names(),
              QStringList({QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("5")}));
    EXPECT_EQ(list.names().at(list.current()), QStringLiteral("4"));
    EXPECT_TRUE(list.selectedIndexes().isEmpty());
}

TEST(ConsolidationList, RemovingTheFocusedLastEntriesFocusesTheNewLast) {
    ConsolidationList list = listOf(abc(), {1, 2});
    list.setCurrent(2);
    list.removeSelected();
    EXPECT_EQ(list.names(), QStringList{QStringLiteral("A.xlsx")});
    EXPECT_EQ(list.current(), 0);

    list.setSelected(0, true);
    list.removeSelected();
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(list.current(), -1);
}

TEST(ConsolidationList, RemovingWithoutSelectionChangesNothing) {
    ConsolidationList list = listOf(abc());
    list.removeSelected();
    EXPECT_EQ(list.names(), abc());
    list.clear();
    EXPECT_TRUE(list.isEmpty());
    list.removeSelected();
    list.moveUp();
    list.moveDown();
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(list.current(), -1);
}

TEST(ConsolidationList, MovingUpWrapsTheFirstEntryToTheEnd) {
    ConsolidationList list = listOf(abc());
    list.moveUp();
    EXPECT_EQ(list.names(), QStringList({QStringLiteral("B.xlsx"), QStringLiteral("C.xlsx"),
                                         QStringLiteral("A.xlsx")}));
    EXPECT_EQ(list.names().at(list.current()), QStringLiteral("A.xlsx"));
    // Pressing again keeps moving the same entry.
    list.moveUp();
    EXPECT_EQ(list.names(), QStringList({QStringLiteral("B.xlsx"), QStringLiteral("A.xlsx"),
                                         QStringLiteral("C.xlsx")}));
    EXPECT_EQ(list.current(), 1);
}

TEST(ConsolidationList, MovingDownWrapsTheLastEntryToTheTop) {
    ConsolidationList list = listOf(abc());
    list.setCurrent(2);
    list.moveDown();
    EXPECT_EQ(list.names(), QStringList({QStringLiteral("C.xlsx"), QStringLiteral("A.xlsx"),
                                         QStringLiteral("B.xlsx")}));
    EXPECT_EQ(list.current(), 0);
    list.moveDown();
    EXPECT_EQ(list.names(), QStringList({QStringLiteral("A.xlsx"), QStringLiteral("C.xlsx"),
                                         QStringLiteral("B.xlsx")}));
    EXPECT_EQ(list.current(), 1);
}

TEST(ConsolidationList, SelectionTravelsWithMovedEntries) {
    ConsolidationList list = listOf(abc(), {0});
    list.setCurrent(0);
    list.moveDown();
    EXPECT_EQ(list.selectedNames(), QStringList{QStringLiteral("A.xlsx")});
}

TEST(ConsolidationList, SortedModeSortsOnceAndLaterAdditionsGoToTheEnd) {
    ConsolidationList list =
        listOf({QStringLiteral("c.xlsx"), QStringLiteral("B.xlsx"), QStringLiteral("a.xlsx")}, {0});
    list.setCurrent(0);
    list.toggleSorted();
    EXPECT_TRUE(list.isSorted());
    EXPECT_EQ(list.names(), QStringList({QStringLiteral("a.xlsx"), QStringLiteral("B.xlsx"),
                                         QStringLiteral("c.xlsx")}));
    // Focus and selection stay on their entry.
    EXPECT_EQ(list.names().at(list.current()), QStringLiteral("c.xlsx"));
    EXPECT_EQ(list.selectedNames(), QStringList{QStringLiteral("c.xlsx")});

    list.appendMissing({QStringLiteral("Aa.xlsx")});
    EXPECT_EQ(list.names().at(1), QStringLiteral("Aa.xlsx"));

    list.toggleSorted();
    EXPECT_FALSE(list.isSorted());
    list.appendMissing({QStringLiteral("0.xlsx")});
    EXPECT_EQ(list.names(), QStringList({QStringLiteral("a.xlsx"), QStringLiteral("Aa.xlsx"),
                                         QStringLiteral("B.xlsx"), QStringLiteral("c.xlsx"),
                                         QStringLiteral("0.xlsx")}));
}

TEST(ConsolidationList, RemovingAndRenamingByNameMatchCaseExactly) {
    ConsolidationList list({QStringLiteral("a.xlsx"), QStringLiteral("A.xlsx"),
                            QStringLiteral("b.xlsx"), QStringLiteral("a.xlsx")});
    list.setCurrent(3);
    list.renameName(QStringLiteral("A.xlsx"), QStringLiteral("z.xlsx"));
    EXPECT_EQ(list.names(), QStringList({QStringLiteral("a.xlsx"), QStringLiteral("z.xlsx"),
                                         QStringLiteral("b.xlsx"), QStringLiteral("a.xlsx")}));
    list.removeName(QStringLiteral("a.xlsx"));
    EXPECT_EQ(list.names(), QStringList({QStringLiteral("z.xlsx"), QStringLiteral("b.xlsx")}));
    EXPECT_EQ(list.current(), 1);
    list.removeName(QStringLiteral("missing.xlsx"));
    EXPECT_EQ(list.count(), 2);
}

TEST(ConsolidationList, BlankEntriesHoldNoText) {
    EXPECT_FALSE(ConsolidationList().hasText());
    EXPECT_FALSE(ConsolidationList({QStringLiteral(" "), QString()}).hasText());
    EXPECT_TRUE(ConsolidationList({QStringLiteral(" "), QStringLiteral("a.xlsx")}).hasText());
}

TEST(ConsolidationList, OutOfRangeIndexesAreIgnored) {
    ConsolidationList list = listOf(abc());
    list.setSelected(7, true);
    list.setSelected(-1, true);
    EXPECT_FALSE(list.isSelected(7));
    EXPECT_TRUE(list.selectedIndexes().isEmpty());
    list.setCurrent(9);
    EXPECT_EQ(list.current(), 2);
}
