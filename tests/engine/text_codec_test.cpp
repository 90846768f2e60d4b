// Reading and writing the program's text files: UTF-8 or code page 949 in, code page 949 with
// CR LF out, and no character silently lost on the way.
#include "engine/text_codec.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

namespace codec = engine::text_codec;

const QByteArray kHangulCp949("\xC7\xD1\xB1\xDB"); // "한글"
const QString kHangul = QStringLiteral("한글");

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(TextCodecDecode, AcceptsUtf8WithOrWithoutMarkElseCp949) {
    EXPECT_EQ(codec::decode(kHangul.toUtf8()), kHangul);
    EXPECT_EQ(codec::decode(QByteArray("\xEF\xBB\xBF") + kHangul.toUtf8()), kHangul);
    EXPECT_EQ(codec::decode(kHangulCp949), kHangul);
    EXPECT_EQ(codec::decode(QByteArray("A1:P6")), QStringLiteral("A1:P6"));
    EXPECT_EQ(codec::decode(QByteArray()), QString());
    // A UTF-8 sequence cut short at the end is not UTF-8; as code page 949 it is no text either.
    EXPECT_EQ(codec::decode(kHangul.toUtf8().chopped(1)), std::nullopt);
    EXPECT_EQ(codec::decode(QByteArray("\xFF\xFF\xFF")), std::nullopt);
}

// Hundreds of syllables in code page 949 are also valid UTF-8 bytes (홍 is C8 AB, "ȫ" in UTF-8):
// what the program wrote must come back as written, one syllable or many.
TEST(TextCodecDecode, Cp949ThatAlsoFormsUtf8ReadsAsCp949) {
    for (const char* name : {"홍천", "화천", "청주", "회계", "효자동", "황해", "홍"}) {
        const QString text = QString::fromUtf8(name);
        const std::optional<QByteArray> bytes = codec::encodeCp949(text);
        ASSERT_TRUE(bytes);
        EXPECT_EQ(codec::decode(*bytes), text) << name;
    }
    int misread = 0;
    for (char16_t c = 0xAC00; c <= 0xD7A3; ++c) {
        const QString syllable(QChar{c});
        if (codec::decode(*codec::encodeCp949(syllable)) != syllable)
            ++misread;
    }
    EXPECT_EQ(misread, 0);
}

TEST(TextCodecDecode, Utf8NeedsAMarkOrBytesCp949DoesNotAssign) {
    const QString name = QStringLiteral("홍천");
    EXPECT_EQ(codec::decode(name.toUtf8()), name);
    EXPECT_EQ(codec::decode(QByteArray("\xEF\xBB\xBF") + name.toUtf8()), name);
    // After a mark the bytes are UTF-8 even where code page 949 would read them too.
    EXPECT_EQ(codec::decode(QByteArray("\xEF\xBB\xBF") + "\xC8\xAB"), QStringLiteral("ȫ"));
    EXPECT_EQ(codec::decode(QByteArray("\xEF\xBB\xBF") + *codec::encodeCp949(kHangul)),
              std::nullopt);
    // A pair code page 949 leaves unassigned (its user-defined rows) is read as UTF-8 instead.
    EXPECT_EQ(codec::decode(QByteArray("\xC9\xA1")), QStringLiteral("ɡ"));
}

TEST(TextCodecEncode, EveryHangulSyllableRoundTripsThroughCp949) {
    QString all;
    for (char16_t c = 0xAC00; c <= 0xD7A3; ++c)
        all += QChar(c);
    QString error;
    const std::optional<QByteArray> bytes = codec::encodeCp949(all, &error);
    ASSERT_TRUE(bytes) << error.toStdString();
    EXPECT_EQ(bytes->size(), all.size() * 2);
    EXPECT_FALSE(bytes->contains('?'));
    EXPECT_EQ(codec::decode(*bytes), all);
    EXPECT_EQ(codec::encodeCp949(kHangul), kHangulCp949);
}

TEST(TextCodecEncode, RefusesCharactersCp949CannotHoldAndNamesThem) {
    QString error;
    EXPECT_EQ(codec::encodeCp949(QStringLiteral("학교 ก 현황"), &error), std::nullopt);
    EXPECT_TRUE(error.contains(QStringLiteral("'ก'"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("U+E01")));

    EXPECT_EQ(codec::encodeCp949(QStringLiteral("보고서 😀"), &error), std::nullopt);
    EXPECT_TRUE(error.contains(QStringLiteral("😀"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("U+1F600")));

    // A surrogate without its partner is no character at all, not a "?".
    const QString lone = QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b");
    EXPECT_EQ(codec::encodeCp949(lone, &error), std::nullopt);
    EXPECT_TRUE(error.contains(QStringLiteral("U+D800")));
    EXPECT_EQ(codec::encodeCp949(QString(QChar(0xDC00))), std::nullopt);
}

TEST(TextCodecLines, SplitsAtEveryKindOfLineEnd) {
    using L = QStringList;
    EXPECT_EQ(codec::splitLines(QStringLiteral("a\r\nb\r\n")), (L{"a", "b"}));
    EXPECT_EQ(codec::splitLines(QStringLiteral("a\nb")), (L{"a", "b"}));
    EXPECT_EQ(codec::splitLines(QStringLiteral("a\rb\r")), (L{"a", "b"}));
    EXPECT_EQ(codec::splitLines(QStringLiteral("a\r\n\r\n\r\nb")), (L{"a", "", "", "b"}));
    EXPECT_EQ(codec::splitLines(QStringLiteral("\r\n")), (L{""}));
    EXPECT_EQ(codec::splitLines(QString()), L{});
    EXPECT_EQ(codec::joinLinesCrLf({"a", "", "b"}), QStringLiteral("a\r\n\r\nb\r\n"));
}

class TextCodecFiles : public ::testing::Test {
protected:
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    QTemporaryDir dir;
};

TEST_F(TextCodecFiles, WritesCp949WithCrLfAndNoMark) {
    QString error;
    ASSERT_TRUE(codec::writeLines(path("p.tbn"), {kHangul, QString(), "0"}, &error))
        << error.toStdString();
    EXPECT_EQ(fileBytes(path("p.tbn")), kHangulCp949 + "\r\n\r\n0\r\n");
    EXPECT_EQ(codec::readLines(path("p.tbn")), (QStringList{kHangul, QString(), "0"}));
}

TEST_F(TextCodecFiles, ReadsUtf8AndCp949FilesWithAnyLineEnd) {
    writeBytes(path("utf8.tbn"), QByteArray("\xEF\xBB\xBF") + kHangul.toUtf8() + "\nA1:P6");
    EXPECT_EQ(codec::readLines(path("utf8.tbn")), (QStringList{kHangul, "A1:P6"}));
    writeBytes(path("cp949.tbn"), kHangulCp949 + "\r\n" + kHangulCp949 + "\r\n");
    EXPECT_EQ(codec::readLines(path("cp949.tbn")), (QStringList{kHangul, kHangul}));
}

TEST_F(TextCodecFiles, FailuresReportAndChangeNothing) {
    QString error;
    EXPECT_EQ(codec::readLines(path("missing.tbn"), &error), std::nullopt);
    EXPECT_TRUE(error.contains(path("missing.tbn")));

    writeBytes(path("binary.tbn"), QByteArray("\xFF\xFE\xFF"));
    EXPECT_EQ(codec::readLines(path("binary.tbn"), &error), std::nullopt);
    EXPECT_TRUE(error.contains(QStringLiteral("UTF-8")));

    ASSERT_TRUE(codec::writeLines(path("keep.tbn"), {"old"}));
    EXPECT_FALSE(codec::writeLines(path("keep.tbn"), {"new", QStringLiteral("ก")}, &error));
    EXPECT_EQ(fileBytes(path("keep.tbn")), QByteArray("old\r\n"));

    EXPECT_FALSE(codec::writeLines(dir.filePath("no/such/folder/x.tbn"), {"x"}, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("x.tbn")));
}

TEST_F(TextCodecFiles, AppendsLinesOrNothing) {
    ASSERT_TRUE(codec::appendLines(path("run.log"), {"first"}));
    ASSERT_TRUE(codec::appendLines(path("run.log"), {kHangul, "third"}));
    EXPECT_EQ(fileBytes(path("run.log")), "first\r\n" + kHangulCp949 + "\r\nthird\r\n");

    QString error;
    EXPECT_FALSE(codec::appendLines(path("run.log"), {"fourth", QStringLiteral("😀")}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(fileBytes(path("run.log")), "first\r\n" + kHangulCp949 + "\r\nthird\r\n");
}

} // namespace
