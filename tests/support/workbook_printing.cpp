#include "workbook_printing.h"

#include <iomanip>

namespace sheet {

namespace {

std::ostream& operator<<(std::ostream& out, const std::optional<Rgb>& color) {
    if (!color)
        return out << "auto";
    return out << '#' << std::hex << std::setw(6) << std::setfill('0') << *color << std::dec
               << std::setfill(' ');
}

std::ostream& operator<<(std::ostream& out, const BorderSide& side) {
    return out << (side.style.empty() ? "-" : side.style) << ' ' << side.color;
}

} // namespace

void PrintTo(const Style& s, std::ostream* out) {
    *out << "{font " << s.font.name << ' ' << s.font.size << (s.font.bold ? " b" : "")
         << (s.font.italic ? " i" : "") << (s.font.strike ? " s" : "") << " u"
         << static_cast<int>(s.font.underline) << ' ' << s.font.color << "; fill " << s.fill.pattern
         << ' ' << s.fill.foreground << ' ' << s.fill.background << "; border L " << s.border.left
         << " R " << s.border.right << " T " << s.border.top << " B " << s.border.bottom << " D "
         << s.border.diagonal << (s.border.diagonalUp ? " up" : "")
         << (s.border.diagonalDown ? " down" : "") << "; format " << s.numberFormatId << " '"
         << s.numberFormatCode << "'; align '" << s.alignment.horizontal << "' '"
         << s.alignment.vertical << "' wrap " << s.alignment.wrap << " rot " << s.alignment.rotation
         << " indent " << s.alignment.indent << " shrink " << s.alignment.shrinkToFit << "; locked "
         << s.protection.locked << " hidden " << s.protection.hidden << '}';
}

void PrintTo(const CellValue& value, std::ostream* out) {
    static const char* kTypes[] = {"empty", "number", "text", "boolean", "error"};
    *out << kTypes[static_cast<int>(value.type)] << ' ' << value.number << " '" << value.text
         << "'";
}

void PrintTo(const PageSetup& p, std::ostream* out) {
    *out << "{orientation " << p.orientation << " margins " << p.leftMargin << ' ' << p.rightMargin
         << ' ' << p.topMargin << ' ' << p.bottomMargin << ' ' << p.headerMargin << ' '
         << p.footerMargin << " scale " << p.scale << " fit " << p.fitToPages << ' ' << p.fitWidth
         << 'x' << p.fitHeight << " paper " << p.paperSize << '}';
}

void PrintTo(const SheetProtection& p, std::ostream* out) {
    *out << "{on " << p.on << " hash '" << p.passwordHash << "' " << p.algorithmName << ' '
         << p.saltValue << ' ' << p.spinCount << '}';
}

void PrintTo(const CellRect& r, std::ostream* out) {
    *out << '(' << r.firstRow << ',' << r.firstColumn << ")-(" << r.lastRow << ',' << r.lastColumn
         << ')';
}

} // namespace sheet
