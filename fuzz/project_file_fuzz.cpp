// Project files from any bytes: decoding, the twelve lines, the save checks of every method and
// the range texts they hold must come back with an answer, never a crash or a hang.
#include "engine/method_e_layout.h"
#include "project/editor_rules.h"
#include "project/project_file.h"
#include "project/save_rules.h"

#include <cstddef>
#include <cstdint>

namespace {

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
        project::settingsOfLines(project::interpretProjectLines(file.lines));
    examineRanges(settings);
    if (const std::optional<int> line = project::firstUnstorableLine(settings))
        (void)project::unstorableFieldMessage(settings, *line);
    return 0;
}
