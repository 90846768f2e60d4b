// The texts of the file-selection page: captions, hints, menu entries, messages and the log
// line of sheet printing. Every text here is shown to the user exactly as written.
#pragma once

#include <QString>

namespace files::msg {

// Caption panels of the two lists.
inline const QString kFolderCaption = QStringLiteral("Data폴더(");
inline const QString kFolderCaptionOnEntry = QStringLiteral("DATA폴더 (");
inline const QString kListCaption = QStringLiteral("취합할 파일(");
inline const QString kListCaptionPlain = QStringLiteral("취합할 파일");
inline const QString kCaptionClose = QStringLiteral(")");
inline const QString kFolderPanelHint = QStringLiteral("Data 폴더내의 엑셀파일을 표시합니다.");
inline const QString kListPanelHint = QStringLiteral("취합할 엑셀파일을 표시합니다.");

// Move buttons between the lists.
inline const QString kMoveAllHint = QStringLiteral("전체목록이 취합할 파일로 이동됩니다.");
inline const QString kMoveSelectedHint = QStringLiteral("선택한 것만 취합할 파일로 이동합니다.");
inline const QString kRemoveSelectedHint =
    QStringLiteral("선택한 것만 취합할 파일에서 제외시킵니다.");
inline const QString kRemoveAllHint = QStringLiteral("전체 취합할 파일을 제외시킵니다.");

// Action hints.
inline const QString kRenewHint = QStringLiteral("파일리스트를 새로고침합니다.");
inline const QString kOpenHint = QStringLiteral("선택한 엑셀파일을 오픈합니다.");
inline const QString kPrintHint = QStringLiteral("선택된 엑셀파일의 작업대상Sheet를 인쇄합니다.");
inline const QString kDeleteHint = QStringLiteral("선택된 엑셀파일을 삭제합니다.");
inline const QString kRenameHint = QStringLiteral("선택한 엑셀파일의 파일명을 변경합니다.");
inline const QString kSortHint = QStringLiteral("파일이름순으로 소트 합니다. 또는 해제합니다.");
inline const QString kUpHint = QStringLiteral("선택한 엑셀파일 위치를 위로 이동합니다.");
inline const QString kDownHint = QStringLiteral("선택한 엑셀파일 위치를 아래로 이동합니다.");

// Pop-up menu entries.
inline const QString kMenuRenew = QStringLiteral("새로고침");
inline const QString kMenuOpen = QStringLiteral("엑셀파일오픈");
inline const QString kMenuPrint = QStringLiteral("시트출력");
inline const QString kMenuDelete = QStringLiteral("엑셀파일삭제");
inline const QString kMenuRename = QStringLiteral("파일명변경");
inline const QString kMenuSort = QStringLiteral("소트");
inline const QString kMenuUp = QStringLiteral("위로이동");
inline const QString kMenuDown = QStringLiteral("아래로이동");

// Opening a workbook.
inline const QString kOpenNothing = QStringLiteral("불러올 엑셀파일을 선택하십시오!");
inline const QString kCannotOpen = QStringLiteral("파일을 열 수 없습니다!");
inline const QString kOpenListEmpty = QStringLiteral("실행할 엑셀파일을 선택하십시오!");

// Printing the project sheet.
inline const QString kPrintNothing = QStringLiteral("출력할 엑셀파일을 선택하십시오!");
inline const QString kPrintAskBegin = QStringLiteral("선택한 엑셀파일의 [");
inline const QString kPrintAskEnd = QStringLiteral("] 시트를 출력할까요?");
inline const QString kPrintDone = QStringLiteral(" 출력완료!");
inline const QString kSheetMissingBegin = QStringLiteral("에는 [");
inline const QString kSheetMissingEnd = QStringLiteral("] 시트가 없습니다");
inline const QString kSheetOrFileMissingEnd =
    QStringLiteral("] 시트가 없거나 파일이 존재하지 않습니다");

// Deleting and renaming.
inline const QString kDeleteNothing = QStringLiteral("삭제할 엑셀파일을 먼저 선택하십시오!");
inline const QString kFileMissing = QStringLiteral("선택한 엑셀파일은 존재하지 않습니다!");
inline const QString kInUseBegin = QStringLiteral("선택한 엑셀파일 [");
inline const QString kInUseEnd = QStringLiteral("]은 현재 실행중입니다.");
inline const QString kDeleteAsk = QStringLiteral("선택한 엑셀파일을 삭제할까요? (휴지통에 보관)");
inline const QString kRenameNothing =
    QStringLiteral("파일명을 변경할 엑셀파일을 먼저 선택하십시오!");
inline const QString kRenameCaption = QStringLiteral("엑셀파일명 변경");
inline const QString kRenamePrompt = QStringLiteral("새로운 파일명을 입력하세요!   ");
inline const QString kRenameEmpty = QStringLiteral("파일명을 입력하지 않았습니다!");
inline const QString kRenameRefused = QStringLiteral("파일명을 변경할 수 없습니다!");
// The reason shown on the line after kRenameRefused. %1 the new file name.
inline const QString kRenameNameTaken = QStringLiteral("같은 이름의 파일(%1)이 이미 있습니다.");
// %1 the character or part.
inline const QString kRenameUnusablePart =
    QStringLiteral("파일 이름에 쓸 수 없는 문자(%1)가 들어 있습니다.");
inline const QString kRenameSystemRefused = QStringLiteral(
    "파일 시스템이 이름 변경을 거부했습니다. 파일이 그대로 있는지, 폴더에 쓸 수 있는지 "
    "확인하십시오.");

// Printing failures after the sheet was found. %1 the entry, %2 the sheet, %3 the reason.
inline const QString kPrintFailed = QStringLiteral("%1의 [%2] 시트를 출력할 수 없습니다!\n%3");

} // namespace files::msg
