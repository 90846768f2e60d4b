// The texts of method C (one sheet per workbook), method E (selected cells) and the sheet check:
// their message boxes, log lines and failure codes. The lines every method shares (start line,
// file line, closing line, save step) are in engine_messages.h.
#pragma once

#include <QString>

namespace engine::method_c_text {

inline const QString kBadSumRange = QStringLiteral("수식 범위 설정이 잘못되었습니다");
inline const QString kSummarySuffix = QStringLiteral("집계");

inline const QString kNoSpreadsheet = QStringLiteral("C00E00 엑셀이 설치되어 있지 않습니다!");
inline const QString kSummaryFailed = QStringLiteral("C00E01 ");
inline const QString kSetupFailed = QStringLiteral("C00E02 ");
inline const QString kOpenFailed = QStringLiteral("C00E03 ");
inline const QString kCopyFailed = QStringLiteral("C00E04 ");
inline const QString kOtherFailed = QStringLiteral("C00E05 ");
inline const QString kCancelled =
    QStringLiteral("C00E06 오류가 발생하였습니다. 프로젝트를 취소합니다.");

inline const QString kSumFailed = QStringLiteral("합산하는중 오류가 발생하였습니다! 확인하세요!");
inline const QString kEndLine = QStringLiteral("---------------프로젝트 종료-------------------");

// After C00E04 when two entries give the same data sheet name; %1 the entry, %2 the name.
inline const QString kDuplicateSheetName =
    QStringLiteral("[%1] 파일의 시트 이름 [%2]이(가) 이미 있습니다! 파일 이름을 바꾸십시오.");

} // namespace engine::method_c_text

namespace engine::method_e_text {

// After the item text.
inline const QString kBadBlock = QStringLiteral("범위 설정이 잘못되었습니다");
inline const QString kHeaderName = QStringLiteral("파일명");
// After the item text in the header row.
inline const QString kHeaderValueSuffix = QStringLiteral("의 값");

inline const QString kNoSpreadsheet = QStringLiteral("E00E00 엑셀이 설치되어 있지 않습니다!");
// After the item text.
inline const QString kHeaderWidthFailed =
    QStringLiteral("E00E01 범위 설정이 잘못되었거나 기타오류가 발생하였습니다.");
inline const QString kSetupFailed = QStringLiteral("30E02 ");
inline const QString kNoReader = QStringLiteral("E00E03 엑셀이 설치되어 있지 않습니다!");
// Followed by the entry and msg::kSheetMissingMiddle, the sheet name, msg::kSheetMissingEnd.
inline const QString kOpenFailed = QStringLiteral("E00E04 ");
// After the item text.
inline const QString kLoopWidthFailed = QStringLiteral("E00E05 범위 설정이 잘못되었습니다");
inline const QString kCopyFailed =
    QStringLiteral("E00E06 시트명이 잘못되었거나 기타 알 수 없는 오류발생! ");
inline const QString kCancelled =
    QStringLiteral("E00E07 오류가 발생하였습니다. 프로젝트를 취소합니다.");

// Why a block's width or a result column cannot be worked out.
inline const QString kNoSuchColumn = QStringLiteral("[%1] 열 이름이 잘못되었습니다!");
inline const QString kPastLastColumn =
    QStringLiteral("[%1] 항목이 결과 시트의 마지막 열(IV)을 넘어갑니다!");

} // namespace engine::method_e_text

namespace engine::sheet_check_text {

inline const QString kNoFiles = QStringLiteral("검사할 파일을 선택하여 옮겨 놓으십시오!");
// "파일에 [", the sheet name, "] 시트가 있는지를 검사합니다. 실행할까요?"
inline const QString kConfirmBefore = QStringLiteral("파일에 [");
inline const QString kConfirmAfter = QStringLiteral("] 시트가 있는지를 검사합니다. 실행할까요?");
inline const QString kStartLine = QStringLiteral("---시트검사 시작----");
inline const QString kChecking = QStringLiteral("검사중입니다........");
inline const QString kNoSpreadsheet = QStringLiteral("엑셀이 설치되어 있지 않습니다!");
// After the full path.
inline const QString kMissingFile = QStringLiteral("파일이 존재하지 않습니다");
// The entry, kNoSheetMiddle, the trimmed sheet name, kNoSheetEnd.
inline const QString kNoSheetMiddle = QStringLiteral("파일에 [");
inline const QString kNoSheetEnd = QStringLiteral("] 이름의 시트가 없습니다!");
inline const QString kNoErrors = QStringLiteral("시트명에 오류가 없습니다");
// After the count.
inline const QString kErrorCount = QStringLiteral("개의 오류가 있습니다. 확인하세요!");
inline const QString kEndLine = QStringLiteral("---시트검사  종료----");

} // namespace engine::sheet_check_text

namespace engine::form_check_text {

// Lines of the form check, which runs with the sheet check when its option is ticked. %1 is
// always the workbook's entry (file name).
// %1 the entry, %2 the sheet name, %3 the method letter.
inline const QString kReference =
    QStringLiteral("양식 비교(취합방법 %3): %1 파일의 [%2] 시트를 양식으로 삼습니다");
// %2 the row (or column) after which the change lies, %3 how many.
inline const QString kRowsInserted = QStringLiteral("%1 파일: %2행 아래에 %3행이 삽입되었습니다");
inline const QString kRowsInsertedAtTop = QStringLiteral("%1 파일: 1행 위에 %2행이 삽입되었습니다");
inline const QString kRowsDeleted = QStringLiteral("%1 파일: %2행 아래에서 %3행이 삭제되었습니다");
inline const QString kRowsDeletedAtTop = QStringLiteral("%1 파일: 맨 위에서 %2행이 삭제되었습니다");
inline const QString kColumnsInserted =
    QStringLiteral("%1 파일: %2열 오른쪽에 %3열이 삽입되었습니다");
inline const QString kColumnsInsertedAtLeft =
    QStringLiteral("%1 파일: A열 왼쪽에 %2열이 삽입되었습니다");
inline const QString kColumnsDeleted =
    QStringLiteral("%1 파일: %2열 오른쪽에서 %3열이 삭제되었습니다");
inline const QString kColumnsDeletedAtLeft =
    QStringLiteral("%1 파일: 맨 왼쪽에서 %2열이 삭제되었습니다");
// %2 the workbook's cell, %3 the form's text, %4 the workbook's text.
inline const QString kLabelDiffers =
    QStringLiteral("%1 파일 %2 셀이 양식과 다릅니다: 양식 \"%3\", 파일 \"%4\"");
inline const QString kEmptyCell = QStringLiteral("(빈 셀)");
// %2 the workbook's cell, %3 the form's merged range, %4 the workbook's.
inline const QString kMergeDiffers =
    QStringLiteral("%1 파일 %2 셀의 병합이 양식과 다릅니다: 양식 %3, 파일 %4");
inline const QString kNotMerged = QStringLiteral("병합 없음");
// %2 the fixed data range, %3 the rows ("37행" or "37~39행").
inline const QString kDataBelow =
    QStringLiteral("%1 파일: 데이터 범위(%2) 아래 %3에 자료가 있어 취합에서 빠집니다");
inline const QString kOneRow = QStringLiteral("%1행");
inline const QString kRows = QStringLiteral("%1~%2행");
// %2 how many differences were not listed.
inline const QString kMoreDifferences =
    QStringLiteral("%1 파일: 이 밖에 %2건의 차이가 더 있습니다");
inline const QString kUnreadable = QStringLiteral("%1 파일: 양식을 비교할 시트를 읽지 못했습니다");
// %1 what could not be read.
inline const QString kBadRanges =
    QStringLiteral("양식 비교 범위를 읽을 수 없어 양식을 비교하지 않았습니다: %1");
inline const QString kBadTitleRange = QStringLiteral("타이틀 범위");
inline const QString kBadDataRange = QStringLiteral("Data 범위");
inline const QString kBadSumRange = QStringLiteral("수식 적용할 범위");
// %1 the cells, joined by ", ".
inline const QString kEntryFields =
    QStringLiteral("파일마다 다른 칸(기관명 등)은 비교하지 않았습니다: %1");
// %1 the form's entry.
inline const QString kMostDiffer = QStringLiteral(
    "대부분의 파일이 양식과 같은 곳에서 다릅니다. 양식으로 삼은 %1 파일이 맞는지 확인하세요!");
inline const QString kNotExcluded =
    QStringLiteral("양식이 맞는지 알 수 없어 양식과 다른 파일을 목록에서 빼지 않았습니다");
inline const QString kSameForm = QStringLiteral("모든 파일이 양식과 같습니다");

} // namespace engine::form_check_text
