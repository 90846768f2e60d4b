#include "sheet/xml_scanner.h"

#include <algorithm>
#include <vector>

namespace sheet {

namespace {

// Deeper nesting than this inside one skipped element is taken as hostile.
constexpr std::size_t kMaxSkipDepth = 256;

using xml_detail::endsName;
using xml_detail::isSpace;
using xml_detail::withoutPrefix;

void appendUtf8(std::string& out, unsigned long code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The code point of "#65" or "#x41", or nullopt when malformed or no character.
std::optional<unsigned long> characterReference(std::string_view body) {
    if (body.size() < 2 || body.front() != '#')
        return std::nullopt;
    body.remove_prefix(1);
    int base = 10;
    if (body.front() == 'x') {
        base = 16;
        body.remove_prefix(1);
    }
    if (body.empty() || body.size() > 8)
        return std::nullopt;
    unsigned long code = 0;
    for (char c : body) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return std::nullopt;
        code = code * static_cast<unsigned long>(base) + static_cast<unsigned long>(digit);
    }
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return std::nullopt;
    return code;
}

std::optional<char> namedEntity(std::string_view body) {
    if (body == "lt")
        return '<';
    if (body == "gt")
        return '>';
    if (body == "amp")
        return '&';
    if (body == "quot")
        return '"';
    if (body == "apos")
        return '\'';
    return std::nullopt;
}

} // namespace

void appendWithLineFeeds(std::string& out, std::string_view raw) {
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const std::size_t carriageReturn = raw.find('\r', i);
        if (carriageReturn == std::string_view::npos) {
            out.append(raw.substr(i));
            return;
        }
        out.append(raw.substr(i, carriageReturn - i));
        out += '\n';
        i = carriageReturn;
        if (i + 1 < raw.size() && raw[i + 1] == '\n')
            ++i;
    }
}

void appendDecodedXml(std::string& out, std::string_view raw) {
    // Most text in a sheet is a short number with nothing to decode.
    constexpr std::size_t kShort = 32;
    if (raw.size() <= kShort &&
        std::none_of(raw.begin(), raw.end(), [](char c) { return c == '&' || c == '\r'; })) {
        out.append(raw);
        return;
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t amp = raw.find('&', start);
        if (amp == std::string_view::npos) {
            appendWithLineFeeds(out, raw.substr(start));
            return;
        }
        appendWithLineFeeds(out, raw.substr(start, amp - start));
        const std::size_t semicolon = raw.find(';', amp + 1);
        const std::string_view body = semicolon == std::string_view::npos || semicolon - amp > 12
                                          ? std::string_view()
                                          : raw.substr(amp + 1, semicolon - amp - 1);
        if (auto c = namedEntity(body)) {
            out += *c;
            start = semicolon + 1;
        } else if (auto code = characterReference(body)) {
            appendUtf8(out, *code);
            start = semicolon + 1;
        } else {
            out += '&';
            start = amp + 1;
        }
    }
}

XmlScanner::XmlScanner(std::string_view text, std::size_t offset)
    : input_(text), position_(offset) {}

void XmlScanner::fail(const char* what) const {
    throw XmlSyntaxError{position_, what};
}

std::string_view XmlScanner::localName() const {
    return withoutPrefix(name_);
}

XmlScanner::Token XmlScanner::next() {
    for (;;) {
        tokenStart_ = position_;
        selfClosing_ = false;
        if (position_ >= input_.size())
            return token_ = Token::End;
        if (input_[position_] != '<') {
            const std::size_t end = std::min(input_.find('<', position_), input_.size());
            text_ = input_.substr(position_, end - position_);
            position_ = end;
            return token_ = Token::Text;
        }
        const std::size_t before = position_;
        readMarkup();
        if (position_ != before && token_ != Token::End)
            return token_;
    }
}

void XmlScanner::readMarkup() {
    const char second = position_ + 1 < input_.size() ? input_[position_ + 1] : '\0';
    if (second == '/') {
        readEndTag();
        return;
    }
    if (second != '!' && second != '?') {
        readStartTag();
        return;
    }
    const std::string_view rest = input_.substr(position_);
    if (rest.starts_with("<!--")) {
        position_ += 4;
        skipPast("-->", "unterminated comment");
        token_ = Token::End; // passed over
        return;
    }
    if (rest.starts_with("<?")) {
        position_ += 2;
        skipPast("?>", "unterminated processing instruction");
        token_ = Token::End;
        return;
    }
    if (rest.starts_with("<![CDATA[")) {
        const std::size_t start = position_ + 9;
        position_ = start;
        skipPast("]]>", "unterminated CDATA section");
        text_ = input_.substr(start, position_ - 3 - start);
        token_ = Token::Cdata;
        return;
    }
    if (rest.starts_with("<!DOCTYPE") || rest.starts_with("<!doctype"))
        throw XmlDoctypeError{};
    fail("unknown declaration");
}

void XmlScanner::skipPast(std::string_view terminator, const char* what) {
    const std::size_t end = input_.find(terminator, position_);
    if (end == std::string_view::npos)
        fail(what);
    position_ = end + terminator.size();
}

void XmlScanner::skipSpace() {
    while (position_ < input_.size() && isSpace(input_[position_]))
        ++position_;
}

std::string_view XmlScanner::readName() {
    const std::size_t start = position_;
    while (position_ < input_.size() && !endsName(input_[position_]))
        ++position_;
    if (position_ == start)
        fail("name expected");
    return input_.substr(start, position_ - start);
}

void XmlScanner::readEndTag() {
    position_ += 2;
    name_ = readName();
    skipSpace();
    if (position_ >= input_.size() || input_[position_] != '>')
        fail("end tag not closed");
    ++position_;
    token_ = Token::EndTag;
}

void XmlScanner::readStartTag() {
    ++position_;
    name_ = readName();
    const std::size_t attributesStart = position_;
    for (;;) {
        skipSpace();
        if (position_ >= input_.size())
            fail("start tag not closed");
        const char c = input_[position_];
        if (c == '>' || c == '/')
            break;
        readName();
        skipSpace();
        if (position_ >= input_.size() || input_[position_] != '=')
            fail("attribute without value");
        ++position_;
        skipSpace();
        if (position_ >= input_.size() || (input_[position_] != '"' && input_[position_] != '\''))
            fail("attribute value not quoted");
        position_ = endOfAttributeValue(input_[position_]) + 1;
    }
    attributes_ = input_.substr(attributesStart, position_ - attributesStart);
    if (input_[position_] == '/') {
        ++position_;
        if (position_ >= input_.size() || input_[position_] != '>')
            fail("start tag not closed");
        selfClosing_ = true;
    }
    ++position_;
    token_ = Token::StartTag;
}

std::size_t XmlScanner::endOfAttributeValue(char quote) {
    ++position_;
    // Values are short: one pass looking for both characters beats two searches.
    std::size_t end = position_;
    while (end < input_.size() && input_[end] != quote && input_[end] != '<')
        ++end;
    if (end < input_.size() && input_[end] == quote)
        return end;
    if (input_.find(quote, end) == std::string_view::npos)
        fail("attribute value not closed");
    fail("'<' in attribute value");
}

std::optional<std::string_view> XmlScanner::attribute(std::string_view localName) const {
    std::optional<std::string_view> found;
    forEachAttribute([&](std::string_view name, std::string_view value) {
        if (name != localName)
            return false;
        found = value;
        return true;
    });
    return found;
}

std::optional<std::string_view> XmlScanner::takePlainElement(std::string_view name) {
    const std::string_view rest = input_.substr(position_);
    if (rest.size() < 2 * name.size() + 5 || rest[0] != '<' ||
        rest.substr(1, name.size()) != name || rest[name.size() + 1] != '>')
        return std::nullopt;
    const std::size_t textStart = name.size() + 2;
    std::size_t textEnd = textStart;
    while (textEnd < rest.size() && rest[textEnd] != '<') {
        if (rest[textEnd] == '&' || rest[textEnd] == '\r')
            return std::nullopt;
        ++textEnd;
    }
    const std::string_view end = rest.substr(textEnd);
    if (end.size() < name.size() + 3 || end[1] != '/' || end.substr(2, name.size()) != name ||
        end[name.size() + 2] != '>')
        return std::nullopt;
    position_ += textEnd + name.size() + 3;
    return rest.substr(textStart, textEnd - textStart);
}

bool XmlScanner::takeEndTag(std::string_view name) {
    const std::string_view rest = input_.substr(position_);
    if (rest.size() < name.size() + 3 || rest[0] != '<' || rest[1] != '/' ||
        rest.substr(2, name.size()) != name || rest[name.size() + 2] != '>')
        return false;
    tokenStart_ = position_;
    position_ += name.size() + 3;
    token_ = Token::EndTag;
    name_ = rest.substr(2, name.size());
    selfClosing_ = false;
    return true;
}

void XmlScanner::expectEndTag(std::string_view name) {
    if (name_ != name)
        fail("end tag does not match its start tag");
}

void XmlScanner::skipElement() {
    if (token_ != Token::StartTag || selfClosing_)
        return;
    std::vector<std::string_view> open{name_};
    while (!open.empty()) {
        switch (next()) {
        case Token::StartTag:
            if (selfClosing_)
                break;
            if (open.size() >= kMaxSkipDepth)
                fail("elements nested too deeply");
            open.push_back(name_);
            break;
        case Token::EndTag:
            expectEndTag(open.back());
            open.pop_back();
            break;
        case Token::End:
            fail("element not closed");
        default:
            break;
        }
    }
}

void XmlScanner::appendElementText(std::string& out) {
    if (token_ != Token::StartTag || selfClosing_)
        return;
    const std::string_view name = name_;
    for (;;) {
        switch (next()) {
        case Token::Text:
            appendDecodedXml(out, text_);
            break;
        case Token::Cdata:
            appendWithLineFeeds(out, text_);
            break;
        case Token::StartTag:
            skipElement();
            break;
        case Token::EndTag:
            expectEndTag(name);
            return;
        case Token::End:
            fail("element not closed");
        }
    }
}

} // namespace sheet
