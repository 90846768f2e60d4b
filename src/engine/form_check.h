// The form check: with the sheet check, every listed workbook's sheet is compared with the
// first one's (the form) on what the project's method takes from fixed places, so that a
// workbook whose rows, columns or headings were changed is found before it spoils a run.
#pragma once

#include "engine/form_area.h"
#include "engine/form_compare.h"
#include "engine/run_host.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace engine {

using form::FormMethod;

// Reads the project's ranges through the host once, then takes one workbook after the other
// while the sheet check holds it open, and reports at the end.
class FormCheck {
public:
    FormCheck(FormMethod method, const RunHost& host);

    // The first workbook examined becomes the form; every later one is compared with it.
    void examine(int index, const QString& entry, sheet::IApplication& app,
                 sheet::IWorksheet& worksheet);

    // Logs the findings in list order and, when `markDiffering`, selects the workbooks that
    // differ. Returns the number of findings for the check's error count.
    int report(RunHost& host, bool markDiffering);

private:
    struct Findings {
        int index = 0;
        QString entry;
        std::vector<form::FormDifference> differences;
        bool unreadable = false;
    };

    bool rangesRead() const { return badRanges_.isEmpty(); }
    void suppressEntryFields(QStringList& fields);
    bool formLooksOdd() const;
    int reportWorkbook(RunHost& host, const Findings& findings) const;

    FormMethod method_;
    QString sheetName_;
    form::FormRanges ranges_;
    QString badRanges_;
    std::optional<form::FormSheet> reference_;
    form::FormArea area_;
    QString referenceEntry_;
    std::vector<Findings> findings_;
    int compared_ = 0; // workbooks compared with the form
};

// The project's ranges a method relies on, parsed from the range texts; `bad` names the fields
// that cannot be read.
form::FormRanges formRangesOf(FormMethod method, const RunHost& host, QString& bad);

} // namespace engine
