#include "viewer/sheet_pictures.h"

#include "viewer/sheet_renderer.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <pugixml.hpp>
#include <string_view>

namespace viewer {

namespace {

constexpr double kEmuPerPixel = 9525.0; // at 96 pixels an inch
// Media larger than this is not decoded for the window.
constexpr std::size_t kMaxImageBytes = 64u << 20;
// Larger images are decoded scaled down to this many pixels a side, and a sheet's pictures
// together to this many pixels; the rest are left out.
constexpr int kMaxImageSide = 4096;
constexpr long long kMaxSheetPixels = 64LL << 20;

// Element names compared without their prefix: files differ in the prefixes they choose.
std::string_view localName(const char* name) {
    const char* colon = std::strrchr(name, ':');
    return colon ? std::string_view(colon + 1) : std::string_view(name);
}

pugi::xml_node child(pugi::xml_node node, std::string_view name) {
    for (pugi::xml_node c : node.children())
        if (localName(c.name()) == name)
            return c;
    return {};
}

long long number(pugi::xml_node node) {
    return node ? node.text().as_llong() : 0;
}

long long attributeNumber(pugi::xml_node node, std::string_view name) {
    for (pugi::xml_attribute a : node.attributes())
        if (localName(a.name()) == name)
            return a.as_llong();
    return 0;
}

AnchorPoint pointOf(pugi::xml_node marker) {
    AnchorPoint point;
    point.column =
        std::clamp<long long>(number(child(marker, "col")), 0, sheet::kMaxColumns - 1) + 1;
    point.row = std::clamp<long long>(number(child(marker, "row")), 0, sheet::kMaxRows - 1) + 1;
    point.columnOffset = std::max(0LL, number(child(marker, "colOff")));
    point.rowOffset = std::max(0LL, number(child(marker, "rowOff")));
    return point;
}

// The relationship id of the picture's image ("r:embed" of its blip).
std::string embeddedId(pugi::xml_node picture) {
    const pugi::xml_node blip = child(child(picture, "blipFill"), "blip");
    for (pugi::xml_attribute a : blip.attributes())
        if (localName(a.name()) == "embed")
            return a.value();
    return {};
}

QImage decode(const sheet::PackagePart& drawing, const std::string& id, long long& budget) {
    const auto relation =
        std::find_if(drawing.relations.begin(), drawing.relations.end(),
                     [&](const sheet::PartRelation& r) { return r.id == id && r.part; });
    if (relation == drawing.relations.end())
        return {};
    const std::string& bytes = relation->part->data;
    if (bytes.empty() || bytes.size() > kMaxImageBytes)
        return {};
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    QSize size = reader.size();
    if (!size.isValid())
        return {};
    if (size.width() > kMaxImageSide || size.height() > kMaxImageSide) {
        size = size.scaled(kMaxImageSide, kMaxImageSide, Qt::KeepAspectRatio);
        reader.setScaledSize(size);
    }
    const long long pixels = static_cast<long long>(size.width()) * size.height();
    if (pixels > budget)
        return {};
    QImage image = reader.read();
    if (!image.isNull())
        budget -= pixels;
    return image;
}

bool readAnchor(pugi::xml_node anchor, SheetPicture& picture) {
    const std::string_view kind = localName(anchor.name());
    if (kind == "twoCellAnchor") {
        picture.from = pointOf(child(anchor, "from"));
        picture.to = pointOf(child(anchor, "to"));
        picture.hasEnd = true;
        return true;
    }
    const pugi::xml_node extent = child(anchor, "ext");
    picture.width = std::max(0LL, attributeNumber(extent, "cx"));
    picture.height = std::max(0LL, attributeNumber(extent, "cy"));
    if (kind == "oneCellAnchor") {
        picture.from = pointOf(child(anchor, "from"));
        return true;
    }
    if (kind == "absoluteAnchor") {
        const pugi::xml_node position = child(anchor, "pos");
        picture.absolute = true;
        picture.from.columnOffset = std::max(0LL, attributeNumber(position, "x"));
        picture.from.rowOffset = std::max(0LL, attributeNumber(position, "y"));
        return true;
    }
    return false;
}

int pixels(long long emu, double scale) {
    return static_cast<int>(std::lround(static_cast<double>(emu) / kEmuPerPixel * scale));
}

long long edge(const AxisMetrics& axis, long index, long long offset, double scale) {
    const long clamped = std::clamp(index, 1L, std::max(1L, axis.count()));
    // An offset never reaches past its own cell, as in the spreadsheet application.
    return axis.offsetOf(clamped) +
           std::min<long long>(pixels(offset, scale), axis.sizeOf(clamped));
}

} // namespace

static std::vector<SheetPicture> picturesOfDrawing(const sheet::PackagePart& drawing,
                                                   long long& budget) {
    std::vector<SheetPicture> pictures;
    pugi::xml_document document;
    if (!document.load_buffer(drawing.data.data(), drawing.data.size()))
        return pictures;
    for (pugi::xml_node anchor : document.document_element().children()) {
        const pugi::xml_node pic = child(anchor, "pic");
        if (!pic)
            continue; // a chart, a shape, a group or alternate content
        SheetPicture picture;
        if (!readAnchor(anchor, picture))
            continue;
        picture.image = decode(drawing, embeddedId(pic), budget);
        if (picture.image.isNull())
            continue;
        pictures.push_back(std::move(picture));
        if (pictures.size() >= kMaxSheetPictures)
            break;
    }
    return pictures;
}

std::vector<SheetPicture> picturesOfDrawing(const sheet::PackagePart& drawing) {
    long long budget = kMaxSheetPixels;
    return picturesOfDrawing(drawing, budget);
}

std::vector<SheetPicture> picturesOf(const sheet::Worksheet& sheet) {
    std::vector<SheetPicture> pictures;
    long long budget = kMaxSheetPixels;
    for (const sheet::SheetAttachment& attachment : sheet.attachments) {
        if (attachment.element != "drawing" || !attachment.part)
            continue;
        std::vector<SheetPicture> more = picturesOfDrawing(*attachment.part, budget);
        for (SheetPicture& picture : more) {
            if (pictures.size() >= kMaxSheetPictures)
                return pictures;
            pictures.push_back(std::move(picture));
        }
    }
    return pictures;
}

QRect pictureRect(const SheetPicture& picture, const SheetGeometry& geometry, double scale) {
    if (picture.absolute)
        return QRect(pixels(picture.from.columnOffset, scale),
                     pixels(picture.from.rowOffset, scale), pixels(picture.width, scale),
                     pixels(picture.height, scale));
    const long long left =
        edge(geometry.columns, picture.from.column, picture.from.columnOffset, scale);
    const long long top = edge(geometry.rows, picture.from.row, picture.from.rowOffset, scale);
    long long right = left + pixels(picture.width, scale);
    long long bottom = top + pixels(picture.height, scale);
    if (picture.hasEnd) {
        right = edge(geometry.columns, picture.to.column, picture.to.columnOffset, scale);
        bottom = edge(geometry.rows, picture.to.row, picture.to.rowOffset, scale);
    }
    const auto clampInt = [](long long v) {
        return static_cast<int>(std::clamp<long long>(v, -(1LL << 30), 1LL << 30));
    };
    return QRect(QPoint(clampInt(left), clampInt(top)),
                 QPoint(clampInt(std::max(left, right)) - 1, clampInt(std::max(top, bottom)) - 1));
}

} // namespace viewer
