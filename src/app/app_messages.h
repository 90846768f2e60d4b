// Texts of the program shell and of the main window's controls: captions, hints and the
// messages of start-up, closing and the about window.
#pragma once

#include <QString>

namespace app::msg {

inline const QString kApplicationTitle = QStringLiteral("Tabrinel");
inline const QString kAlreadyRunning = QStringLiteral("Tabrinel 프로그램이 이미 실행중입니다.");
inline const QString kConfirmExit = QStringLiteral("프로그램을 종료할까요?");
// Closing the window while a run works.
inline const QString kConfirmStopForExit = QStringLiteral(
    "취합을 실행하는 중입니다. 실행을 중지하고 프로그램을 종료할까요?\n(지금 처리 중인 파일을 "
    "마친 뒤 중지하며, 결과는 저장하지 않습니다.)");

// Top bar.
inline const QString kHintHelp = QStringLiteral("홈페이지로 접속하여 도움말을 보여줍니다. ");
inline const QString kHintAbout = QStringLiteral("프로그램 정보를 보여줍니다.");
inline const QString kHintExit = QStringLiteral("프로그램을 종료합니다.");

// Pages.
inline const QString kPageProject = QStringLiteral("프로젝트");
inline const QString kPageSheets = QStringLiteral("시트취합");

// Project page: labels.
inline const QString kLabelProject = QStringLiteral("프로젝트명");
inline const QString kLabelDataFolder = QStringLiteral("취합할 엑셀파일이 있는 폴더");
inline const QString kLabelMethod = QStringLiteral("취합방법");
inline const QString kLabelSheet = QStringLiteral("취합할 시트명");
inline const QString kLabelTitle = QStringLiteral("타이틀 셀 범위");
inline const QString kLabelRange = QStringLiteral("취합할 자료의 셀 범위");
inline const QString kLabelSumRange = QStringLiteral("합산할 셀 범위");
inline const QString kLabelCompleteFile = QStringLiteral("프로젝트 취합 완료 파일 등록");
inline const QString kExampleTitle =
    QStringLiteral("서식에서 위쪽 제목이 들어가는 셀범위를 입력 (예) A1:P6");
inline const QString kExampleRange =
    QStringLiteral("(예) A) A7:P10   B) A7:ALL   E) A7, B5:F10, P10");
inline const QString kExampleSumRange =
    QStringLiteral("(예) A) 공백 또는 A7:P10  C) 공백 또는 B5:F10   D) A7, B5:F10, P10");

// Project page: hints.
inline const QString kHintLoad = QStringLiteral("기존 프로젝트 환경설정 파일을 불러옵니다.");
inline const QString kHintNew =
    QStringLiteral("새로운 프로젝트 환경 설정 파일을 만들기 위해서 입력된 값을 초기화 합니다.");
inline const QString kHintSave =
    QStringLiteral("프로젝트 환경 설정을 사용자가 지정한 파일로 저장합니다.");
inline const QString kHintProject = QStringLiteral("프로젝트명(업무명)을 입력합니다.");
inline const QString kHintDataFolder = QStringLiteral(
    "왼쪽의 이미지를 클릭하여 취합할 엑셀파일이 있는 폴더를 지정하면 여기에 폴더 위치가  "
    "표시됩니다.");
inline const QString kHintChooseFolder =
    QStringLiteral("취합할 엑셀파일이 위치한 폴더를 지정합니다.");
inline const QString kHintMethod = QStringLiteral("다섯가지의 취합방법 중 하나를 고르세요.");
inline const QString kHintSheet =
    QStringLiteral("엑셀파일마다 똑같은 이름으로 된 시트명을 입력하세요");
inline const QString kHintTitle =
    QStringLiteral("엑셀서식에서 위쪽 제목이 들어가는 셀범위를 반드시 입력 (예) A1:P6");
inline const QString kHintRange =
    QStringLiteral("자료를 입력하는 범위 지정 (예) A7:P10,  범위가 일정하지 않을 경우 (예) A7:all");
inline const QString kHintSumRange =
    QStringLiteral("자료 입력 범위중 합산할 범위 (예) C7:P10, 자료범위가 일정할 경우 반드시 입력");
inline const QString kHintCompleteFile = QStringLiteral("취합내역이 작성될 시트명을 입력합니다.");
inline const QString kHintChooseCompleteFile = QStringLiteral("취합완료된 엑셀파일을 선택합니다.");
inline const QString kHintOpenCompleteFile = QStringLiteral("엑셀파일을 오픈합니다.");

// Sheet-consolidation page: the list panels, move buttons, actions and menus take their texts
// from files/files_messages.h; the method items from project/project_messages.h.
inline const QString kPanelDataFolder = QStringLiteral("Data폴더");

inline const QString kCaptionCheck = QStringLiteral(" 시트검사");
inline const QString kHintCheck =
    QStringLiteral("취합할 엑셀파일의 시트가 동일한 이름으로 되어 있는지 검사합니다.");
inline const QString kCaptionRun = QStringLiteral(" 프로젝트 실행");
inline const QString kHintRun = QStringLiteral("취합을 실행합니다.");
inline const QString kCaptionStop = QStringLiteral(" 실행 중지");
inline const QString kHintStop = QStringLiteral(
    "실행 중인 취합이나 시트검사를 지금 처리 중인 파일을 마친 뒤 중지합니다. 결과는 저장하지 "
    "않습니다.");
inline const QString kCaptionShowProcess = QStringLiteral("취합과정 보기");
inline const QString kCaptionAutoExclude = QStringLiteral("시트검사후 오류파일 자동제외");
inline const QString kCaptionFormCheck = QStringLiteral("시트검사때 양식도 비교");
inline const QString kHintFormCheck = QStringLiteral(
    "시트검사를 할 때 첫 파일을 양식으로 삼아 각 파일의 제목과 항목 이름, 병합, 행/열의 삽입과 "
    "삭제를 비교합니다.|양식과 다른 파일은 오류로 세고, 자동제외를 선택하면 목록에서 뺍니다. "
    "숫자는 비교하지 않습니다.");
inline const QString kCaptionClearLog = QStringLiteral("로그 지우기");
inline const QString kHintClearLog = QStringLiteral("로그 화면 내용을 지웁니다.");
inline const QString kHintMemo = QStringLiteral("취합내역을 표시하고 Log파일에 저장합니다.");

// About window.
inline const QString kAboutCaption = QStringLiteral("프로그램 정보");
inline const QString kAboutProduct = QStringLiteral("Tabrinel");
inline const QString kAboutTerms =
    QStringLiteral("이 프로그램은 개인과 기관 누구나 무료로 사용할 수 있습니다.");
inline const QString kAboutDistribution =
    QStringLiteral("프로그램을 변경하지 않는 한 자유롭게 배포할 수 있습니다.");
// %1: the current year.
inline const QString kAboutNoticeLine = QStringLiteral("Copyright (C) 2009-%1 Tabrinel 홈페이지");
inline const QString kAboutOk = QStringLiteral("확인");

// Start-up.
inline const QString kLockFailed =
    QStringLiteral("이미 실행중인 Tabrinel 프로그램이 있는지 확인할 수 없습니다. 프로그램은 그대로 "
                   "실행됩니다.\n%1");

} // namespace app::msg
