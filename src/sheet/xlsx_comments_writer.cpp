#include "sheet/xlsx_comments_writer.h"

#include "sheet/a1_reference.h"
#include "sheet/xlsx_package_index.h"
#include "sheet/xlsx_string_items.h"
#include "sheet/xlsx_xml_text.h"

#include <algorithm>
#include <map>

namespace sheet {

namespace {

// Shape ids come in blocks of 1024 per drawing.
constexpr long kShapesPerDrawing = 1024;

void appendNoteShape(std::string& out, const Comment& comment, long shapeId) {
    const long row = comment.row - 1; // the drawing counts from 0
    const long column = comment.column - 1;
    out += "<v:shape id=\"_x0000_s" + std::to_string(shapeId) +
           "\" type=\"#_x0000_t202\" style=\"position:absolute;margin-left:59.25pt;"
           "margin-top:1.5pt;width:108pt;height:59.25pt;z-index:" +
           std::to_string(shapeId % kShapesPerDrawing) +
           (comment.visible ? ";visibility:visible" : ";visibility:hidden") +
           "\" fillcolor=\"#ffffe1\" o:insetmode=\"auto\">"
           "<v:fill color2=\"#ffffe1\"/><v:shadow on=\"t\" color=\"black\" obscured=\"t\"/>"
           "<v:path o:connecttype=\"none\"/><v:textbox style=\"mso-direction-alt:auto\">"
           "<div style=\"text-align:left\"></div></v:textbox>"
           "<x:ClientData ObjectType=\"Note\"><x:MoveWithCells/><x:SizeWithCells/><x:Anchor>";
    const long top = std::max(row - 1, 0L);
    out += std::to_string(column + 1) + ", 15, " + std::to_string(top) + ", 10, " +
           std::to_string(column + 3) + ", 15, " + std::to_string(top + 4) + ", 4";
    out += "</x:Anchor><x:AutoFill>False</x:AutoFill><x:Row>" + std::to_string(row) +
           "</x:Row><x:Column>" + std::to_string(column) + "</x:Column>";
    if (comment.visible)
        out += "<x:Visible/>";
    out += "</x:ClientData></v:shape>";
}

} // namespace

std::vector<Comment> writableComments(const std::vector<Comment>& comments) {
    std::map<std::pair<long, long>, const Comment*> byCell;
    for (const Comment& comment : comments)
        if (comment.row >= 1 && comment.row <= kMaxRows && comment.column >= 1 &&
            comment.column <= kMaxColumns)
            byCell[{comment.row, comment.column}] = &comment;
    std::vector<Comment> kept;
    kept.reserve(byCell.size());
    for (const auto& [cell, comment] : byCell)
        kept.push_back(*comment);
    return kept;
}

std::string commentsPartXml(const std::vector<Comment>& comments) {
    std::vector<std::string> authors;
    std::map<std::string, long> authorIds;
    for (const Comment& comment : comments)
        if (authorIds.try_emplace(comment.author, static_cast<long>(authors.size())).second)
            authors.push_back(comment.author);
    std::string out = kXmlDeclaration;
    out += "<comments xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
           "<authors>";
    for (const std::string& author : authors) {
        out += "<author>";
        appendCellText(out, author);
        out += "</author>";
    }
    out += "</authors><commentList>";
    for (const Comment& comment : comments) {
        out += "<comment";
        appendAttribute(out, "ref", cellAddressText(comment.row, comment.column));
        appendAttribute(out, "authorId", authorIds[comment.author]);
        out += "><text>";
        appendStringItem(out, comment.text, comment.richText.get());
        out += "</text></comment>";
    }
    out += "</commentList></comments>";
    return out;
}

long commentDrawingBlocks(const std::vector<Comment>& comments) {
    return static_cast<long>(comments.size()) / kShapesPerDrawing + 1;
}

std::string commentsDrawingXml(const std::vector<Comment>& comments, long firstBlock) {
    std::string blocks;
    for (long block = 0; block < commentDrawingBlocks(comments); ++block)
        blocks += (block ? "," : "") + std::to_string(firstBlock + block);
    std::string out = "<xml xmlns:v=\"urn:schemas-microsoft-com:vml\" "
                      "xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
                      "xmlns:x=\"urn:schemas-microsoft-com:office:excel\">"
                      "<o:shapelayout v:ext=\"edit\"><o:idmap v:ext=\"edit\" data=\"" +
                      blocks +
                      "\"/></o:shapelayout>"
                      "<v:shapetype id=\"_x0000_t202\" coordsize=\"21600,21600\" o:spt=\"202\" "
                      "path=\"m,l,21600r21600,l21600,xe\"><v:stroke joinstyle=\"miter\"/>"
                      "<v:path gradientshapeok=\"t\" o:connecttype=\"rect\"/></v:shapetype>";
    long shapeId = firstBlock * kShapesPerDrawing + 1;
    for (const Comment& comment : comments)
        appendNoteShape(out, comment, shapeId++);
    out += "</xml>";
    return out;
}

} // namespace sheet
