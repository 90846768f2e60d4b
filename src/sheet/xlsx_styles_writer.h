// The styles part of a written workbook: the model's styles as cell formats, each font, fill,
// border and number format written once, and the differential formats conditional formats use.
#pragma once

#include "sheet/model.h"

#include <map>
#include <string>
#include <vector>

namespace sheet {

// The children of a font element: bold, italic, strike, underline, size and colour, then the
// face in `faceElement` ("name" in the styles part, "rFont" in a rich-text run).
void appendFontChildren(std::string& out, const Font& font, const char* faceElement);

// The longest number format code spreadsheet applications accept, in characters.
constexpr std::size_t kMaxNumberFormatCharacters = 255;

class StylesPart {
public:
    explicit StylesPart(const StyleTable& styles);

    // The cell format index of a model style; the default format for an unknown index.
    int formatOf(int styleIndex) const;
    // The index of a differential format equal to `style`, added when new.
    int differentialOf(const DifferentialStyle& style);
    std::string xml() const;

private:
    int numberFormatOf(const Style& style);
    int numberFormatOfCode(const std::string& code);
    static int indexOf(std::vector<std::string>& items, std::map<std::string, int>& index,
                       std::string item);

    std::vector<std::pair<int, std::string>> numberFormats_; // custom id, escaped code
    std::map<std::string, int> numberFormatIds_;
    std::vector<std::string> fonts_, fills_, borders_, formats_;
    std::map<std::string, int> fontIndex_, fillIndex_, borderIndex_, formatIndex_;
    std::vector<int> formatOfStyle_;
    std::vector<std::string> differentials_;
    std::map<std::string, int> differentialIndex_;
};

} // namespace sheet
