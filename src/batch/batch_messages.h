// The batch runner's own texts: its help, its refusals before a run, and its progress bar.
// The run's lines and the project's validation messages are those of the window.
#pragma once

#include <QString>

namespace batch::msg {

inline const QString kHelp = QStringLiteral(
    "사용법: tabrinel-batch 프로젝트.tbn [--files 파일명...] [--output 결과파일] [--check "
    "[--form]] [--quiet]\n"
    "\n"
    "창을 열지 않고 프로젝트 파일(*.tbn)의 취합방법(A, B, C, E)으로 취합하여 결과를 "
    "저장합니다.\n"
    "프로젝트는 '프로젝트 환경 저장' 단추와 같은 규칙으로 검사하며, 잘못된 프로젝트는 같은 "
    "메시지로 거부합니다.\n"
    "\n"
    "옵션:\n"
    "  --files 파일명...   취합할 파일(폴더 없이 파일명만)을 이 순서대로 취합합니다.\n"
    "                      주지 않으면 취합 폴더의 모든 엑셀파일을 목록 순서(이름순)로 "
    "취합합니다.\n"
    "  --output 결과파일   결과를 이 파일로 저장합니다. 주지 않으면 취합 폴더의 Result "
    "폴더에\n"
    "                      yyyymmddhhmmss.xlsx 이름으로 저장합니다. 기존 취합 파일이 지정된 "
    "프로젝트는\n"
    "                      그 파일에 저장합니다.\n"
    "  --check             취합하지 않고 시트검사만 합니다(모든 파일에 시트가 있는지 "
    "확인).\n"
    "  --form              --check와 함께: 첫 파일을 양식으로 삼아 각 파일의 제목, 항목 "
    "이름, 병합을\n"
    "                      비교하고 행/열 삽입과 삭제, 고정범위 아래의 자료를 찾습니다.\n"
    "  --quiet             로그를 화면에 쓰지 않고 저장한 결과 파일의 경로만 출력합니다.\n"
    "  --help              이 도움말을 보여줍니다.\n"
    "\n"
    "로그는 표준출력과 프로젝트의 로그파일(프로젝트명.log)에 기록되고, 진행 막대와 메시지는 "
    "표준오류에 표시됩니다.\n"
    "\n"
    "종료 코드: 0 결과 저장(또는 시트검사 오류 없음), 1 취합 취소 또는 저장 실패(또는 시트검사 "
    "오류나 양식 차이 있음),\n"
    "           2 명령 인수 오류, 3 프로젝트 파일 오류, 4 취합 폴더 또는 파일 오류\n"
    "\n"
    "예:\n"
    "  tabrinel-batch Project/예제A_학교현황.tbn\n"
    "  tabrinel-batch Project/예제B_학교현황.tbn --output ~/취합/학교현황.xlsx\n"
    "  tabrinel-batch Project/예제E_학교현황.tbn --files 학교01.xlsx 학교02.xlsx --quiet\n"
    "  tabrinel-batch Project/예제C_학교현황.tbn --check\n"
    "  tabrinel-batch Project/예제A_학교현황.tbn --check --form\n");

inline const QString kUsageHint = QStringLiteral("도움말: tabrinel-batch --help");
inline const QString kNoProjectArgument = QStringLiteral("프로젝트 파일을 지정하지 않았습니다!");
// %1 the option.
inline const QString kUnknownOption = QStringLiteral("알 수 없는 옵션입니다: %1");
inline const QString kMissingOutput = QStringLiteral("--output 다음에 결과 파일을 지정하십시오!");
inline const QString kMissingFiles = QStringLiteral("--files 다음에 취합할 파일명을 지정하십시오!");
inline const QString kTwoProjects =
    QStringLiteral("프로젝트 파일은 하나만 지정할 수 있습니다: %1, %2");
inline const QString kFormWithoutCheck =
    QStringLiteral("--form(양식 비교)은 시트검사와 함께 하므로 --check와 함께 쓰십시오!");
inline const QString kCheckWithOutput =
    QStringLiteral("--check(시트검사)는 결과를 만들지 않으므로 --output과 함께 쓸 수 없습니다!");

// %1 the path.
inline const QString kProjectMissing = QStringLiteral("프로젝트 파일이 없습니다: %1");
inline const QString kUnknownMethodLine = QStringLiteral(
    "프로젝트 파일의 4번째 줄(취합방법)이 A~E에 해당하지 않습니다! 파일을 확인하십시오.\n%1");
// %1 the data folder.
inline const QString kEmptyDataFolder = QStringLiteral(
    "취합할 폴더(%1)에 엑셀파일(*.xls*)이 없습니다! 취합할 파일을 폴더에 넣으십시오.");
// %1 the name as given, %2 the data folder.
inline const QString kListedFileMissing =
    QStringLiteral("취합할 파일 %1 이(가) 취합할 폴더(%2)에 없습니다!");
// %1 the path as given, %2 the data folder.
inline const QString kListedFileOutside =
    QStringLiteral("취합할 파일 %1 은(는) 취합할 폴더(%2) 안의 파일이 아닙니다!");
// %1 the result file as given, made absolute.
inline const QString kOutputNotWorkbook =
    QStringLiteral("결과 파일은 엑셀 통합문서(.xlsx) 이름이어야 합니다: %1");
// %1 the folder.
inline const QString kOutputFolderMissing =
    QStringLiteral("결과 파일을 저장할 폴더가 없습니다: %1");
// %1 the path.
inline const QString kOutputIsFolder =
    QStringLiteral("결과 파일 이름과 같은 이름의 폴더가 있습니다: %1");
// %1 the path.
inline const QString kResultFolderFailed = QStringLiteral("Result 폴더를 만들 수 없습니다: %1");
inline const QString kNoResult = QStringLiteral("취합 결과를 저장하지 못했습니다.");
// Ctrl+C (or a termination request) stopped the run.
inline const QString kInterrupted =
    QStringLiteral("중지 요청(Ctrl+C)을 받아 실행을 중지하였습니다.");

} // namespace batch::msg
