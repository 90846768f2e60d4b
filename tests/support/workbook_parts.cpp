#include "workbook_parts.h"

#include "sheet/workbook_io.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <list>
#include <stdexcept>
#include <unistd.h>
#include <zip.h>

namespace test_support {

namespace fs = std::filesystem;

void writeZip(const fs::path& path, const PackageParts& parts) {
    fs::remove(path);
    int code = 0;
    zip_t* archive = zip_open(path.string().c_str(), ZIP_CREATE | ZIP_EXCL, &code);
    if (!archive)
        throw std::runtime_error("cannot create zip " + path.string());
    for (const auto& [name, content] : parts) {
        zip_source_t* source = zip_source_buffer(archive, content.data(), content.size(), 0);
        if (!source || zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8) < 0) {
            zip_discard(archive);
            throw std::runtime_error("cannot add " + name);
        }
    }
    if (zip_close(archive) < 0) {
        zip_discard(archive);
        throw std::runtime_error("cannot write zip " + path.string());
    }
}

std::string worksheetXml(const std::string& body) {
    return R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
           R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)" +
           body + "</worksheet>";
}

PackageParts minimalWorkbook(const std::vector<std::string>& sheetNames,
                             const std::vector<std::string>& sheetBodies) {
    PackageParts parts;
    parts["[Content_Types].xml"] =
        R"(<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
        R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
        R"(<Default Extension="xml" ContentType="application/xml"/></Types>)";
    parts["_rels/.rels"] =
        R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
        R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>)"
        R"(</Relationships>)";
    std::string sheets;
    std::string rels;
    for (size_t i = 0; i < sheetNames.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        sheets +=
            "<sheet name=\"" + sheetNames[i] + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
        rels += "<Relationship Id=\"rId" + n +
                "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
                "worksheet\" Target=\"worksheets/sheet" +
                n + ".xml\"/>";
        parts["xl/worksheets/sheet" + n + ".xml"] = worksheetXml(
            "<sheetData>" + (i < sheetBodies.size() ? sheetBodies[i] : "") + "</sheetData>");
    }
    parts["xl/workbook.xml"] =
        R"(<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
        R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets>)" +
        sheets + "</sheets></workbook>";
    parts["xl/_rels/workbook.xml.rels"] =
        R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)" +
        rels + "</Relationships>";
    return parts;
}

void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TempFolder::TempFolder() {
    static std::atomic<unsigned> counter{0};
    path_ = fs::temp_directory_path() /
            ("tabrinel-sheet-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    fs::remove_all(path_);
    fs::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::vector<std::string> TempFolder::entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_))
        names.push_back(entry.path().filename().string());
    return names;
}

} // namespace test_support

namespace test_support {

namespace {

void put16(std::string& out, unsigned value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8 & 0xFF);
}

void put32(std::string& out, unsigned value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

void putDouble(std::string& out, double value) {
    unsigned char bytes[8];
    std::memcpy(bytes, &value, 8);
    out.append(reinterpret_cast<const char*>(bytes), 8);
}

std::u16string utf16(const std::string& text) {
    std::u16string out;
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        unsigned code = c;
        size_t length = 1;
        if (c >= 0xE0) {
            code = (c & 0x0F) << 12 | (text[i + 1] & 0x3F) << 6 | (text[i + 2] & 0x3F);
            length = 3;
        } else if (c >= 0xC0) {
            code = (c & 0x1F) << 6 | (text[i + 1] & 0x3F);
            length = 2;
        }
        out += static_cast<char16_t>(code);
        i += length;
    }
    return out;
}

void putUtf16(std::string& out, const std::u16string& text) {
    for (char16_t c : text)
        put16(out, c);
}

void record(std::string& out, unsigned type, const std::string& body) {
    put16(out, type);
    put16(out, static_cast<unsigned>(body.size()));
    out += body;
}

std::string bof(unsigned kind) {
    std::string body;
    put16(body, 0x0600);
    put16(body, kind);
    put16(body, 0x0DBB);
    put16(body, 0x07CC);
    put32(body, 0);
    put32(body, 0x06);
    return body;
}

std::string cellXf(unsigned format) {
    std::string body;
    put16(body, 0);      // font
    put16(body, format); // number format
    put16(body, 0x0001); // locked, a cell format
    body.append(14, '\0');
    return body;
}

std::string sheetStream(const XlsSheet& sheet, const std::vector<std::string>& strings) {
    std::string out;
    record(out, 0x0809, bof(0x0010));
    int lastRow = 0, lastColumn = 0;
    for (const XlsCell& cell : sheet.cells) {
        lastRow = std::max(lastRow, cell.row + 1);
        lastColumn = std::max(lastColumn, cell.column + 1);
    }
    std::string dimensions;
    put32(dimensions, 0);
    put32(dimensions, static_cast<unsigned>(lastRow));
    put16(dimensions, 0);
    put16(dimensions, static_cast<unsigned>(lastColumn));
    put16(dimensions, 0);
    record(out, 0x0200, dimensions);
    for (const XlsCell& cell : sheet.cells) {
        std::string body;
        put16(body, static_cast<unsigned>(cell.row));
        put16(body, static_cast<unsigned>(cell.column));
        if (cell.kind == XlsCell::Text) {
            put16(body, 0);
            const auto found = std::find(strings.begin(), strings.end(), cell.text);
            put32(body, static_cast<unsigned>(found - strings.begin()));
            record(out, 0x00FD, body);
        } else {
            put16(body, cell.kind == XlsCell::Date ? 1 : 0);
            putDouble(body, cell.number);
            record(out, 0x0203, body);
        }
    }
    record(out, 0x000A, "");
    return out;
}

} // namespace

// A version 3 compound file: header, one FAT sector, one directory sector, then the stream.
std::string compoundFile(std::string stream, const std::u16string& streamName) {
    const size_t streamSize = stream.size();
    stream.resize((stream.size() + 511) / 512 * 512, '\0');
    const unsigned streamSectors = static_cast<unsigned>(stream.size() / 512);

    std::string header("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    header.append(16, '\0');
    put16(header, 0x003E);
    put16(header, 0x0003);
    put16(header, 0xFFFE);
    put16(header, 9);
    put16(header, 6);
    header.append(6, '\0');
    put32(header, 0);          // directory sectors (version 3: none counted)
    put32(header, 1);          // FAT sectors
    put32(header, 1);          // first directory sector
    put32(header, 0);          // transaction signature
    put32(header, 4096);       // mini stream cutoff
    put32(header, 0xFFFFFFFE); // no mini FAT
    put32(header, 0);
    put32(header, 0xFFFFFFFE); // no DIFAT sectors
    put32(header, 0);
    put32(header, 0); // the FAT is sector 0
    while (header.size() < 512)
        put32(header, 0xFFFFFFFF);

    std::string fat;
    put32(fat, 0xFFFFFFFD); // the FAT itself
    put32(fat, 0xFFFFFFFE); // the directory
    for (unsigned i = 0; i < streamSectors; ++i)
        put32(fat, i + 1 == streamSectors ? 0xFFFFFFFE : 2 + i + 1);
    while (fat.size() < 512)
        put32(fat, 0xFFFFFFFF);

    auto entry = [](const std::u16string& name, unsigned type, unsigned child, unsigned start,
                    unsigned size) {
        std::string out;
        putUtf16(out, name);
        out.append(64 - out.size(), '\0');
        put16(out, name.empty() ? 0 : static_cast<unsigned>((name.size() + 1) * 2));
        out += static_cast<char>(type);
        out += static_cast<char>(1); // black
        put32(out, 0xFFFFFFFF);
        put32(out, 0xFFFFFFFF);
        put32(out, child);
        out.append(16 + 4 + 16, '\0'); // class, state bits, times
        put32(out, start);
        put32(out, size);
        put32(out, 0);
        return out;
    };
    std::string directory = entry(u"Root Entry", 5, 1, 0xFFFFFFFE, 0) +
                            entry(streamName, 2, 0xFFFFFFFF, 2, static_cast<unsigned>(streamSize)) +
                            entry(u"", 0, 0xFFFFFFFF, 0, 0) + entry(u"", 0, 0xFFFFFFFF, 0, 0);
    return header + fat + directory + stream;
}

std::string legacyXls(const std::vector<XlsSheet>& sheets, bool date1904) {
    std::vector<std::string> strings;
    for (const XlsSheet& sheet : sheets)
        for (const XlsCell& cell : sheet.cells)
            if (cell.kind == XlsCell::Text &&
                std::find(strings.begin(), strings.end(), cell.text) == strings.end())
                strings.push_back(cell.text);

    auto globals = [&](const std::vector<unsigned>& offsets) {
        std::string out;
        record(out, 0x0809, bof(0x0005));
        std::string codePage;
        put16(codePage, 0x04B0);
        record(out, 0x0042, codePage);
        std::string dateMode;
        put16(dateMode, date1904 ? 1 : 0);
        record(out, 0x0022, dateMode);
        // Keeps the stream above the compound file's mini-stream cutoff.
        record(out, 0x005C, std::string(4200, ' '));
        record(out, 0x00E0, cellXf(0));
        record(out, 0x00E0, cellXf(14));
        for (size_t i = 0; i < sheets.size(); ++i) {
            std::string body;
            put32(body, offsets.empty() ? 0 : offsets[i]);
            put16(body, 0);
            const std::u16string name = utf16(sheets[i].name);
            body += static_cast<char>(name.size());
            body += static_cast<char>(1);
            putUtf16(body, name);
            record(out, 0x0085, body);
        }
        std::string sst;
        put32(sst, static_cast<unsigned>(strings.size()));
        put32(sst, static_cast<unsigned>(strings.size()));
        for (const std::string& text : strings) {
            const std::u16string wide = utf16(text);
            put16(sst, static_cast<unsigned>(wide.size()));
            sst += static_cast<char>(1);
            putUtf16(sst, wide);
        }
        record(out, 0x00FC, sst);
        record(out, 0x000A, "");
        return out;
    };

    std::vector<std::string> streams;
    for (const XlsSheet& sheet : sheets)
        streams.push_back(sheetStream(sheet, strings));
    std::vector<unsigned> offsets;
    unsigned offset = static_cast<unsigned>(globals({}).size());
    for (const std::string& stream : streams) {
        offsets.push_back(offset);
        offset += static_cast<unsigned>(stream.size());
    }
    std::string workbook = globals(offsets);
    for (const std::string& stream : streams)
        workbook += stream;
    return compoundFile(workbook);
}

void putLittleEndian16(std::string& out, unsigned value) {
    put16(out, value);
}
void putLittleEndian32(std::string& out, unsigned value) {
    put32(out, value);
}
void putLittleEndianDouble(std::string& out, double value) {
    putDouble(out, value);
}

std::string xlsRecord(unsigned type, const std::string& body) {
    std::string out;
    record(out, type, body);
    return out;
}

std::string xlsWideText(const std::string& text) {
    const std::u16string wide = utf16(text);
    std::string out;
    put16(out, static_cast<unsigned>(wide.size()));
    out += static_cast<char>(1);
    putUtf16(out, wide);
    return out;
}

std::string xlsStream(const std::string& globals, const std::vector<XlsSubstream>& sheets,
                      bool biff8) {
    auto bofOf = [&](unsigned kind) {
        std::string body = bof(kind);
        if (!biff8) {
            body[1] = 0x05;
            body[0] = 0x00;
            body.resize(8);
        }
        return body;
    };
    auto globalsWith = [&](const std::vector<unsigned>& offsets) {
        std::string out;
        record(out, 0x0809, bofOf(0x0005));
        // Keeps the stream above the compound file's mini-stream cutoff.
        record(out, 0x005C, std::string(4200, ' '));
        out += globals;
        for (size_t i = 0; i < sheets.size(); ++i) {
            std::string body;
            put32(body, offsets.empty() ? 0 : offsets[i]);
            body += static_cast<char>(sheets[i].state);
            body += static_cast<char>(sheets[i].sheetType);
            if (biff8) {
                const std::u16string name = utf16(sheets[i].name);
                body += static_cast<char>(name.size());
                body += static_cast<char>(1);
                putUtf16(body, name);
            } else {
                body += static_cast<char>(sheets[i].name.size());
                body += sheets[i].name;
            }
            record(out, 0x0085, body);
        }
        record(out, 0x000A, "");
        return out;
    };
    std::vector<std::string> substreams;
    for (const XlsSubstream& sheet : sheets) {
        std::string out;
        record(out, 0x0809, bofOf(sheet.bofKind));
        out += sheet.records;
        record(out, 0x000A, "");
        substreams.push_back(out);
    }
    std::vector<unsigned> offsets;
    unsigned offset = static_cast<unsigned>(globalsWith({}).size());
    for (const std::string& substream : substreams) {
        offsets.push_back(offset);
        offset += static_cast<unsigned>(substream.size());
    }
    std::string stream = globalsWith(offsets);
    for (const std::string& substream : substreams)
        stream += substream;
    return stream;
}

std::unique_ptr<sheet::Workbook> readPackageParts(const PackageParts& parts) {
    TempFolder folder;
    const std::string path = folder.file("parts.xlsx");
    writeZip(path, parts);
    return sheet::readWorkbook(path);
}

} // namespace test_support
