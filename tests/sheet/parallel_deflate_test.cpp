// Deflating a part on several threads: the chunks join into one stream that any inflater reads
// whole, with the size and CRC of the bytes given, and a failing or abandoned stream never
// hangs either side.
#include "sheet/model.h"
#include "sheet/parallel_deflate.h"
#include "sheet/workbook_io.h"
#include "support/workbook_parts.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>
#include <zip.h>
#include <zlib.h>

namespace sheet {
namespace {

using test_support::TempFolder;

// Text like a sheet's rows: repetitive, yet not the same from one chunk to the next.
std::string rowsText(int firstRow, int rows) {
    std::string text;
    for (int row = firstRow; row < firstRow + rows; ++row)
        text += "<row r=\"" + std::to_string(row) + "\"><c r=\"A" + std::to_string(row) +
                "\" s=\"3\"><v>" + std::to_string(row * 7919 % 100003) + "</v></c></row>";
    return text;
}

std::string inflateRaw(const std::string& compressed, std::size_t expectedSize) {
    z_stream stream{};
    EXPECT_EQ(inflateInit2(&stream, -MAX_WBITS), Z_OK);
    std::string out(expectedSize + 16, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    stream.avail_in = static_cast<uInt>(compressed.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(inflate(&stream, Z_FINISH), Z_STREAM_END) << "the stream does not end once";
    EXPECT_EQ(stream.avail_in, 0u) << "bytes after the final block";
    out.resize(stream.total_out);
    inflateEnd(&stream);
    return out;
}

std::uint32_t crcOf(const std::string& bytes) {
    return static_cast<std::uint32_t>(
        crc32_z(0, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size()));
}

// Pushes `chunks` from a thread of its own, as the writer's producer does, and takes the
// compressed stream on this one.
std::string deflateChunks(ParallelDeflate& deflate, const std::vector<std::string>& chunks) {
    deflate.begin();
    std::thread maker([&] {
        for (std::size_t i = 0; i < chunks.size(); ++i)
            deflate.push(chunks[i], i + 1 == chunks.size());
    });
    std::string compressed, piece;
    while (deflate.pop(piece))
        compressed += piece;
    maker.join();
    return compressed;
}

// Bytes that do not compress: the compressed chunk outgrows any first guess at its size.
std::string noiseText(std::size_t size) {
    std::string text(size, '\0');
    std::uint32_t state = 2463534242u;
    for (char& c : text) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        c = static_cast<char>(state);
    }
    return text;
}

TEST(ParallelDeflate, ChunksJoinIntoOneStreamWithTheSizeAndCrcOfTheWhole) {
    // Chunks of every kind: large, tiny, empty, one shorter than the look-back window, noise.
    const std::vector<std::string> chunks = {
        rowsText(1, 4000), rowsText(4001, 3),   "", rowsText(4004, 9000), "<x/>",
        noiseText(100000), rowsText(13004, 150)};
    std::string whole;
    for (const std::string& chunk : chunks)
        whole += chunk;
    for (DeflateLibrary library : {DeflateLibrary::Fastest, DeflateLibrary::Zlib}) {
        for (unsigned threads : {1u, 3u}) {
            for (int level : {1, 6, 9}) {
                ParallelDeflate deflate(level, threads, library);
                const std::string compressed = deflateChunks(deflate, chunks);
                const std::string where = std::to_string(threads) + " threads, level " +
                                          std::to_string(level) + ", library " +
                                          std::to_string(static_cast<int>(library));
                EXPECT_EQ(inflateRaw(compressed, whole.size()), whole) << where;
                EXPECT_EQ(deflate.size(), whole.size()) << where;
                EXPECT_EQ(deflate.crc(), crcOf(whole)) << where;
                EXPECT_LT(compressed.size(), whole.size() / 3) << where;
            }
        }
    }
}

TEST(ParallelDeflate, AChunkIsPrimedWithTheOneBeforeAndAStreamCanFollowAnother) {
    const std::string block = rowsText(1, 300); // under the 32 KB look-back
    ASSERT_LT(block.size(), 32u * 1024);
    for (DeflateLibrary library : {DeflateLibrary::Fastest, DeflateLibrary::Zlib}) {
        ParallelDeflate deflate(1, 2, library);
        const std::string first = deflateChunks(deflate, {block});
        const std::string twice = deflateChunks(deflate, {block, block});
        // The second copy refers back into the first: a few bytes, not a second compressed copy.
        EXPECT_LT(twice.size(), first.size() + first.size() / 4);
        EXPECT_EQ(inflateRaw(twice, 2 * block.size()), block + block);
        EXPECT_EQ(deflate.size(), 2 * block.size()) << "counts carried over from the stream before";
        EXPECT_EQ(deflate.crc(), crcOf(block + block));
    }
}

TEST(ParallelDeflate, AFailedOrAbandonedStreamReleasesBothSides) {
    ParallelDeflate deflate(1, 1);
    deflate.begin();
    ASSERT_TRUE(deflate.push(rowsText(1, 100), false));
    deflate.fail(std::make_exception_ptr(std::runtime_error("made no more")));
    std::string piece;
    EXPECT_THROW(deflate.pop(piece), std::runtime_error);

    // A maker that runs far ahead of a taker that stops waits, then learns it was abandoned.
    deflate.begin();
    bool lastPushAccepted = true;
    std::thread maker([&] {
        for (int i = 0; i < 1000 && lastPushAccepted; ++i)
            lastPushAccepted = deflate.push(rowsText(i, 10), false);
    });
    ASSERT_TRUE(deflate.pop(piece));
    deflate.abandon();
    maker.join();
    EXPECT_FALSE(lastPushAccepted);
    EXPECT_FALSE(deflate.pop(piece));

    const std::string after = deflateChunks(deflate, {"next", " part"});
    EXPECT_EQ(inflateRaw(after, 9), "next part");
}

TEST(ParallelDeflate, ASheetOfManyChunksIsWrittenWithItsOwnCrcAndReadsBackWhole) {
    TempFolder folder;
    const std::string path = folder.file("큰표.xlsx");
    Workbook workbook;
    workbook.sheets.push_back(std::make_unique<Worksheet>("자료"));
    Worksheet& sheet = *workbook.sheets[0];
    constexpr long kRows = 30000;
    for (long row = 1; row <= kRows; ++row) {
        sheet.cellAt(row, 1).value = CellValue::Number(static_cast<double>(row) * 1.5);
        sheet.cellAt(row, 2).value = CellValue::Text("항목 " + std::to_string(row % 97));
        sheet.cellAt(row, 3).value = CellValue::Number(static_cast<double>(row * 100000));
    }
    writeWorkbook(workbook, path);

    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    ASSERT_NE(archive, nullptr) << code;
    zip_stat_t stat;
    ASSERT_EQ(zip_stat(archive, "xl/worksheets/sheet1.xml", 0, &stat), 0);
    EXPECT_EQ(stat.comp_method, ZIP_CM_DEFLATE);
    EXPECT_GT(stat.size, 4u * 256 * 1024) << "too small to span several chunks";
    std::string xml(stat.size, '\0');
    zip_file_t* part = zip_fopen(archive, "xl/worksheets/sheet1.xml", 0);
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(zip_fread(part, xml.data(), stat.size), static_cast<zip_int64_t>(stat.size));
    zip_fclose(part);
    zip_close(archive);
    EXPECT_EQ(stat.crc, crcOf(xml));

    const auto read = readWorkbook(path);
    const Worksheet& back = *read->sheets[0];
    for (long row : {1L, 2L, 9999L, kRows}) {
        EXPECT_EQ(back.cell(row, 1)->value, CellValue::Number(static_cast<double>(row) * 1.5));
        EXPECT_EQ(back.cell(row, 2)->value, CellValue::Text("항목 " + std::to_string(row % 97)));
        EXPECT_EQ(back.cell(row, 3)->value, CellValue::Number(static_cast<double>(row * 100000)));
    }
    long cells = 0;
    for (const auto& [row, columns] : back.rows())
        cells += static_cast<long>(columns.size());
    EXPECT_EQ(cells, 3 * kRows);
}

} // namespace
} // namespace sheet
