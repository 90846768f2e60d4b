// The twelve values of a project, as one snapshot taken from the project page's controls at
// the moment a consumer needs them. The window keeps no copy: it builds a snapshot for saving
// or checking and places a loaded one back into its controls.
#pragma once

#include <QString>

namespace project {

// The item index of the method radio group; the letters are what the user sees.
enum class ConsolidationMethod { A = 0, B = 1, C = 2, D = 3, E = 4 };

inline constexpr int kMethodCount = 5;

inline bool isMethodIndex(int index) {
    return index >= 0 && index < kMethodCount;
}
inline ConsolidationMethod methodOfIndex(int index) {
    return static_cast<ConsolidationMethod>(index);
}
inline int indexOfMethod(ConsolidationMethod method) {
    return static_cast<int>(method);
}
inline QChar letterOf(ConsolidationMethod method) {
    return QChar(u'A' + indexOfMethod(method));
}

// Field order is the line order of the project file.
struct ProjectSettings {
    QString ProjectName;
    QString DataFolder;
    QString FileCount; // stored and loaded only
    ConsolidationMethod Method = ConsolidationMethod::A;
    int RangeKind = 0; // stored and loaded only: 0 or 1
    QString SheetName;
    QString TitleRange = QStringLiteral("A1:");
    QString DataRange;
    QString SumRange;
    QString ExistingFile;
    QString ExistingSheet;
    QString CompletedFile;

    bool operator==(const ProjectSettings&) const = default;
};

// True when the text is empty after trimming blanks.
inline bool isBlank(const QString& text) {
    return text.trimmed().isEmpty();
}

} // namespace project
