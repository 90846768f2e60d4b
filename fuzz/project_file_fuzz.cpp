// Project files from any bytes: decoding, the twelve lines, the save checks of every method and
// the range texts they hold must come back with an answer, never a crash or a hang.
#include "engine/method_e_layout.h"
#include "project/editor_rules.h"
#include "project/project_file.h"
#include "project/save_rules.h"

#include <cstddef>
#include <cstdint>

namespace {

project::ProjectSettings settingsOf(const project::ProjectLines& loaded) {
    project::ProjectSettings s;
    s.ProjectName = loaded.line(1);
    s.DataFolder = loaded.line(2);
    s.FileCount = loaded.line(3);
    s.Method = loaded.method.value_or(project::ConsolidationMethod::A);
    s.RangeKind = loaded.rangeKind.value_or(0);
    s.SheetName = loaded.line(6);
    s.TitleRange = loaded.line(7);
    s.DataRange = loaded.line(8);
    s.SumRange = loaded.line(9);
    s.ExistingFile = loaded.line(10);
    s.ExistingSheet = loaded.line(11);
    s.CompletedFile = loaded.line(12);
    return s;
}

void examineRanges(project::ProjectSettings settings) {
    for (int method = 0; method < project::kMethodCount; ++method) {
        settings.Method = project::methodOfIndex(method);
        (void)project::checkForSave(settings);
        (void)project::dataRangeAfterTitle(settings.Method, settings.TitleRange,
                                           settings.DataRange);
    }
    const QList<engine::CellItem> items = engine::splitCellList(settings.DataRange);
    (void)engine::rowStepOf(items);
    for (const engine::CellItem& item : items) {
        try {
            (void)item.width();
            (void)item.height();
        } catch (const std::exception&) {
            // Refusing an item is an answer.
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const project::ProjectFileText file =
        project::parseProjectFile(bytes, QStringLiteral("fuzz.tbn"));
    if (file.failure != project::ReadFailure::None)
        return 0;
    const project::ProjectSettings settings =
        settingsOf(project::interpretProjectLines(file.lines));
    examineRanges(settings);
    if (const std::optional<int> line = project::firstUnstorableLine(settings))
        (void)project::unstorableFieldMessage(settings, *line);
    return 0;
}
