#include "sheet/xlsx_comments.h"

#include "sheet/a1_reference.h"
#include "sheet/xlsx_rich_text.h"
#include "sheet/xml_part.h"

namespace sheet {

std::vector<Comment> readComments(pugi::xml_node commentsRoot, const ColorResolver& colors) {
    std::vector<std::string> authors;
    for (pugi::xml_node node = childNamed(commentsRoot, "authors").first_child(); node;
         node = node.next_sibling())
        if (isNamed(node, "author"))
            authors.emplace_back(node.child_value());

    std::vector<Comment> comments;
    for (pugi::xml_node node = childNamed(commentsRoot, "commentList").first_child(); node;
         node = node.next_sibling()) {
        if (!isNamed(node, "comment"))
            continue;
        auto address = parseCellAddress(attributeText(node, "ref"));
        if (!address)
            continue;
        Comment comment;
        comment.row = address->row;
        comment.column = address->column;
        if (auto author = attributeInteger(node, "authorId");
            author && *author >= 0 && *author < static_cast<long>(authors.size()))
            comment.author = authors[static_cast<size_t>(*author)];
        StringItem text = readStringItem(childNamed(node, "text"), colors);
        comment.text = std::move(text.text);
        comment.richText = std::move(text.runs);
        comments.push_back(std::move(comment));
    }
    return comments;
}

} // namespace sheet
