// Texts of the workbook window, of the questions asked when an instance showing a workbook
// quits, and of printing.
#pragma once

#include <QString>

namespace viewer::msg {

inline const QString kOpenExternally = QStringLiteral("기본 프로그램으로 열기");
inline const QString kOpenExternallyHint =
    QStringLiteral("저장된 엑셀파일을 컴퓨터의 기본 프로그램으로 엽니다.");
inline const QString kNotSavedHint =
    QStringLiteral("아직 저장되지 않은 통합문서는 기본 프로그램으로 열 수 없습니다.");
inline const QString kCannotOpenExternally =
    QStringLiteral("기본 프로그램으로 파일을 열 수 없습니다!");
inline const QString kZoom = QStringLiteral("확대/축소");
inline const QString kUntitled = QStringLiteral("새 통합문서");
inline const QString kWindowTitleSuffix = QStringLiteral(" - Tabrinel");
inline const QString kReadOnly = QStringLiteral("(읽기 전용)");

// Quitting with alerts on: one question per workbook with unsaved changes.
inline const QString kAskSaveBefore = QStringLiteral("'");
inline const QString kAskSaveAfter = QStringLiteral("'의 변경 내용을 저장할까요?");
inline const QString kSaveDialogTitle = QStringLiteral("통합문서 저장");
inline const QString kSaveFilter = QStringLiteral("Excel 통합문서 (*.xlsx)|*.xlsx");
inline const QString kSaveFailed = QStringLiteral("파일을 저장할 수 없습니다!");

// Printing a sheet (the printer's own failures; the missing printer is the component's text).
inline const QString kPrinterCannotStart = QStringLiteral("프린터를 시작할 수 없습니다.");
inline const QString kPrinterRefusedPage =
    QStringLiteral("프린터가 다음 쪽을 인쇄하지 못했습니다.");

} // namespace viewer::msg
