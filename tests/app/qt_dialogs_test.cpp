// Filters written as "description|patterns" pairs become Qt's file-dialog filters.
#include "app/qt_dialogs.h"

#include <gtest/gtest.h>

namespace {

TEST(QtFilter, PairsBecomeQtFiltersWithoutRepeatingShownPatterns) {
    EXPECT_EQ(app::toQtFilter(QStringLiteral("Tabrinel File (*.tbn)|*.tbn")),
              QStringLiteral("Tabrinel File (*.tbn)"));
    EXPECT_EQ(app::toQtFilter(QStringLiteral(
                  "Excel 통합문서(*.xlsx)|*.xlsx|Excel 97 ~ 2003 통합문서(*.xls)|*.xls")),
              QStringLiteral("Excel 통합문서(*.xlsx);;Excel 97 ~ 2003 통합문서(*.xls)"));
    EXPECT_EQ(app::toQtFilter(QStringLiteral("엑셀파일|*.xlsx;*.xls")),
              QStringLiteral("엑셀파일 (*.xlsx *.xls)"));
    // Parentheses that are not the patterns must not be taken for them.
    EXPECT_EQ(app::toQtFilter(QStringLiteral("결과(최종)|*.xlsx")),
              QStringLiteral("결과(최종) (*.xlsx)"));
}

TEST(QtFilter, QtSyntaxAndOddPairsPassSafely) {
    EXPECT_EQ(app::toQtFilter(QStringLiteral("Images (*.png *.xpm)")),
              QStringLiteral("Images (*.png *.xpm)"));
    EXPECT_EQ(app::toQtFilter(QString()), QString());
    // A trailing description without patterns is dropped rather than shown with none.
    EXPECT_EQ(app::toQtFilter(QStringLiteral("A|*.a|B")), QStringLiteral("A (*.a)"));
}

} // namespace
