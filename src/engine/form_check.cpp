#include "engine/form_check.h"

#include "engine/method_ce_messages.h"
#include "engine/method_e_layout.h"
#include "sheet/a1_reference.h"
#include "sheet/embedded_application.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace engine {

namespace text = form_check_text;
using form::DifferenceKind;
using form::FormDifference;

namespace {

// Findings of one workbook listed one by one; the rest are counted in one line.
constexpr int kMaxLinesPerWorkbook = 20;

std::optional<sheet::CellAddress> addressOf(const QString& part) {
    return sheet::parseCellAddress(part.trimmed().toUpper().toStdString());
}

// "A1:P6" or "C5" as a rectangle, whichever corner comes first.
std::optional<sheet::CellRect> rectOf(const QString& range) {
    const qsizetype colon = range.indexOf(u':');
    const auto first = addressOf(colon < 0 ? range : range.left(colon));
    const auto last = addressOf(colon < 0 ? range : range.mid(colon + 1));
    if (!first || !last)
        return std::nullopt;
    return sheet::CellRect{std::min(first->row, last->row), std::min(first->column, last->column),
                           std::max(first->row, last->row), std::max(first->column, last->column)};
}

void readRequired(const QString& range, const QString& name, std::optional<sheet::CellRect>& out,
                  QStringList& bad) {
    out = rectOf(range);
    if (!out)
        bad << name;
}

QChar letterOf(FormMethod method) {
    switch (method) {
    case FormMethod::A:
        return u'A';
    case FormMethod::B:
        return u'B';
    case FormMethod::C:
        return u'C';
    case FormMethod::E:
        return u'E';
    }
    return u'?';
}

// The sheet as the open workbook holds it. Only the embedded component hands its cells out in
// bulk; another backend gives nullopt and the workbook is reported as unreadable.
std::optional<form::FormSheet> readFormSheet(sheet::IApplication& app,
                                             sheet::IWorksheet& worksheet) {
    auto* embedded = dynamic_cast<sheet::EmbeddedApplication*>(&app);
    if (!embedded)
        return std::nullopt;
    const int book = embedded->activeWorkbookIndex();
    if (book < 0)
        return std::nullopt;
    const sheet::Workbook& model = embedded->workbookModel(book);
    int index = -1;
    try {
        index = worksheet.Index() - 1;
    } catch (const std::exception&) {
        return std::nullopt;
    }
    if (index < 0 || index >= static_cast<int>(model.sheets.size()))
        return std::nullopt;
    return form::FormSheet::of(*model.sheets[static_cast<size_t>(index)]);
}

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

QString cellName(long row, long column) {
    return qt(sheet::cellAddressText(row, column));
}

QString shiftLine(const QString& entry, const FormDifference& difference) {
    const form::Shift& shift = difference.shift;
    const long count = std::abs(shift.count);
    if (difference.kind == DifferenceKind::RowsShifted) {
        if (shift.after == 0)
            return (shift.count > 0 ? text::kRowsInsertedAtTop : text::kRowsDeletedAtTop)
                .arg(entry)
                .arg(count);
        return (shift.count > 0 ? text::kRowsInserted : text::kRowsDeleted)
            .arg(entry)
            .arg(shift.after)
            .arg(count);
    }
    if (shift.after == 0)
        return (shift.count > 0 ? text::kColumnsInsertedAtLeft : text::kColumnsDeletedAtLeft)
            .arg(entry)
            .arg(count);
    return (shift.count > 0 ? text::kColumnsInserted : text::kColumnsDeleted)
        .arg(entry, qt(sheet::columnLetters(shift.after)))
        .arg(count);
}

QString differenceLine(const QString& entry, const FormDifference& difference) {
    switch (difference.kind) {
    case DifferenceKind::RowsShifted:
    case DifferenceKind::ColumnsShifted:
        return shiftLine(entry, difference);
    case DifferenceKind::Label: {
        const QString form =
            difference.formText.empty() ? text::kEmptyCell : qt(difference.formText);
        const QString book =
            difference.bookText.empty() ? text::kEmptyCell : qt(difference.bookText);
        return text::kLabelDiffers.arg(entry, cellName(difference.bookRow, difference.bookColumn),
                                       form, book);
    }
    case DifferenceKind::Merge: {
        const QString form =
            difference.formText.empty() ? text::kNotMerged : qt(difference.formText);
        const QString book =
            difference.bookText.empty() ? text::kNotMerged : qt(difference.bookText);
        return text::kMergeDiffers.arg(entry, cellName(difference.bookRow, difference.bookColumn),
                                       form, book);
    }
    case DifferenceKind::DataBelow: {
        const QString rows =
            difference.firstDataRow == difference.lastDataRow
                ? text::kOneRow.arg(difference.firstDataRow)
                : text::kRows.arg(difference.firstDataRow).arg(difference.lastDataRow);
        return text::kDataBelow.arg(entry, qt(difference.formText), rows);
    }
    }
    return {};
}

bool isPlaceDifference(const FormDifference& difference) {
    return difference.kind == DifferenceKind::Label || difference.kind == DifferenceKind::Merge;
}

using Place = std::tuple<DifferenceKind, long, long>;

Place placeOf(const FormDifference& difference) {
    return {difference.kind, difference.formRow, difference.formColumn};
}

} // namespace

form::FormRanges formRangesOf(FormMethod method, const RunHost& host, QString& bad) {
    form::FormRanges ranges;
    QStringList badFields;
    if (method == FormMethod::A || method == FormMethod::B)
        readRequired(host.TitleRange(), text::kBadTitleRange, ranges.title, badFields);
    if (method == FormMethod::A)
        readRequired(host.DataRange(), text::kBadDataRange, ranges.data, badFields);
    if (method == FormMethod::C && host.SumRangeEnabled() && !host.SumRange().trimmed().isEmpty())
        readRequired(host.SumRange(), text::kBadSumRange, ranges.sum, badFields);
    if (method == FormMethod::E) {
        // Items that name no cell are the run's to report; they have no labels to compare.
        for (const CellItem& item : splitCellList(host.DataRange())) {
            if (const auto rect = rectOf(item.text))
                ranges.items.push_back(*rect);
        }
    }
    bad = badFields.join(QStringLiteral(", "));
    return ranges;
}

FormCheck::FormCheck(FormMethod method, const RunHost& host)
    : method_(method), sheetName_(host.SheetName()) {
    ranges_ = formRangesOf(method, host, badRanges_);
}

void FormCheck::examine(int index, const QString& entry, sheet::IApplication& app,
                        sheet::IWorksheet& worksheet) {
    if (!rangesRead())
        return;
    std::optional<form::FormSheet> sheet = readFormSheet(app, worksheet);
    if (!reference_ && sheet) {
        reference_ = std::move(sheet);
        area_ = form::formAreaOf(method_, ranges_, *reference_);
        referenceEntry_ = entry;
        return;
    }
    Findings findings{index, entry, {}, !sheet};
    if (sheet) {
        ++compared_;
        findings.differences = form::compareForms(*reference_, *sheet, area_);
    }
    if (findings.unreadable || !findings.differences.empty())
        findings_.push_back(std::move(findings));
}

// A cell that differs from the form in most workbooks is one every reporting body fills in
// (its name, a date): it is left out and named once, instead of flagging every workbook.
void FormCheck::suppressEntryFields(QStringList& fields) {
    std::map<Place, int> workbooksDiffering;
    for (const Findings& findings : findings_) {
        for (const FormDifference& difference : findings.differences) {
            if (isPlaceDifference(difference))
                ++workbooksDiffering[placeOf(difference)];
        }
    }
    std::map<Place, bool> entryField;
    for (const auto& [place, count] : workbooksDiffering) {
        if (count >= 2 && count * 2 > compared_) {
            entryField[place] = true;
            const QString name = cellName(std::get<1>(place), std::get<2>(place));
            if (!fields.contains(name))
                fields << name;
        }
    }
    if (entryField.empty())
        return;
    for (Findings& findings : findings_) {
        auto& differences = findings.differences;
        differences.erase(std::remove_if(differences.begin(), differences.end(),
                                         [&entryField](const FormDifference& difference) {
                                             return isPlaceDifference(difference) &&
                                                    entryField.count(placeOf(difference));
                                         }),
                          differences.end());
    }
}

bool FormCheck::formLooksOdd() const {
    std::map<Place, int> workbooksSharing;
    for (const Findings& findings : findings_) {
        for (const FormDifference& difference : findings.differences) {
            if (!isPlaceDifference(difference))
                ++workbooksSharing[{difference.kind, difference.shift.after,
                                    difference.shift.count}];
        }
    }
    return std::any_of(
        workbooksSharing.begin(), workbooksSharing.end(),
        [this](const auto& shared) { return shared.second >= 2 && shared.second * 2 > compared_; });
}

int FormCheck::reportWorkbook(RunHost& host, const Findings& findings) const {
    if (findings.unreadable) {
        host.Log(text::kUnreadable.arg(findings.entry));
        return 1;
    }
    const int count = static_cast<int>(findings.differences.size());
    for (int i = 0; i < std::min(count, kMaxLinesPerWorkbook); ++i)
        host.Log(differenceLine(findings.entry, findings.differences[static_cast<size_t>(i)]));
    if (count > kMaxLinesPerWorkbook)
        host.Log(text::kMoreDifferences.arg(findings.entry).arg(count - kMaxLinesPerWorkbook));
    return count;
}

int FormCheck::report(RunHost& host, bool markDiffering) {
    if (!rangesRead()) {
        host.Log(text::kBadRanges.arg(badRanges_));
        return 1;
    }
    if (reference_)
        host.Log(
            text::kReference.arg(referenceEntry_, sheetName_.trimmed()).arg(letterOf(method_)));
    QStringList entryFields;
    suppressEntryFields(entryFields);
    std::vector<int> differing;
    int total = 0;
    for (const Findings& findings : findings_) {
        const int found = reportWorkbook(host, findings);
        total += found;
        if (found > 0)
            differing.push_back(findings.index);
    }
    if (!entryFields.isEmpty())
        host.Log(text::kEntryFields.arg(entryFields.join(QStringLiteral(", "))));
    // When most workbooks share one shift or one data-below finding, the form itself is the
    // odd one out: dropping the rest from the list would leave the wrong workbook to consolidate.
    if (formLooksOdd()) {
        host.Log(text::kMostDiffer.arg(referenceEntry_));
        if (markDiffering)
            host.Log(text::kNotExcluded);
        markDiffering = false;
    }
    for (const int index : differing) {
        if (markDiffering)
            host.SetEntrySelected(index, true);
    }
    if (total == 0 && reference_)
        host.Log(text::kSameForm);
    return total;
}

} // namespace engine
