// Messages of workbook reading and writing. Each is put after the file's path ("path: text").
#pragma once

namespace sheet::io_messages {

inline constexpr const char* kCannotOpen = "파일을 열 수 없습니다";
inline constexpr const char* kNotWorkbook = "통합 문서 파일이 아닙니다";
inline constexpr const char* kCorruptZip = "파일이 손상되었습니다";
inline constexpr const char* kEncrypted = "암호로 보호된(암호화된) 통합 문서는 열 수 없습니다";
inline constexpr const char* kMissingPart = "통합 문서에 필요한 부분이 없습니다";
inline constexpr const char* kMalformedXml = "통합 문서의 XML 형식이 잘못되었습니다";
inline constexpr const char* kDoctype = "DTD 또는 엔터티 선언이 들어 있는 XML은 읽지 않습니다";
inline constexpr const char* kPartTooLarge = "압축을 푼 부분의 크기가 한도를 넘습니다";
inline constexpr const char* kFileTooLarge = "압축을 푼 전체 크기가 한도를 넘습니다";
inline constexpr const char* kBadReference = "잘못된 셀 참조입니다";
inline constexpr const char* kOutOfRange = "행 또는 열 번호가 허용 범위를 벗어납니다";
inline constexpr const char* kNoSheets = "통합 문서에 워크시트가 없습니다";
inline constexpr const char* kXlsUnreadable = "xls 파일을 읽을 수 없습니다";
inline constexpr const char* kXlsTooOld = "1995년 이전 형식(BIFF2~BIFF4)의 xls 파일은 지원하지 "
                                          "않습니다. 새 형식(.xlsx)으로 다시 저장한 뒤 "
                                          "사용하십시오";
inline constexpr const char* kTooManyStrings = "공유 문자열 번호가 범위를 벗어납니다";
inline constexpr const char* kBadNumber = "정수가 와야 할 곳에 잘못된 숫자가 있습니다";
inline constexpr const char* kTooManyCells =
    "파일 크기에 비해 셀 또는 문자열이 너무 많습니다(손상되었거나 조작된 파일)";
inline constexpr const char* kWorksheetRestTooLarge =
    "워크시트에서 셀을 뺀 나머지 내용의 크기가 한도를 넘습니다";
inline constexpr const char* kUnknownErrorValue = "알 수 없는 오류 값이 셀에 있습니다";
inline constexpr const char* kTooManyParts =
    "통합 문서에 딸린 그림, 차트, 표 등의 부분이 너무 많습니다";

inline constexpr const char* kCannotWrite = "파일을 저장할 수 없습니다";
inline constexpr const char* kCannotReplace = "저장한 파일로 대상 파일을 바꿀 수 없습니다";
inline constexpr const char* kBadSheetName = "사용할 수 없는 시트 이름입니다";
inline constexpr const char* kEmptySheetName = "이름이 없는 시트가 있어 저장할 수 없습니다";
inline constexpr const char* kTextTooLong = "셀 텍스트가 32767자를 넘습니다";
inline constexpr const char* kFormulaTooLong = "수식이 너무 깁니다";

} // namespace sheet::io_messages
