#include "sheet/formula_names.h"

#include "sheet/a1_reference.h"

namespace sheet {

namespace {

bool isNameCharacter(char c, bool first) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80 || c == '_' || c == '\\' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
        return true;
    return !first && ((c >= '0' && c <= '9') || c == '.');
}

// The end of the literal starting at `at` with `quote`; a doubled quote stays inside.
size_t literalEnd(std::string_view text, size_t at, char quote) {
    size_t i = at + 1;
    while (i < text.size()) {
        if (text[i] == quote) {
            if (i + 1 < text.size() && text[i + 1] == quote) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return text.size();
}

std::string quotedSheet(std::string_view name) {
    std::string quoted = "'";
    for (char c : name) {
        quoted += c;
        if (c == '\'')
            quoted += '\'';
    }
    return quoted + "'";
}

std::string unquotedSheet(std::string_view quoted) {
    std::string name;
    for (size_t i = 1; i + 1 < quoted.size(); ++i) {
        name += quoted[i];
        if (quoted[i] == '\'' && i + 2 < quoted.size() && quoted[i + 1] == '\'')
            ++i;
    }
    return name;
}

// Cell references and whole columns or rows ("A1", "XFD", "R1C1" is left to the caller).
bool isReference(std::string_view token) {
    return parseCellAddress(token).has_value();
}

enum class TokenKind { Other, Name, Sheet };

// Walks the formula's tokens; `visit` gets each name or sheet token with its kind and gives
// what to write instead of it.
template <typename Visit> std::string walk(std::string_view formula, Visit visit) {
    std::string out;
    size_t i = 0;
    while (i < formula.size()) {
        const char c = formula[i];
        if (c == '"') {
            const size_t end = literalEnd(formula, i, '"');
            out.append(formula.substr(i, end - i));
            i = end;
            continue;
        }
        if (c == '\'') {
            const size_t end = literalEnd(formula, i, '\'');
            const std::string_view token = formula.substr(i, end - i);
            const bool sheet = end < formula.size() && formula[end] == '!';
            out +=
                sheet ? visit(TokenKind::Sheet, unquotedSheet(token), token) : std::string(token);
            i = end;
            continue;
        }
        if (!isNameCharacter(c, true) ||
            (i > 0 && (isNameCharacter(formula[i - 1], false) || formula[i - 1] == '$'))) {
            out += c;
            ++i;
            continue;
        }
        size_t end = i + 1;
        while (end < formula.size() && isNameCharacter(formula[end], false))
            ++end;
        const std::string_view token = formula.substr(i, end - i);
        const char next = end < formula.size() ? formula[end] : '\0';
        if (next == '!')
            out += visit(TokenKind::Sheet, std::string(token), token);
        else if (next == '(' || next == '$' || isReference(token))
            out.append(token);
        else
            out += visit(TokenKind::Name, std::string(token), token);
        i = end;
    }
    return out;
}

} // namespace

std::vector<std::string> namesUsedIn(std::string_view formula) {
    std::vector<std::string> names;
    walk(formula, [&](TokenKind kind, const std::string& value, std::string_view token) {
        if (kind == TokenKind::Name)
            names.push_back(value);
        return std::string(token);
    });
    return names;
}

std::string rewriteFormula(std::string_view formula, const NameMapping& names,
                           const NameMapping& sheets) {
    return walk(formula, [&](TokenKind kind, const std::string& value, std::string_view token) {
        if (kind == TokenKind::Name && names)
            if (auto replaced = names(value))
                return *replaced;
        if (kind == TokenKind::Sheet && sheets)
            if (auto replaced = sheets(value))
                return quotedSheet(*replaced);
        return std::string(token);
    });
}

} // namespace sheet
