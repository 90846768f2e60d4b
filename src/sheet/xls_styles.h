// Cell formatting of a legacy .xls file: fonts, number formats, the colour palette and the
// extended formats (XF) that cells refer to, turned into the model's styles.
#pragma once

#include "sheet/colors.h"
#include "sheet/model.h"
#include "sheet/xls_records.h"

#include <array>
#include <map>
#include <optional>
#include <vector>

namespace sheet::xls {

class StyleBuilder {
public:
    StyleBuilder() : palette_(standardPalette()) {}

    void readFont(Cursor& in);
    void readFormat(Cursor& in);
    void readPalette(Cursor& in);
    void readXf(Cursor& in);

    // Interns every XF; afterwards styleOf() answers for XF indexes.
    void build(StyleTable& styles);
    int styleOf(int xfIndex) const;

    // A font as the FONT records number them (index 4 is never written); nullopt when absent.
    std::optional<Font> font(int index) const;

    // A palette colour; nullopt for the system colours and indexes out of range.
    std::optional<Rgb> color(unsigned index) const;

private:
    struct Xf {
        int font = 0;
        int format = 0;
        CellProtection protection;
        Alignment alignment;
        Border border;
        Fill fill;
        // Palette indexes, resolved when every PALETTE record is known: left, right, top,
        // bottom, diagonal border, then the fill's foreground and background.
        std::array<unsigned, 7> colours{};
    };

    void readXf8(Cursor& in, Xf& xf) const;
    void readXf5(Cursor& in, Xf& xf) const;
    void applyNumberFormat(Style& style, int formatId) const;
    void applyColours(const Xf& xf, Style& style) const;

    struct RawFont {
        Font font;
        unsigned colorIndex = 0x7FFF;
    };
    std::vector<RawFont> fonts_;
    std::map<int, std::string> formats_;
    std::vector<Xf> xfs_;
    Palette palette_;
    std::vector<int> styleOfXf_;
};

} // namespace sheet::xls
