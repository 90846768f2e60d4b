// Splits a formula into tokens: numbers, strings, error and truth constants, operators,
// parentheses, separators, words (functions, names, cell references, unquoted sheet names)
// and quoted sheet names.
#pragma once

#include <string>
#include <vector>

namespace sheet::embedded::formula {

struct Token {
    enum class Kind {
        Number,
        String,
        Error,
        Word,
        QuotedName,
        Operator,
        Open,
        Close,
        Comma,
        Colon,
        Bang,
        End
    };
    Kind kind = Kind::End;
    size_t at = 0, length = 0;
    std::string text; // the word, the string's or quoted name's content, the operator
    double number = 0;
    bool spaceBefore = false;
};

// Throws AutomationError when the text holds something no formula holds.
std::vector<Token> tokenize(const std::string& text);

} // namespace sheet::embedded::formula
