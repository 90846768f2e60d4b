// A small pull scanner over XML text for parts too large to hold as a document tree: it hands
// out start tags, end tags and text one at a time and keeps nothing behind them.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace sheet {

namespace xml_detail {

enum CharClass : unsigned char { kSpace = 1, kEndsName = 2 };

// Looked up for every byte of a tag, where a chain of comparisons costs more.
inline constexpr std::array<unsigned char, 256> kCharClasses = [] {
    std::array<unsigned char, 256> classes{};
    for (unsigned char c : {' ', '\t', '\r', '\n'})
        classes[c] = kSpace | kEndsName;
    for (unsigned char c : {'>', '/', '=', '<', '"', '\''})
        classes[c] = kEndsName;
    return classes;
}();

inline bool isSpace(char c) {
    return kCharClasses[static_cast<unsigned char>(c)] & kSpace;
}

inline bool endsName(char c) {
    return kCharClasses[static_cast<unsigned char>(c)] & kEndsName;
}

// Names are short: comparing them in a loop beats calling memcmp.
inline bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            return false;
    return true;
}

inline std::string_view withoutPrefix(std::string_view name) {
    for (std::size_t i = 0; i < name.size(); ++i)
        if (name[i] == ':')
            return name.substr(i + 1);
    return name;
}

} // namespace xml_detail

// Malformed XML met by the scanner, with the offset where it was found.
struct XmlSyntaxError {
    std::size_t offset = 0;
    const char* what = "";
};
// A DOCTYPE, and with it the entity declarations the reader never expands.
struct XmlDoctypeError {};

class XmlScanner {
public:
    enum class Token { StartTag, EndTag, Text, Cdata, End };

    explicit XmlScanner(std::string_view text, std::size_t offset = 0);

    // The next token; comments and processing instructions are passed over.
    Token next();

    Token token() const { return token_; }
    std::string_view qualifiedName() const { return name_; }
    std::string_view localName() const;
    bool selfClosing() const { return selfClosing_; }
    // The raw value of the current start tag's attribute with this local name (entities
    // not yet decoded), or nullopt. Namespace declarations are never matched.
    std::optional<std::string_view> attribute(std::string_view localName) const;
    // Several attributes in one walk over the tag: the value of names[i] at [i], as attribute()
    // gives it.
    template <std::size_t N>
    std::array<std::optional<std::string_view>, N>
    attributes(const std::string_view (&names)[N]) const {
        std::array<std::optional<std::string_view>, N> values;
        forEachAttribute([&](std::string_view local, std::string_view value) {
            for (std::size_t i = 0; i < N; ++i)
                if (!values[i] && xml_detail::sameName(local, names[i]))
                    values[i] = value;
            return false;
        });
        return values;
    }
    // The raw text of a Text token, the content of a Cdata token.
    std::string_view text() const { return text_; }

    std::size_t tokenStart() const { return tokenStart_; }
    // The scanned text from `from` up to `to`, e.g. an element from its start tag's
    // tokenStart() to the position() after skipElement().
    std::string_view source(std::size_t from, std::size_t to) const {
        return input_.substr(from, to - from);
    }
    std::size_t position() const { return position_; }

    // The text of `<name>text</name>` when it comes next exactly so, its text free of markup,
    // references and carriage returns; nullopt, with nothing consumed, for anything else.
    // A shortcut past the general walk for the one child most cells have.
    std::optional<std::string_view> takePlainElement(std::string_view name);
    // Consumes `</name>` when it comes next exactly so; false, with nothing consumed, otherwise.
    bool takeEndTag(std::string_view name);

    // Consumes everything up to and including the end tag of the start tag just read.
    void skipElement();
    // Appends the text inside the start tag just read (entities decoded, nested elements
    // left out) and consumes its end tag.
    void appendElementText(std::string& out);

private:
    // Calls visit(localName, rawValue) for the current start tag's attributes in order,
    // namespace declarations left out, until it returns true.
    template <typename Visit> void forEachAttribute(Visit visit) const;

    [[noreturn]] void fail(const char* what) const;
    void readMarkup();
    void readStartTag();
    void readEndTag();
    void skipPast(std::string_view terminator, const char* what);
    // Fails on an attribute value that is not closed, or holds a '<', before its quote.
    [[noreturn]] void failValue(std::size_t valueStart, char quote);
    std::string_view readName();
    void skipSpace();
    void expectEndTag(std::string_view name);

    // An attribute of the current start tag as it was read: its local name and raw value.
    struct ReadAttribute {
        std::string_view localName;
        std::string_view value;
        bool declaration = false; // a namespace declaration, never handed out
    };
    // Most tags have a few attributes: those are kept as the tag is read, so that looking one
    // up does not walk the tag again.
    static constexpr std::size_t kKeptAttributes = 8;

    std::string_view input_;
    std::size_t position_ = 0;
    std::size_t tokenStart_ = 0;
    Token token_ = Token::End;
    std::string_view name_;
    std::string_view attributes_;
    std::array<ReadAttribute, kKeptAttributes> kept_;
    std::size_t attributeCount_ = 0; // of the current start tag; kept_ holds the first ones
    std::string_view text_;
    bool selfClosing_ = false;
};

template <typename Visit> void XmlScanner::forEachAttribute(Visit visit) const {
    const auto offer = [&visit](std::string_view name, std::string_view value) {
        if (name.starts_with("xmlns"))
            return false;
        return visit(xml_detail::withoutPrefix(name), value);
    };
    if (attributeCount_ <= kKeptAttributes) {
        for (std::size_t i = 0; i < attributeCount_; ++i)
            if (!kept_[i].declaration && visit(kept_[i].localName, kept_[i].value))
                return;
        return;
    }
    // A tag with more attributes than are kept, checked when it was read, is walked again.
    const std::string_view list = attributes_;
    std::size_t i = 0;
    while (i < list.size()) {
        while (i < list.size() && xml_detail::isSpace(list[i]))
            ++i;
        const std::size_t nameStart = i;
        while (i < list.size() && !xml_detail::endsName(list[i]))
            ++i;
        const std::string_view name = list.substr(nameStart, i - nameStart);
        // Past the spaces and '=' to the opening quote.
        while (i < list.size() && list[i] != '"' && list[i] != '\'')
            ++i;
        if (name.empty() || i == list.size())
            return;
        const std::size_t end = list.find(list[i], i + 1);
        const std::string_view value = list.substr(i + 1, end - i - 1);
        i = end + 1;
        if (offer(name, value))
            return;
    }
}

// Appends `raw` with CR LF and lone CR turned into LF, as XML reads line ends.
void appendWithLineFeeds(std::string& out, std::string_view raw);

// Appends `raw` with line ends read as LF and the five named entities and character
// references decoded; an unknown or malformed reference is kept as it stands. A CR written
// as a character reference stays a CR.
void appendDecodedXml(std::string& out, std::string_view raw);

} // namespace sheet
