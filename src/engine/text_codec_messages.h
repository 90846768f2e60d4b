// Messages of the text-file codec, shown by whoever reads or writes a text file of the program.
#pragma once

#include <QString>

namespace engine::msg {

// %1: the character, %2: its code point in hexadecimal.
inline const QString kUnencodable =
    QStringLiteral("'%1'(U+%2) 글자는 한국어 문자 코드(CP949)로 저장할 수 없습니다. 이 글자를 "
                   "지우거나 다른 글자로 바꾸십시오.");
inline const QString kUndecodable = QStringLiteral(
    "%1 파일의 문자 코드를 읽을 수 없습니다. UTF-8 또는 CP949(한국어) 텍스트 파일이어야 합니다.");
inline const QString kCannotRead = QStringLiteral("%1 파일을 읽을 수 없습니다.\n%2");
inline const QString kCannotWrite = QStringLiteral("%1 파일에 쓸 수 없습니다.\n%2");
inline const QString kNoCp949 =
    QStringLiteral("이 시스템에서는 한국어 문자 코드(CP949)를 변환할 수 없습니다.");

} // namespace engine::msg
