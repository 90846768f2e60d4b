#include "sheet/sheet_names.h"

#include "sheet/automation.h"
#include "sheet/embedded_messages.h"

namespace sheet::embedded {

namespace {

constexpr long kMaxNameLength = 31;

bool isContinuationByte(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// The first `count` characters of a UTF-8 text.
std::string utf8Prefix(const std::string& text, long count) {
    size_t at = 0;
    for (long taken = 0; at < text.size() && taken < count; ++taken) {
        ++at;
        while (at < text.size() && isContinuationByte(static_cast<unsigned char>(text[at])))
            ++at;
    }
    return text.substr(0, at);
}

int sheetIndexOf(const Workbook& workbook, const std::string& name) {
    return workbook.indexOf(name);
}

} // namespace

long utf8Length(const std::string& text) {
    long length = 0;
    for (size_t at = 0; at < text.size(); ++length) {
        auto lead = static_cast<unsigned char>(text[at]);
        size_t extra = 0;
        if (lead >= 0xF0 && lead <= 0xF4)
            extra = 3;
        else if (lead >= 0xE0)
            extra = lead <= 0xEF ? 2 : 99;
        else if (lead >= 0xC2)
            extra = 1;
        else if (lead >= 0x80)
            return -1;
        if (extra == 99 || at + extra >= text.size() + (extra == 0))
            return -1;
        for (size_t i = 1; i <= extra; ++i)
            if (!isContinuationByte(static_cast<unsigned char>(text[at + i])))
                return -1;
        at += extra + 1;
    }
    return length;
}

void checkSheetName(const Workbook& workbook, const std::string& name, const Worksheet* renamed) {
    if (name.empty())
        throw AutomationError(messages::kSheetNameEmpty);
    long length = utf8Length(name);
    if (length < 0)
        throw AutomationError(messages::kSheetNameNotUtf8);
    if (length > kMaxNameLength)
        throw AutomationError(messages::kSheetNameTooLong + name);
    if (name.find_first_of(":\\/?*[]") != std::string::npos)
        throw AutomationError(messages::kSheetNameBadChar + name);
    if (name.front() == '\'' || name.back() == '\'')
        throw AutomationError(messages::kSheetNameApostrophe + name);
    int existing = sheetIndexOf(workbook, name);
    if (existing >= 0 && workbook.sheets[static_cast<size_t>(existing)].get() != renamed)
        throw AutomationError(messages::kSheetNameTaken + name);
}

std::string copyNameFor(const Workbook& workbook, const std::string& name) {
    if (sheetIndexOf(workbook, name) < 0)
        return name;
    for (int number = 2;; ++number) {
        std::string suffix = " (" + std::to_string(number) + ")";
        long room = kMaxNameLength - static_cast<long>(suffix.size());
        std::string candidate = utf8Prefix(name, room) + suffix;
        if (sheetIndexOf(workbook, candidate) < 0)
            return candidate;
    }
}

} // namespace sheet::embedded
