// The run's own texts: the run button's questions, the log lines every method shares, the
// range messages, and the codes and lines of methods A and B. Methods C and E keep theirs in
// their own headers.
#pragma once

#include <QString>

namespace engine::msg {

// Run button and clear-log button.
inline const QString kRunEmptyList = QStringLiteral("취합할 파일을 선택하여 옮겨 놓으십시오!");
inline const QString kConfirmRun = QStringLiteral("프로젝트를 실행할까요?");
inline const QString kClearLogCaption = QStringLiteral("로그삭제 여부");
inline const QString kClearLogQuestion = QStringLiteral(" 로그파일 내용까지 삭제할까요?");
// Shown once per run when the log file cannot be written; %1 the path, %2 the reason.
inline const QString kLogFileUnwritable =
    QStringLiteral("로그파일(%1)에 기록할 수 없습니다: %2\n로그는 화면에만 표시됩니다.");

// Shown when the log file cannot be emptied; %1 the path, %2 the reason.
inline const QString kLogFileNotCleared = QStringLiteral("로그파일(%1)을 비울 수 없습니다: %2");
// Shown and logged when a run stops on a failure no step expected; %1 the reason.
inline const QString kRunStoppedUnexpectedly =
    QStringLiteral("취합 중 예기치 않은 오류가 발생하였습니다: %1");

// Logged when the user stops a run between two workbooks; the method's cancel line follows.
inline const QString kStoppedByUser = QStringLiteral("사용자가 실행을 중지하였습니다.");
// Logged when the stop came while the result was being saved: the save was finished first.
inline const QString kStopDuringSave =
    QStringLiteral("저장 중에 실행 중지를 요청하여 저장을 마친 뒤 중지하였습니다.");

// Frame lines shared by the methods.
inline const QString kNoFiles = QStringLiteral("취합할 엑셀파일을 지정하지 않았습니다!");
inline const QString kStartLine = QStringLiteral("---------------프로젝트 실행-------------------");
inline const QString kShowProcessLine = QStringLiteral("취합완성본 엑셀파일을 실행합니다!");
inline const QString kApplyingTitle = QStringLiteral("타이틀 셀을 적용하고 있습니다!");
inline const QString kApplyingWidths =
    QStringLiteral("첫번째 서식을 읽어 셀 간격을 적용하고 있습니다.!");
inline const QString kApplyingPageSetup =
    QStringLiteral("줌.여백.용지.인쇄방향 설정값을 적용하고 있습니다.!");
inline const QString kFileWorking = QStringLiteral("파일을 수행중입니다");
// "<code> <file>파일에 [<sheet>] 이름의 시트가 없거나 기타 오류발생!"
inline const QString kSheetMissingMiddle = QStringLiteral("파일에 [");
inline const QString kSheetMissingEnd = QStringLiteral("] 이름의 시트가 없거나 기타 오류발생!");
// The line after a workbook that could not be read at all: the reader's reason (damaged,
// encrypted, no workbook, a format it does not read).
inline const QString kReadFailureReason = QStringLiteral("    원인: ");
inline const QString kClosingLine =
    QStringLiteral("------------->>프로젝트 종료<<-----------------");

// The save step.
inline const QString kSaveDialogTitle = QStringLiteral("취합엑셀 파일 저장");
inline const QString kSaveDialogFilter =
    QStringLiteral("Excel 통합문서 (*.xlsx)|*.xlsx|Excel 97 ~2003 통합문서(*.xls)|*.xls");
inline const QString kSaveDialogSuffix = QStringLiteral("xlsx");
inline const QString kSavingOverExisting = QStringLiteral("파일로 저장중입니다. 기다려주세요.");
inline const QString kFileInUse = QStringLiteral(" 파일이 실행중입니다!");
inline const QString kSavedUnderTimeStamp = QStringLiteral("파일로 저장하였습니다.");
inline const QString kSavedUnderChosen = QStringLiteral("으로 저장하였습니다.");
// Put after the saved path's line when a .xls name was given: the result is always .xlsx.
inline const QString kSavedAsXlsxInstead =
    QStringLiteral(" (xls 형식으로는 저장할 수 없어 확장자를 xlsx로 바꾸어 저장하였습니다)");
inline const QString kSaveCancelled = QStringLiteral("저장을 취소하였습니다!");
// Method A's not-in-use line has no closing point; B, C and E have one.
inline const QString kSavingChosenA =
    QStringLiteral("취합이 끝났습니다! 저장중입니다. 기다려주세요");
inline const QString kSavingChosen =
    QStringLiteral("취합이 끝났습니다! 저장중입니다. 기다려주세요.");
// Shown and logged when the result cannot be written; %1 the path, %2 the reason.
inline const QString kSaveFailed = QStringLiteral(
    "%1 파일로 저장하지 못했습니다! (%2) 취합 결과는 열려 있는 엑셀 창에서 직접 저장하십시오.");

// Completion lines.
inline const QString kDoneSave = QStringLiteral("취합이 끝났습니다! 저장하십시오.");
inline const QString kDoneNoSum =
    QStringLiteral("취합이 끝났습니다! 합산할 범위를 지정하지 않았습니다! 저장하십시오.");

// Range messages, shown before anything starts.
inline const QString kBadTitleRange = QStringLiteral("타이틀 범위 설정이 잘못되었습니다");
inline const QString kBadDataRange = QStringLiteral("Data 범위 설정이 잘못되었습니다");
inline const QString kBadSumRange = QStringLiteral("수식 적용할 범위 설정이 잘못되었습니다");

// Method A.
inline const QString kA00E00 = QStringLiteral("A00E00 엑셀이 설치되어 있지 않습니다!");
inline const QString kA00E01 = QStringLiteral("A00E01 ");
inline const QString kA00E03 = QStringLiteral("A00E03 기본프린터 설정 오류! 확인하세요!");
inline const QString kA00E04 = QStringLiteral("A00E04 기타 알 수 없는 오류 발생!");
inline const QString kA00E05 = QStringLiteral("A00E05 ");
inline const QString kA00E06 =
    QStringLiteral("A00E06 시트명이 잘못되었거나 기타 알 수 없는 오류발생! ");
inline const QString kA00E07 =
    QStringLiteral("A00E07 오류가 발생하였습니다. 프로젝트를 취소합니다.");

// Method B.
inline const QString kB00E00 = QStringLiteral("B00E00 엑셀이 설치되어 있지 않습니다!");
inline const QString kB00E01 = QStringLiteral("B00E01 ");
inline const QString kB00E03 = QStringLiteral("B00E03 기본프린터 설정 오류! 확인하세요!");
inline const QString kB00E04Preparing = QStringLiteral("B00E04 기타오류가 발생하였습니다!");
inline const QString kB00E04File = QStringLiteral("B00E04 ");
inline const QString kB00E05 = QStringLiteral("B00E05 시트명이 잘못되었거나 기타 오류발생! ");
inline const QString kB00E06 =
    QStringLiteral("B00E06 오류가 발생하였습니다. 프로젝트를 취소합니다.");
inline const QString kExistingFileOpenFailed =
    QStringLiteral("파일을 여는데 실패하였습니다. 파일이름 또는 시트명을 확인하세요!");

} // namespace engine::msg
