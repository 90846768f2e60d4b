// tabrinel-memorycheck: hostile inputs under 1 MB that must not make the program take more
// than a bounded amount of memory or time.
//
//   tabrinel-memorycheck [FOLDER] [LIMIT_MB]
//
// Writes each input into FOLDER (a temporary folder by default) and handles it in a child
// process the way the program would: workbooks are opened, their sheet looked up, copied into
// a new workbook and saved; the project is run by tabrinel-batch beside this program. Prints
// the peak resident memory of each and exits non-zero when one passes LIMIT_MB (500), runs
// past a minute or ends by a signal. Refusing an input with a message is a pass.
#include "project/project_file.h"
#include "sheet/automation.h"
#include "sheet/embedded_application.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <csignal>
#include <cstdio>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include <zip.h>

namespace {

constexpr long kOneMegabyte = 1 << 20;
constexpr unsigned kSecondsAllowed = 60;

using Parts = std::vector<std::pair<std::string, std::string>>;

const char* kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const char* kRelationships = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

std::string relationship(const std::string& id, const std::string& type,
                         const std::string& target) {
    return "<Relationship Id=\"" + id + "\" Type=\"" + kRelationships + "/" + type +
           "\" Target=\"" + target + "\"/>";
}

// A one-sheet workbook named 현황 around the worksheet's children, with shared strings when
// `strings` is not empty.
Parts workbookParts(const std::string& sheetBody, const std::string& strings = {}) {
    const std::string rels =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    Parts parts;
    parts.emplace_back("[Content_Types].xml",
                       "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                       "content-types\"><Default Extension=\"xml\" "
                       "ContentType=\"application/xml\"/></Types>");
    parts.emplace_back("_rels/.rels",
                       rels + relationship("rId1", "officeDocument", "xl/workbook.xml") +
                           "</Relationships>");
    parts.emplace_back("xl/workbook.xml",
                       std::string("<workbook xmlns=\"") + kMain + "\" xmlns:r=\"" +
                           kRelationships +
                           "\"><sheets><sheet name=\"현황\" sheetId=\"1\" r:id=\"rId1\"/>"
                           "</sheets></workbook>");
    std::string workbookRels = rels + relationship("rId1", "worksheet", "worksheets/sheet1.xml");
    if (!strings.empty()) {
        workbookRels += relationship("rId2", "sharedStrings", "sharedStrings.xml");
        parts.emplace_back("xl/sharedStrings.xml",
                           std::string("<sst xmlns=\"") + kMain + "\">" + strings + "</sst>");
    }
    parts.emplace_back("xl/_rels/workbook.xml.rels", workbookRels + "</Relationships>");
    parts.emplace_back("xl/worksheets/sheet1.xml", std::string("<worksheet xmlns=\"") + kMain +
                                                       "\">" + sheetBody + "</worksheet>");
    return parts;
}

// Writes the parts deflated at the best level; returns the file's size.
long writeZip(const std::string& path, const Parts& parts) {
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!archive)
        return -1;
    for (const auto& [name, content] : parts) {
        zip_source_t* source = zip_source_buffer(archive, content.data(), content.size(), 0);
        const zip_int64_t index = zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8);
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 9);
    }
    if (zip_close(archive) < 0)
        return -1;
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<long>(info.st_size) : -1;
}

std::string repeated(const std::string& text, long count) {
    std::string out;
    out.reserve(text.size() * static_cast<size_t>(count));
    for (long i = 0; i < count; ++i)
        out += text;
    return out;
}

std::string columnLetters(long column) {
    std::string letters;
    for (; column > 0; column = (column - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (column - 1) % 26));
    return letters;
}

// Rows of numbered cells, as many as fit in the size.
std::string denseCells(long rows, long columns) {
    std::string body = "<sheetData>";
    for (long row = 1; row <= rows; ++row) {
        body += "<row r=\"" + std::to_string(row) + "\">";
        for (long column = 1; column <= columns; ++column)
            body += "<c r=\"" + columnLetters(column) + std::to_string(row) + "\"><v>" +
                    std::to_string(row * 7 + column) + "</v></c>";
        body += "</row>";
    }
    return body + "</sheetData>";
}

struct Input {
    std::string name;
    std::string path;
    std::function<void()> handle; // runs in the child
};

void handleWorkbook(const std::string& path) {
    auto app = sheet::createEmbeddedApplication();
    app->SetDisplayAlerts(false);
    try {
        sheet::WorkbookPtr book = app->Workbooks().Open(path);
        sheet::WorksheetPtr sheet = book->Worksheets(std::string("현황"));
        sheet::WorkbookPtr result = app->Workbooks().Add();
        sheet->Copy(*result->Worksheets(1));
        result->SaveAs(path + ".result.xlsx");
        std::printf("    read and saved\n");
    } catch (const sheet::AutomationError& error) {
        std::printf("    refused: %s\n", error.what());
    }
    app->Quit();
}

void handleProject(const std::string& program, const std::string& project,
                   const std::string& output) {
    std::fflush(stdout);
    execl(program.c_str(), program.c_str(), "--quiet", "--output", output.c_str(), project.c_str(),
          static_cast<char*>(nullptr));
    std::perror("tabrinel-batch");
    _exit(3);
}

// Runs the input in a child; true when it stayed within the limits.
bool check(const Input& input, long limitMegabytes) {
    struct stat info {};
    ::stat(input.path.c_str(), &info);
    std::printf("%-28s %7ld KB\n", input.name.c_str(), static_cast<long>(info.st_size) / 1024);
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        alarm(kSecondsAllowed);
        input.handle();
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const long peak = usage.ru_maxrss / 1024;
    const bool ended = WIFEXITED(status);
    const bool within = ended && peak <= limitMegabytes;
    std::printf("    peak %ld MB%s%s\n", peak,
                ended ? "" : (WTERMSIG(status) == SIGALRM ? ", ran past a minute" : ", crashed"),
                within ? "" : "  <-- FAILED");
    return within;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QTemporaryDir temporary;
    const std::string folder = argc > 1 ? argv[1] : temporary.path().toStdString();
    const long limit = argc > 2 ? std::stol(argv[2]) : 500;
    QDir().mkpath(QString::fromStdString(folder));
    const std::string batch =
        (QCoreApplication::applicationDirPath() + QStringLiteral("/tabrinel-batch")).toStdString();

    std::vector<Input> inputs;
    auto workbook = [&](const std::string& name, const Parts& parts) {
        const std::string path = folder + "/" + name + ".xlsx";
        const long size = writeZip(path, parts);
        if (size < 0 || size >= kOneMegabyte)
            std::printf("%s: %ld bytes, not the small input meant\n", name.c_str(), size);
        inputs.push_back({name, path, [path] { handleWorkbook(path); }});
    };

    workbook("dense-cells", workbookParts(denseCells(15000, 20)));
    workbook("cells-without-positions",
             workbookParts("<sheetData>" +
                           repeated("<row>" + repeated("<c><v>1</v></c>", 16384) + "</row>", 1000) +
                           "</sheetData>"));
    workbook("rows-without-cells",
             workbookParts("<sheetData>" + repeated("<row ht=\"20\" hidden=\"1\"/>", 1048576) +
                           "</sheetData>"));
    workbook("four-huge-merges",
             workbookParts("<sheetData/><mergeCells><mergeCell ref=\"A1:D1000000\"/>"
                           "<mergeCell ref=\"E1:H1000000\"/><mergeCell ref=\"I1:L1000000\"/>"
                           "<mergeCell ref=\"M1:P1000000\"/></mergeCells>"));
    workbook("many-merges",
             workbookParts("<sheetData/><mergeCells>" +
                           repeated("<mergeCell ref=\"A1:B2\"/>", 6000000) + "</mergeCells>"));
    workbook("many-shared-strings",
             workbookParts("<sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>"
                           "</sheetData>",
                           repeated("<si><t>x</t></si>", 12000000)));

    // Method A with its sum range reaching the sheet's last row.
    const std::string data = folder + "/data";
    QDir().mkpath(QString::fromStdString(data));
    writeZip(data + "/form.xlsx",
             workbookParts("<sheetData><row r=\"7\"><c r=\"C7\"><v>1</v></c></row></sheetData>"));
    project::ProjectSettings settings;
    settings.ProjectName = QStringLiteral("memory");
    settings.DataFolder = QString::fromStdString(data);
    settings.Method = project::ConsolidationMethod::A;
    settings.SheetName = QStringLiteral("현황");
    settings.TitleRange = QStringLiteral("A1:P6");
    settings.DataRange = QStringLiteral("A7:P1048576");
    settings.SumRange = QStringLiteral("C7:P1048576");
    const std::string projectPath = folder + "/sum-to-last-row.tbn";
    project::writeProjectFile(QString::fromStdString(projectPath), settings);
    const std::string output = folder + "/sum-to-last-row.xlsx";
    inputs.push_back({"project-sum-to-last-row", projectPath,
                      [&] { handleProject(batch, projectPath, output); }});

    int failures = 0;
    for (const Input& input : inputs)
        failures += check(input, limit) ? 0 : 1;
    std::printf("%d of %zu inputs passed the %ld MB limit\n",
                static_cast<int>(inputs.size()) - failures, inputs.size(), limit);
    return failures == 0 ? 0 : 1;
}
