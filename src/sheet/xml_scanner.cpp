#include "sheet/xml_scanner.h"

#include <algorithm>
#include <cstring>
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

namespace {

const char* pastName(const char* p, const char* end) {
    while (p < end && !endsName(*p))
        ++p;
    return p;
}

const char* pastSpace(const char* p, const char* end) {
    while (p < end && isSpace(*p))
        ++p;
    return p;
}

} // namespace

void XmlScanner::readStartTag() {
    // Every tag of a part passes through here, so it walks the text with pointers.
    const char* const begin = input_.data();
    const char* const end = begin + input_.size();
    const auto failAt = [&](const char* at, const char* what) {
        position_ = static_cast<std::size_t>(at - begin);
        fail(what);
    };
    const char* p = begin + position_ + 1;
    const char* const nameEnd = pastName(p, end);
    if (nameEnd == p)
        failAt(p, "name expected");
    name_ = std::string_view(p, static_cast<std::size_t>(nameEnd - p));
    p = nameEnd;
    const char* const attributesStart = p;
    attributeCount_ = 0;
    for (;;) {
        p = pastSpace(p, end);
        if (p == end)
            failAt(p, "start tag not closed");
        if (*p == '>' || *p == '/')
            break;
        const char* const attributeName = p;
        p = pastName(p, end);
        if (p == attributeName)
            failAt(p, "name expected");
        const std::string_view name(attributeName, static_cast<std::size_t>(p - attributeName));
        p = pastSpace(p, end);
        if (p == end || *p != '=')
            failAt(p, "attribute without value");
        p = pastSpace(p + 1, end);
        if (p == end || (*p != '"' && *p != '\''))
            failAt(p, "attribute value not quoted");
        const char quote = *p;
        const char* const value = p + 1;
        const char* valueEnd = value;
        while (valueEnd < end && *valueEnd != quote && *valueEnd != '<')
            ++valueEnd;
        if (valueEnd == end || *valueEnd != quote)
            failValue(static_cast<std::size_t>(value - begin), quote);
        if (attributeCount_ < kKeptAttributes)
            kept_[attributeCount_] = {withoutPrefix(name), std::string_view(value, valueEnd - value),
                                      name.starts_with("xmlns")};
        ++attributeCount_;
        p = valueEnd + 1;
    }
    attributes_ = std::string_view(attributesStart, static_cast<std::size_t>(p - attributesStart));
    if (*p == '/') {
        ++p;
        if (p == end || *p != '>')
            failAt(p, "start tag not closed");
        selfClosing_ = true;
    }
    position_ = static_cast<std::size_t>(p + 1 - begin);
    token_ = Token::StartTag;
}

void XmlScanner::failValue(std::size_t valueStart, char quote) {
    position_ = valueStart;
    if (input_.find(quote, valueStart) == std::string_view::npos)
        fail("attribute value not closed");
    fail("'<' in attribute value");
}

std::optional<std::string_view> XmlScanner::attribute(std::string_view localName) const {
    std::optional<std::string_view> found;
    forEachAttribute([&](std::string_view name, std::string_view value) {
        if (!xml_detail::sameName(name, localName))
            return false;
        found = value;
        return true;
    });
    return found;
}

namespace {

// Whether `<name>` (or `</name>` when `closing`) starts at p.
bool tagAt(const char* p, const char* end, std::string_view name, bool closing) {
    const std::size_t length = name.size() + (closing ? 3 : 2);
    if (static_cast<std::size_t>(end - p) < length || p[0] != '<')
        return false;
    if (closing && p[1] != '/')
        return false;
    const char* const nameStart = p + (closing ? 2 : 1);
    return std::memcmp(nameStart, name.data(), name.size()) == 0 && nameStart[name.size()] == '>';
}

} // namespace

std::optional<std::string_view> XmlScanner::takePlainElement(std::string_view name) {
    const char* const begin = input_.data();
    const char* const end = begin + input_.size();
    const char* const start = begin + position_;
    if (!tagAt(start, end, name, false))
        return std::nullopt;
    const char* const text = start + name.size() + 2;
    const char* textEnd = text;
    while (textEnd < end && *textEnd != '<') {
        if (*textEnd == '&' || *textEnd == '\r')
            return std::nullopt;
        ++textEnd;
    }
    if (!tagAt(textEnd, end, name, true))
        return std::nullopt;
    position_ = static_cast<std::size_t>(textEnd + name.size() + 3 - begin);
    return std::string_view(text, static_cast<std::size_t>(textEnd - text));
}

bool XmlScanner::takeEndTag(std::string_view name) {
    const char* const start = input_.data() + position_;
    if (!tagAt(start, input_.data() + input_.size(), name, true))
        return false;
    tokenStart_ = position_;
    position_ += name.size() + 3;
    token_ = Token::EndTag;
    name_ = std::string_view(start + 2, name.size());
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
