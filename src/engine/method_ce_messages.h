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
