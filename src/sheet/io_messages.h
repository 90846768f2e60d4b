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

inline constexpr const char* kCannotWrite = "파일을 저장할 수 없습니다";
inline constexpr const char* kCannotReplace = "저장한 파일로 대상 파일을 바꿀 수 없습니다";
inline constexpr const char* kBadSheetName = "사용할 수 없는 시트 이름입니다";
inline constexpr const char* kTextTooLong = "셀 텍스트가 32767자를 넘습니다";
inline constexpr const char* kFormulaTooLong = "수식이 너무 깁니다";

} // namespace sheet::io_messages
