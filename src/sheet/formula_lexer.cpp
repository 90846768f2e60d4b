#include "sheet/formula_lexer.h"

#include "sheet/automation.h"
#include "sheet/embedded_messages.h"

#include <array>
#include <cctype>
#include <cstdlib>
#include <string_view>

namespace sheet::embedded::formula {

namespace {

constexpr std::array<std::string_view, 7> kErrorCodes = {"#NULL!", "#DIV/0!", "#VALUE!", "#REF!",
                                                         "#NAME?", "#NUM!",   "#N/A"};

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

bool isWordChar(char c) {
    auto u = static_cast<unsigned char>(c);
    return std::isalnum(u) || c == '_' || c == '.' || c == '$' || c == '\\' || u >= 0x80;
}

class Lexer {
public:
    explicit Lexer(const std::string& text) : text_(text) {}

    std::vector<Token> run() {
        std::vector<Token> tokens;
        while (true) {
            bool spaced = skipBlanks();
            Token token = next();
            token.spaceBefore = spaced;
            const bool done = token.kind == Token::Kind::End;
            tokens.push_back(std::move(token));
            if (done)
                return tokens;
        }
    }

private:
    const std::string& text_;
    size_t at_ = 0;

    [[noreturn]] void unreadable() const { throw AutomationError(messages::kBadFormula + text_); }

    char peek(size_t ahead = 0) const {
        return at_ + ahead < text_.size() ? text_[at_ + ahead] : '\0';
    }

    bool skipBlanks() {
        size_t start = at_;
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\n' ||
                                      text_[at_] == '\r' || text_[at_] == '\t'))
            ++at_;
        return at_ != start;
    }

    Token make(Token::Kind kind, size_t start, std::string text = {}) const {
        Token token;
        token.kind = kind;
        token.at = start;
        token.length = at_ - start;
        token.text = std::move(text);
        return token;
    }

    Token next() {
        const size_t start = at_;
        const char c = peek();
        if (c == '\0')
            return make(Token::Kind::End, start);
        if (isDigit(c) || (c == '.' && isDigit(peek(1))))
            return number();
        if (c == '"')
            return quoted('"', Token::Kind::String);
        if (c == '\'')
            return quoted('\'', Token::Kind::QuotedName);
        if (c == '#')
            return errorCode();
        if (isWordChar(c)) {
            while (at_ < text_.size() && isWordChar(text_[at_]))
                ++at_;
            return make(Token::Kind::Word, start, text_.substr(start, at_ - start));
        }
        return punctuation(start, c);
    }

    Token punctuation(size_t start, char c) {
        ++at_;
        switch (c) {
        case '(':
            return make(Token::Kind::Open, start);
        case ')':
            return make(Token::Kind::Close, start);
        case ',':
            return make(Token::Kind::Comma, start);
        case ':':
            return make(Token::Kind::Colon, start);
        case '!':
            return make(Token::Kind::Bang, start);
        case '+':
        case '-':
        case '*':
        case '/':
        case '^':
        case '&':
        case '=':
        case '%':
            return make(Token::Kind::Operator, start, std::string(1, c));
        case '<':
            if (peek() == '=' || peek() == '>')
                ++at_;
            return make(Token::Kind::Operator, start, text_.substr(start, at_ - start));
        case '>':
            if (peek() == '=')
                ++at_;
            return make(Token::Kind::Operator, start, text_.substr(start, at_ - start));
        default:
            unreadable();
        }
    }

    Token number() {
        const size_t start = at_;
        while (isDigit(peek()))
            ++at_;
        if (peek() == '.') {
            ++at_;
            while (isDigit(peek()))
                ++at_;
        }
        if ((peek() == 'E' || peek() == 'e') &&
            (isDigit(peek(1)) || ((peek(1) == '+' || peek(1) == '-') && isDigit(peek(2))))) {
            at_ += 2;
            while (isDigit(peek()))
                ++at_;
        }
        if (isWordChar(peek()))
            unreadable();
        Token token = make(Token::Kind::Number, start);
        token.number = std::strtod(text_.substr(start, at_ - start).c_str(), nullptr);
        return token;
    }

    // A string ("a ""b""") or a quoted sheet name ('O''Brien'); the quote doubled stands for
    // itself.
    Token quoted(char quote, Token::Kind kind) {
        const size_t start = at_++;
        std::string content;
        while (true) {
            if (at_ >= text_.size())
                unreadable();
            if (text_[at_] == quote) {
                if (peek(1) != quote)
                    break;
                ++at_;
            }
            content += text_[at_++];
        }
        ++at_;
        return make(kind, start, std::move(content));
    }

    Token errorCode() {
        const size_t start = at_;
        for (std::string_view code : kErrorCodes) {
            if (text_.size() - at_ < code.size())
                continue;
            std::string candidate = text_.substr(at_, code.size());
            for (char& ch : candidate)
                ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
            if (candidate == code) {
                at_ += code.size();
                return make(Token::Kind::Error, start, std::string(code));
            }
        }
        unreadable();
    }
};

} // namespace

std::vector<Token> tokenize(const std::string& text) {
    return Lexer(text).run();
}

} // namespace sheet::embedded::formula
