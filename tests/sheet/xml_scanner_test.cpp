// The pull scanner the cell data is read with: tokens, attributes and references as an XML
// parser gives them, and malformed text refused at the place it goes wrong.
#include "sheet/xml_scanner.h"

#include <gtest/gtest.h>

namespace sheet {
namespace {

using Token = XmlScanner::Token;

std::string decoded(std::string_view raw) {
    std::string out;
    appendDecodedXml(out, raw);
    return out;
}

TEST(XmlScanner, DecodesReferencesAndKeepsWhatIsNoReference) {
    EXPECT_EQ(decoded("a&lt;b&gt;&amp;&quot;&apos;"), "a<b>&\"'");
    EXPECT_EQ(decoded("&#65;&#x42;&#xAC00;&#x1F600;"), "AB가\xF0\x9F\x98\x80");
    // No character: zero, surrogates, past the last code point; unknown names; no semicolon.
    for (const char* kept :
         {"&#0;", "&#xD800;", "&#x110000;", "&nbsp;", "& b", "&amp", "&#x;", "&#12345678901;"})
        EXPECT_EQ(decoded(kept), kept) << kept;
    // Line ends read as LF, in short text as in long.
    const std::string longText(40, 'x');
    EXPECT_EQ(decoded("1\r\n2\r3"), "1\n2\n3");
    EXPECT_EQ(decoded(longText + "\r\n" + longText), longText + "\n" + longText);
    EXPECT_EQ(decoded("12.5"), "12.5");
}

TEST(XmlScanner, HandsOutTagsAttributesAndTextInOrder) {
    XmlScanner scanner(R"(<?xml version="1.0"?><a:row r='3' x:ht="1&amp;2" xmlns:r="ns">)"
                       R"(<!-- skipped --><c/>text<![CDATA[<raw>]]></a:row>)");
    ASSERT_EQ(scanner.next(), Token::StartTag);
    EXPECT_EQ(scanner.qualifiedName(), "a:row");
    EXPECT_EQ(scanner.localName(), "row");
    EXPECT_EQ(scanner.attribute("r"), "3");
    EXPECT_EQ(scanner.attribute("ht"), "1&amp;2");
    EXPECT_EQ(scanner.attribute("missing"), std::nullopt);
    ASSERT_EQ(scanner.next(), Token::StartTag);
    EXPECT_TRUE(scanner.selfClosing());
    ASSERT_EQ(scanner.next(), Token::Text);
    EXPECT_EQ(scanner.text(), "text");
    ASSERT_EQ(scanner.next(), Token::Cdata);
    EXPECT_EQ(scanner.text(), "<raw>");
    ASSERT_EQ(scanner.next(), Token::EndTag);
    EXPECT_EQ(scanner.next(), Token::End);
}

TEST(XmlScanner, NamespaceDeclarationsAreNoAttributes) {
    XmlScanner scanner(R"(<c xmlns:r="urn:x" r="B2"/>)");
    ASSERT_EQ(scanner.next(), Token::StartTag);
    EXPECT_EQ(scanner.attribute("r"), "B2");
}

// The first attributes of a tag are kept as it is read, any more are found by walking it again:
// both give the same answers.
TEST(XmlScanner, AttributesAreFoundAlikeHoweverManyATagHas) {
    for (int count : {1, 7, 8, 9, 20}) {
        std::string tag = "<c xmlns:x=\"urn:x\"";
        for (int i = 0; i < count; ++i)
            tag += " x:a" + std::to_string(i) + "='" + std::to_string(i * 3) + "'";
        tag += " s=\"&amp;\"/>";
        XmlScanner scanner(tag);
        ASSERT_EQ(scanner.next(), Token::StartTag) << tag;
        for (int i = 0; i < count; ++i)
            EXPECT_EQ(scanner.attribute("a" + std::to_string(i)), std::to_string(i * 3)) << tag;
        const auto [s, x, first] = scanner.attributes({"s", "x", "a0"});
        EXPECT_EQ(s, "&amp;") << tag;
        EXPECT_EQ(x, std::nullopt) << tag; // the declaration's local name, never handed out
        EXPECT_EQ(first, "0") << tag;
        EXPECT_EQ(scanner.attribute("a" + std::to_string(count)), std::nullopt) << tag;
    }
    // A tag read after a longer one keeps none of its attributes.
    XmlScanner scanner("<a p='1' q='2'><b q='3'/></a>");
    ASSERT_EQ(scanner.next(), Token::StartTag);
    ASSERT_EQ(scanner.next(), Token::StartTag);
    EXPECT_EQ(scanner.attribute("p"), std::nullopt);
    EXPECT_EQ(scanner.attribute("q"), "3");
}

TEST(XmlScanner, ElementTextLeavesNestedElementsOut) {
    XmlScanner scanner("<t>a<b>skip</b>&lt;c<![CDATA[&d]]></t><next/>");
    ASSERT_EQ(scanner.next(), Token::StartTag);
    std::string text;
    scanner.appendElementText(text);
    EXPECT_EQ(text, "a<c&d");
    ASSERT_EQ(scanner.next(), Token::StartTag);
    EXPECT_EQ(scanner.qualifiedName(), "next");
}

// The shortcut for <v>text</v> takes only what the general walk would read the same, and
// leaves anything else untouched for it.
TEST(XmlScanner, PlainElementsAreTakenWholeAndAnythingElseIsLeft) {
    XmlScanner scanner("<c r=\"A1\"><v>12.5</v></c><c><v>1&amp;2</v></c><c><x:v>3</x:v></c>");
    ASSERT_EQ(scanner.next(), Token::StartTag);
    EXPECT_EQ(scanner.takePlainElement("f"), std::nullopt);
    EXPECT_EQ(scanner.takePlainElement("v"), "12.5");
    EXPECT_FALSE(scanner.takeEndTag("cc"));
    EXPECT_TRUE(scanner.takeEndTag("c"));
    EXPECT_EQ(scanner.token(), Token::EndTag);
    EXPECT_EQ(scanner.qualifiedName(), "c");

    ASSERT_EQ(scanner.next(), Token::StartTag);
    const std::size_t before = scanner.position();
    EXPECT_EQ(scanner.takePlainElement("v"), std::nullopt); // a reference to decode
    EXPECT_EQ(scanner.position(), before);
    ASSERT_EQ(scanner.next(), Token::StartTag);
    std::string text;
    scanner.appendElementText(text);
    EXPECT_EQ(text, "1&2");
    EXPECT_TRUE(scanner.takeEndTag("c"));

    ASSERT_EQ(scanner.next(), Token::StartTag);
    EXPECT_EQ(scanner.takePlainElement("v"), std::nullopt); // a prefix
    ASSERT_EQ(scanner.next(), Token::StartTag);
    EXPECT_EQ(scanner.qualifiedName(), "x:v");

    for (const char* other : {"<v>1\r\n</v>", "<v>1</w>", "<v>1</v", "<v>1", "<v >1</v>", "<v/>",
                              "<vv>1</vv>", "<v><b/></v>"}) {
        XmlScanner rest(other);
        EXPECT_EQ(rest.takePlainElement("v"), std::nullopt) << other;
        EXPECT_EQ(rest.position(), 0u) << other;
    }
    XmlScanner empty("<v></v></c >");
    EXPECT_EQ(empty.takePlainElement("v"), "");
    EXPECT_FALSE(empty.takeEndTag("c")); // left to the walk, which allows the space
}

TEST(XmlScanner, RefusesMalformedMarkup) {
    const char* inputs[] = {
        "<a b=\"1></a>", "<a b=1></a>", "<a b></a>", "<a b=\"<\"/>", "< a/>",        "<a",
        "</a",           "<!-- open",   "<?pi",      "<![CDATA[x",   "<!ELEMENT x>", "<a/ >",
    };
    for (const char* input : inputs) {
        XmlScanner scanner(input);
        EXPECT_THROW(
            {
                while (scanner.next() != Token::End) {
                }
            },
            XmlSyntaxError)
            << input;
    }
    // The error says what is wrong, at the value that is wrong.
    const auto failure = [](const char* input) {
        XmlScanner scanner(input);
        try {
            while (scanner.next() != Token::End) {
            }
        } catch (const XmlSyntaxError& error) {
            return std::string(error.what) + " @" + std::to_string(error.offset);
        }
        return std::string("no error");
    };
    EXPECT_EQ(failure("<a b=\"1></a>"), "attribute value not closed @6");
    EXPECT_EQ(failure("<a x='1' b=\"<\"/>"), "'<' in attribute value @12");
    EXPECT_EQ(failure("<a/><!ELEMENT x>"), "unknown declaration @4");

    XmlScanner doctype("<!DOCTYPE a [<!ENTITY e 'x'>]><a/>");
    EXPECT_THROW(doctype.next(), XmlDoctypeError);

    XmlScanner crossed("<a><b></a></b>");
    ASSERT_EQ(crossed.next(), Token::StartTag);
    EXPECT_THROW(crossed.skipElement(), XmlSyntaxError);
    XmlScanner unclosed("<a><b></b>");
    ASSERT_EQ(unclosed.next(), Token::StartTag);
    EXPECT_THROW(unclosed.skipElement(), XmlSyntaxError);
}

} // namespace
} // namespace sheet
