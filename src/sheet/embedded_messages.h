// Messages of the embedded spreadsheet component's object layer. Callers log them after their
// own codes, so each one says plainly what went wrong.
#pragma once

namespace sheet::messages {

inline constexpr const char* kInstanceQuit = "종료된 스프레드시트 인스턴스는 사용할 수 없습니다.";
inline constexpr const char* kWorkbookClosed = "닫힌 통합 문서는 사용할 수 없습니다.";
inline constexpr const char* kSheetDeleted = "삭제된 시트는 사용할 수 없습니다.";
inline constexpr const char* kNoWorkbook = "열려 있는 통합 문서가 없습니다.";
inline constexpr const char* kNoSheetIndex = "해당 번호의 시트가 없습니다: ";
inline constexpr const char* kNoSheetName = "해당 이름의 시트가 없습니다: ";
inline constexpr const char* kNoWorkbookIndex = "해당 번호의 통합 문서가 없습니다: ";

inline constexpr const char* kBadRange = "셀 범위를 읽을 수 없습니다: ";
inline constexpr const char* kBadCell = "셀 위치가 시트 범위를 벗어났습니다: ";
inline constexpr const char* kAreaTooLarge = "한 번에 채우기에는 범위가 너무 큽니다: ";

inline constexpr const char* kSheetNameEmpty = "시트 이름이 비어 있습니다.";
inline constexpr const char* kSheetNameTooLong = "시트 이름은 31자를 넘을 수 없습니다: ";
inline constexpr const char* kSheetNameBadChar =
    "시트 이름에 쓸 수 없는 문자(: \\ / ? * [ ])가 들어 있습니다: ";
inline constexpr const char* kSheetNameApostrophe =
    "시트 이름은 작은따옴표(')로 시작하거나 끝날 수 없습니다: ";
inline constexpr const char* kSheetNameTaken = "같은 이름의 시트가 이미 있습니다: ";
inline constexpr const char* kSheetNameNotUtf8 = "시트 이름의 문자 인코딩이 잘못되었습니다.";

inline constexpr const char* kDeleteOnlySheet = "통합 문서에는 시트가 하나 이상 있어야 합니다.";
inline constexpr const char* kUnprotectNeedsPassword =
    "암호로 보호된 시트입니다. 보호를 해제하려면 암호가 필요합니다: ";
inline constexpr const char* kUnprotectWrongPassword = "시트 보호 해제 암호가 맞지 않습니다: ";
inline constexpr const char* kSheetProtected = "보호된 시트의 셀은 변경할 수 없습니다: ";
inline constexpr const char* kCopyToOtherInstance =
    "다른 스프레드시트 인스턴스의 시트 뒤로는 시트를 복사할 수 없습니다.";

inline constexpr const char* kClipboardEmpty = "붙여넣을 내용이 없습니다. 먼저 복사하십시오.";
inline constexpr const char* kPasteOutside = "붙여넣을 영역이 시트 범위를 벗어납니다.";
inline constexpr const char* kPasteRowsNotAtColumnA =
    "행 전체를 복사한 내용은 A열의 셀에만 붙여넣을 수 있습니다.";
inline constexpr const char* kPasteColumnsNotAtRow1 =
    "열 전체를 복사한 내용은 1행의 셀에만 붙여넣을 수 있습니다.";
inline constexpr const char* kPasteSheetNotAtA1 =
    "시트 전체를 복사한 내용은 A1 셀에만 붙여넣을 수 있습니다.";

inline constexpr const char* kBadFormula = "수식을 읽을 수 없습니다: ";
inline constexpr const char* kFormulaSheetMissing = "수식이 가리키는 시트가 없습니다: ";
inline constexpr const char* kFormulaTooLong =
    "수식이 너무 깁니다(8,192자까지 쓸 수 있습니다). 글자 수: ";
inline constexpr const char* kFormulaTooDeep = "수식의 괄호나 함수가 너무 깊게 겹쳐 있습니다: ";
inline constexpr const char* kFormulaOutside = "수식을 옮기면 참조가 시트 범위를 벗어납니다: ";

inline constexpr const char* kNoPrinter = "사용할 수 있는 프린터가 없습니다.";
inline constexpr const char* kBadColorIndex = "색 번호는 1부터 56까지입니다: ";
inline constexpr const char* kBadColumnWidth = "열 너비는 0부터 255까지입니다: ";
inline constexpr const char* kBadRowHeight = "행 높이는 0부터 409까지입니다: ";
inline constexpr const char* kBadZoom = "확대/축소 비율은 10부터 400까지입니다: ";
inline constexpr const char* kBadOrientation = "용지 방향은 1(세로) 또는 2(가로)입니다: ";
inline constexpr const char* kBadMargin = "여백은 0 이상 49 미만(인치)이어야 합니다: ";
inline constexpr const char* kBadPaperSize = "용지 크기 번호가 잘못되었습니다: ";
inline constexpr const char* kBadFitPages = "페이지에 맞출 쪽 수가 잘못되었습니다: ";

inline constexpr const char* kPathOpenAsOtherWorkbook =
    "같은 파일을 가리키는 다른 통합 문서가 열려 있어 저장할 수 없습니다: ";
inline constexpr const char* kEmptyPath = "파일 경로가 비어 있습니다.";
inline constexpr const char* kInjectedFault = "테스트에서 지정한 오류입니다: ";

} // namespace sheet::messages
