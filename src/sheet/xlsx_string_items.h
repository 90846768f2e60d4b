// String items of a written workbook: plain and rich text as the <si>, <is> and note bodies
// hold them, and the shared string table.
#pragma once

#include "sheet/model.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace sheet {

// The children of a string item: one <t> for plain text, or one <r> per rich-text run.
void appendStringItem(std::string& out, std::string_view text, const RichText* runs);

class SharedStrings {
public:
    // The index of the item, added when new. Equal texts share one item.
    long indexOf(std::string_view text, const RichText* runs);
    long referenceCount() const { return references_; }
    std::string xml() const;

private:
    // Looks a text up without making a string of it first.
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };

    std::unordered_map<std::string, long, TextHash, std::equal_to<>> plain_;
    std::unordered_map<std::string, long> rich_; // keyed by the written item
    std::vector<std::string> items_;             // written <si> bodies
    long references_ = 0;
};

} // namespace sheet
