// The pictures of a sheet's drawing parts, read for display: where each is anchored and its
// decoded image. Charts, shapes, grouped and alternate content are left out; a part or image
// that cannot be read is skipped, never an error, since the cells are what the window shows.
#pragma once

#include "sheet/model.h"

#include <QImage>
#include <QRect>
#include <vector>

namespace viewer {

struct SheetGeometry;

// A cell corner plus an offset into the cell, in EMU (914,400 an inch).
struct AnchorPoint {
    long row = 1, column = 1; // 1-based
    long long rowOffset = 0, columnOffset = 0;
};

struct SheetPicture {
    AnchorPoint from;
    // Two-cell anchors end at a cell corner; one-cell and absolute anchors give a size.
    bool hasEnd = false;
    AnchorPoint to;
    long long width = 0, height = 0; // EMU, where !hasEnd
    bool absolute = false;           // `from` offsets measured from the sheet's top left
    QImage image;
};

// At most this many pictures of one sheet are decoded (and no more pixels than a few large
// photographs take).
inline constexpr std::size_t kMaxSheetPictures = 2000;

std::vector<SheetPicture> picturesOf(const sheet::Worksheet& sheet);

// Reads the pictures of one drawing part (its XML and the media parts it refers to).
std::vector<SheetPicture> picturesOfDrawing(const sheet::PackagePart& drawing);

// Where the picture lies in sheet pixels (the top left of cell A1 is 0,0) at `scale`.
QRect pictureRect(const SheetPicture& picture, const SheetGeometry& geometry, double scale);

} // namespace viewer
