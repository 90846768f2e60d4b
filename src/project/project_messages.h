// Every text the project page shows: captions, dialog settings, messages and log lines.
#pragma once

#include <QString>

namespace project::msg {

// Method radio group, in item order.
inline const QString kMethodItems[] = {
    QStringLiteral("A) 자료를 아래로 추가(범위가 일정한 경우)"),
    QStringLiteral("B) 자료를 아래로 추가(범위가 일정하지 않는 경우)"),
    QStringLiteral("C) 자료를 시트별로 오른쪽으로 추가(합산할 경우 합산할 범위 입력)"),
    QStringLiteral("D) 자료 추가 없이 합산된 결과만 표시(합산할 범위 반드시 입력)"),
    QStringLiteral("E) 필요한 셀의 값만 가져오기(예:A7, B5:F10, P10 두개 이상은 쉽표로 구분)"),
};

// Hidden range-kind group, in item order.
inline const QString kRangeKindItems[] = {
    QStringLiteral("a) 취합할 자료의 범위가 일정함"),
    QStringLiteral("b) 취합할 자료의 범위가 일정하지 않음(합계 산출하지 않음)"),
};

inline const QString kDefaultTitleRange = QStringLiteral("A1:");
inline const QString kModifiedMark = QStringLiteral("*");

// Load and new project.
inline const QString kOpenTitle = QStringLiteral("프로젝트 불러오기");
inline const QString kOpenFilter = QStringLiteral("Tabrinel File (*.tbn)|*.tbn");
inline const QString kProjectSubfolder = QStringLiteral("Project");
inline const QString kConfirmNewProject = QStringLiteral("새로운 프로젝트를 설정하시겠습니까?");
inline const QString kConfirmDiscardChanges =
    QStringLiteral("저장하지 않은 프로젝트 환경이 있습니다. 다른 프로젝트를 불러오면 입력한 "
                   "내용이 없어집니다. 계속하시겠습니까?");
inline const QString kConsolidationCaptionOpen = QStringLiteral("취합할 파일(");
inline const QString kConsolidationCaptionClose = QStringLiteral(")");
inline const QString kConsolidationCaption = QStringLiteral("취합할 파일");

// Editor.
inline const QString kMethodDInProgress = QStringLiteral("취합방법 D는 수정중입니다.");
inline const QString kFolderBrowseCaption =
    QStringLiteral("취합할 엑셀파일이 위치한 폴더를 선택하세요");
inline const QString kExampleSubfolder = QStringLiteral("Example");
inline const QString kCompletedTitle = QStringLiteral("프로젝트 완료 파일 등록");
inline const QString kCompletedFilter =
    QStringLiteral("Excel 통합문서(*.xlsx)|*.xlsx|Excel 97 ~ 2003 통합문서(*.xls)|*.xls");
inline const QString kNoCompletedFile = QStringLiteral("완료 파일이 등록되어 있지 않습니다!");

// Page guard.
inline const QString kMethodDRefused = QStringLiteral("취합방법 \"D\"는 프로그램 수정중입니다.");
inline const QString kSaveFirst = QStringLiteral("프로젝트 환경을 저장하십시오!");
inline const QString kNoDataFolder =
    QStringLiteral("취합할 엑셀파일이 있는 폴더가 지정되어 있지 않습니다!");
inline const QString kBadDataFolder = QStringLiteral(
    "취합할 엑셀파일이 있는 폴더가 잘못 지정되어 있습니다! 폴더위치를 확인하십시오!");
inline const QString kDataFolderCaptionOpen = QStringLiteral("DATA폴더 (");
inline const QString kDataFolderCaptionClose = QStringLiteral(")");
inline const QString kResultSubfolder = QStringLiteral("Result");
inline const QString kResultFolderFailed = QStringLiteral("Result 폴더를 만들수 없습니다!");

// Validation.
inline const QString kNoProjectName = QStringLiteral("프로젝트명(업무명)이 없습니다!");
inline const QString kNoSheetName = QStringLiteral("취합할 시트명을 입력하지 않았습니다!");
inline const QString kNoTitleRange = QStringLiteral("타이틀 셀 범위가 지정되어 있지 않습니다!");
inline const QString kBadTitleRange = QStringLiteral("타이틀 범위 지정이 잘못되었습니다!");
inline const QString kNoDataRange =
    QStringLiteral("취합할 자료의 셀 범위가 지정되어 있지 않습니다!");
inline const QString kBadDataRange = QStringLiteral("취합할 자료의 범위가 잘못되었습니다!");
inline const QString kBadDataRangeItemSuffix =
    QStringLiteral(" 취합할 자료의 범위가 잘못되었습니다!");
inline const QString kNoSumRangeAppendOnlyA = QStringLiteral(
    "취합할 자료 범위중 합산할 셀 범위가 지정되어 있지 않습니다! 자료 추가만 합니다!");
inline const QString kNoSumRangeAppendOnlyC =
    QStringLiteral("합산할 셀 범위가 지정되어 있지 않습니다! 자료 추가만 합니다!");
inline const QString kBadSumRange = QStringLiteral("합산할 범위 지정이 잘못되었습니다!");
inline const QString kSumOutsideData =
    QStringLiteral("합산할 범위는 취합할 자료의 범위내에 지정하여야 합니다!");
inline const QString kNoCellItems = QStringLiteral(
    "가져올 셀 범위를 지정하지 않았습니다! 여러 개일 경우 쉽표로 구분하여 입력합니다.");

// Save.
inline const QString kSaveTitle = QStringLiteral("프로젝트 환경 저장");
inline const QString kSaveFilter = QStringLiteral("Tabrinel File(*.tbn)|*.tbn");
inline const QString kProjectSuffix = QStringLiteral("tbn");
// After the path of the file written.
inline const QString kSavedNoticeSuffix = QStringLiteral(" 파일로 프로젝트가 저장되었습니다.");
inline const QString kLogCreated = QStringLiteral(" 프로젝트 생성");
inline const QString kLogModified = QStringLiteral(" 프로젝트 수정");

// Failures the page reports in its own words.
inline const QString kProjectFileUnreadable = QStringLiteral("프로젝트 파일을 열 수 없습니다!\n%1");
inline const QString kNotAProjectFile =
    QStringLiteral("프로젝트 파일이 아닙니다! 프로젝트 파일(*.tbn)을 선택하십시오.\n%1");
inline const QString kBadMethodLine = QStringLiteral(
    "프로젝트 파일의 4번째 줄(취합방법)이 숫자가 아닙니다! 파일을 확인하십시오.\n%1");
inline const QString kBadRangeKindLine = QStringLiteral(
    "프로젝트 파일의 5번째 줄(자료 범위 구분)이 숫자가 아닙니다! 파일을 확인하십시오.\n%1");
inline const QString kProjectFileUnwritable = QStringLiteral(
    "프로젝트 파일을 저장할 수 없습니다! 폴더와 파일의 쓰기 권한을 확인하십시오.\n%1");
inline const QString kUnencodableField = QStringLiteral(
    "'%1' 항목에 파일에 저장할 수 없는 문자가 있습니다! 해당 문자를 지우거나 바꾼 후 다시 "
    "저장하십시오.");
inline const QString kLogFileUnwritable =
    QStringLiteral("로그 파일을 만들거나 기록할 수 없습니다! 폴더와 파일의 쓰기 권한을 "
                   "확인하십시오.\n%1");

// Field names used in the messages above, in project-file line order.
inline const QString kFieldNames[] = {
    QStringLiteral("프로젝트명"),       QStringLiteral("취합할 엑셀파일이 있는 폴더"),
    QStringLiteral("파일 수"),          QStringLiteral("취합방법"),
    QStringLiteral("자료 범위 구분"),   QStringLiteral("취합할 시트명"),
    QStringLiteral("타이틀 셀 범위"),   QStringLiteral("취합할 자료의 셀 범위"),
    QStringLiteral("합산할 셀 범위"),   QStringLiteral("기존 취합 파일"),
    QStringLiteral("기존 취합 시트명"), QStringLiteral("프로젝트 취합 완료 파일 등록"),
};

} // namespace project::msg
