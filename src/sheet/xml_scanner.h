// A small pull scanner over XML text for parts too large to hold as a document tree: it hands
// out start tags, end tags and text one at a time and keeps nothing behind them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace sheet {

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
    // The raw text of a Text token, the content of a Cdata token.
    std::string_view text() const { return text_; }

    std::size_t tokenStart() const { return tokenStart_; }
    // The scanned text from `from` up to `to`, e.g. an element from its start tag's
    // tokenStart() to the position() after skipElement().
    std::string_view source(std::size_t from, std::size_t to) const {
        return input_.substr(from, to - from);
    }
    std::size_t position() const { return position_; }

    // Consumes everything up to and including the end tag of the start tag just read.
    void skipElement();
    // Appends the text inside the start tag just read (entities decoded, nested elements
    // left out) and consumes its end tag.
    void appendElementText(std::string& out);

private:
    [[noreturn]] void fail(const char* what) const;
    void readMarkup();
    void readStartTag();
    void readEndTag();
    void skipPast(std::string_view terminator, const char* what);
    std::string_view readName();
    void skipSpace();
    void expectEndTag(std::string_view name);

    std::string_view input_;
    std::size_t position_ = 0;
    std::size_t tokenStart_ = 0;
    Token token_ = Token::End;
    std::string_view name_;
    std::string_view attributes_;
    std::string_view text_;
    bool selfClosing_ = false;
};

// Appends `raw` with CR LF and lone CR turned into LF, as XML reads line ends.
void appendWithLineFeeds(std::string& out, std::string_view raw);

// Appends `raw` with line ends read as LF and the five named entities and character
// references decoded; an unknown or malformed reference is kept as it stands. A CR written
// as a character reference stays a CR.
void appendDecodedXml(std::string& out, std::string_view raw);

} // namespace sheet
