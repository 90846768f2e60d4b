#include "viewer/header_footer.h"

#include <gtest/gtest.h>

namespace {

using viewer::HeaderSection;

viewer::PageFields fields() {
    viewer::PageFields f;
    f.page = 2;
    f.pages = 5;
    f.printedAt = QDateTime(QDate(2024, 3, 2), QTime(15, 4));
    f.fileName = QStringLiteral("결과.xlsx");
    f.folder = QStringLiteral("/data/Result/");
    f.sheetName = QStringLiteral("학교01");
    return f;
}

QString section(const char* codes, HeaderSection which) {
    return viewer::sectionText(viewer::expandHeaderFooter(QString::fromUtf8(codes), fields()),
                               which);
}

TEST(HeaderFooterTest, FieldsAndSections) {
    EXPECT_EQ(section("&C&P / &N", HeaderSection::Center), "2 / 5");
    EXPECT_EQ(section("- &P -", HeaderSection::Center), "- 2 -"); // no section code: centred
    EXPECT_EQ(section("&L&A&C&F&R&D", HeaderSection::Left), "학교01");
    EXPECT_EQ(section("&L&A&C&F&R&D", HeaderSection::Center), "결과.xlsx");
    EXPECT_EQ(section("&L&A&C&F&R&D", HeaderSection::Right), "2024-03-02");
    EXPECT_TRUE(section("&R&T", HeaderSection::Right).contains("3:04"));
    EXPECT_EQ(section("&Z&F", HeaderSection::Center), "/data/Result/결과.xlsx");
    EXPECT_EQ(section("&P+10쪽 &P-1", HeaderSection::Center), "12쪽 1");
    EXPECT_EQ(section("R&&D &G", HeaderSection::Center), "R&D ");
    EXPECT_EQ(section("줄1\r\n줄2", HeaderSection::Center), "줄1\n줄2");
    EXPECT_TRUE(section("&", HeaderSection::Center).isEmpty());
}

TEST(HeaderFooterTest, FormattingCodesMakeRuns) {
    const viewer::HeaderSections s = viewer::expandHeaderFooter(
        QStringLiteral("&L&\"Arial,Bold Italic\"&14제목&\"-,Regular\" 보통&R&KFF0000&U빨강&K01+000"
                       "테마"),
        fields());
    ASSERT_EQ(s[0].size(), 2u);
    EXPECT_EQ(s[0][0].text, "제목");
    EXPECT_EQ(s[0][0].family, "Arial");
    EXPECT_TRUE(s[0][0].bold);
    EXPECT_TRUE(s[0][0].italic);
    EXPECT_EQ(s[0][0].points, 14);
    EXPECT_EQ(s[0][1].text, " 보통");
    EXPECT_EQ(s[0][1].family, "Arial");
    EXPECT_FALSE(s[0][1].bold);
    ASSERT_EQ(s[2].size(), 2u);
    EXPECT_EQ(s[2][0].text, "빨강");
    EXPECT_EQ(s[2][0].color, QColor(255, 0, 0));
    EXPECT_TRUE(s[2][0].underline);
    EXPECT_EQ(s[2][1].text, "테마");
    EXPECT_FALSE(s[2][1].color.has_value());
    // A new section starts in the default format; a size past the largest font is capped.
    EXPECT_FALSE(viewer::expandHeaderFooter(QStringLiteral("&L&B굵게&R보통"), fields())[2][0].bold);
    EXPECT_EQ(viewer::expandHeaderFooter(QStringLiteral("&99999큰"), fields())[1][0].points, 409);
}

} // namespace
