// tabrinel-makeexamples: writes the examples the program ships with into its program folder.
//
//   tabrinel-makeexamples PROGRAM_FOLDER
//
// Example/ gets one data folder of report forms per consolidation method, Project/ one project
// file per method pointing at its folder by absolute path, so that loading a project and
// running it works at once, in the window or with tabrinel-batch.
#include "form_generator.h"
#include "project/project_file.h"
#include "project/save_rules.h"
#include "sheet/workbook_io.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>
#include <string>

namespace {

constexpr int kFormsPerExample = 12;

struct Example {
    project::ConsolidationMethod method;
    const char* folder;  // under Example/
    const char* project; // under Project/, without ".tbn"
    const char* name;    // the project name
    int rangeKind;
    const char* titleRange;
    const char* dataRange;
    const char* sumRange;
    bool varyRows; // forms with 1..kVaryingRows data rows instead of 10
    unsigned seed;
};

constexpr int kFixedRows = 10;
constexpr int kVaryingRows = 15;

const Example kExamples[] = {
    {project::ConsolidationMethod::A, "A_고정범위", "예제A_학교현황", "예제A 학교현황(고정범위)", 0,
     "A1:P6", "A7:P16", "C7:P16", false, 11},
    {project::ConsolidationMethod::B, "B_가변범위", "예제B_학교현황", "예제B 학교현황(가변범위)", 1,
     "A1:P6", "A7:ALL", "", true, 23},
    {project::ConsolidationMethod::C, "C_시트별", "예제C_학교현황", "예제C 학교현황(시트별)", 0,
     "A1:", "", "C7:P16", false, 37},
    {project::ConsolidationMethod::E, "E_셀선택", "예제E_학교현황", "예제E 학교현황(셀선택)", 0,
     "A1:", "B3, C7:E8, P16", "", false, 41},
};

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

bool writeForms(const Example& example, const QString& folder) {
    if (!QDir().mkpath(folder) || !QDir().mkpath(QDir(folder).filePath(QStringLiteral("Result")))) {
        std::fprintf(stderr, "폴더를 만들 수 없습니다: %s\n", folder.toUtf8().constData());
        return false;
    }
    for (int i = 1; i <= kFormsPerExample; ++i) {
        tools::FormOptions options;
        options.bodyName = QStringLiteral("학교%1").arg(i, 2, 10, QChar(u'0')).toStdString();
        options.seed = example.seed * 7919u + static_cast<unsigned>(i);
        options.dataRows =
            example.varyRows ? 1 + static_cast<int>(options.seed % kVaryingRows) : kFixedRows;
        const QString path = QDir(folder).filePath(QString::fromStdString(options.bodyName) +
                                                   QStringLiteral(".xlsx"));
        try {
            sheet::writeWorkbook(*tools::buildForm(options), path.toStdString());
        } catch (const std::exception& error) {
            std::fprintf(stderr, "%s\n", error.what());
            return false;
        }
    }
    return true;
}

project::ProjectSettings settingsOf(const Example& example, const QString& dataFolder) {
    project::ProjectSettings s;
    s.ProjectName = text(example.name);
    s.DataFolder = QDir::toNativeSeparators(dataFolder);
    s.FileCount = QString::number(kFormsPerExample);
    s.Method = example.method;
    s.RangeKind = example.rangeKind;
    s.SheetName = QStringLiteral("현황");
    s.TitleRange = text(example.titleRange);
    s.DataRange = text(example.dataRange);
    s.SumRange = text(example.sumRange);
    return s;
}

bool writeProject(const Example& example, const QString& programFolder) {
    const QString dataFolder =
        QDir(programFolder).absoluteFilePath(QStringLiteral("Example/") + text(example.folder));
    if (!writeForms(example, dataFolder))
        return false;
    const project::ProjectSettings settings = settingsOf(example, dataFolder);
    // A shipped project the save button would refuse would greet the user with an error.
    if (const project::SaveCheck check = project::checkForSave(settings); !check.maySave) {
        std::fprintf(stderr, "%s: %s\n", example.project, check.message.toUtf8().constData());
        return false;
    }
    const QString projectFolder = QDir(programFolder).absoluteFilePath(QStringLiteral("Project"));
    QDir().mkpath(projectFolder);
    const QString path =
        QDir(projectFolder).filePath(text(example.project) + QStringLiteral(".tbn"));
    const project::WriteResult written = project::writeProjectFile(path, settings);
    if (!written.ok) {
        std::fprintf(stderr, "%s\n", written.message.toUtf8().constData());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 2) {
        std::fputs("사용법: tabrinel-makeexamples 프로그램폴더\n", stderr);
        return 2;
    }
    for (const Example& example : kExamples) {
        if (!writeProject(example, arguments[1]))
            return 1;
    }
    return 0;
}
