#include "sheet/xlsx_carried_parts.h"

#include "sheet/file_error.h"
#include "sheet/io_messages.h"
#include "sheet/xml_part.h"
#include "sheet/zip_archive.h"

#include <algorithm>
#include <sstream>
#include <unordered_map>

namespace sheet {

namespace {

// Parts refer to parts a few levels deep (sheet, drawing, chart, picture); a longer chain only
// comes from a hostile file and would exhaust the stack.
constexpr size_t kMaxCarryDepth = 32;

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string extensionOf(const std::string& name) {
    const size_t dot = name.rfind('.');
    const size_t slash = name.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return lowerCase(name.substr(dot + 1));
}

// The element as XML text with the relationship id replaced by "{rId}".
std::string elementTemplate(pugi::xml_node node, std::string_view id) {
    std::ostringstream out;
    node.print(out, "", pugi::format_raw | pugi::format_no_declaration);
    std::string text = out.str();
    const std::string quoted = "\"" + std::string(id) + "\"";
    if (const size_t at = text.find(quoted); at != std::string::npos)
        text.replace(at + 1, id.size(), "{rId}");
    return text;
}

// The plain form of a control or embedded object: the element itself, or the fallback of an
// mc:AlternateContent.
void collectObjects(pugi::xml_node parent, std::string_view element,
                    std::vector<pugi::xml_node>& objects) {
    for (pugi::xml_node node = parent.first_child(); node; node = node.next_sibling()) {
        if (isNamed(node, element))
            objects.push_back(node);
        else if (isNamed(node, "AlternateContent"))
            collectObjects(childNamed(node, "Fallback"), element, objects);
    }
}

// List elements and the elements they hold.
constexpr std::pair<std::string_view, std::string_view> kObjectLists[] = {
    {"controls", "control"}, {"oleObjects", "oleObject"}};

bool hasNotes(const std::vector<PackageRelation>& relations) {
    return std::any_of(relations.begin(), relations.end(), [](const PackageRelation& relation) {
        return relationTypeIs(relation.type, "comments");
    });
}

class AttachmentReader {
public:
    AttachmentReader(const std::vector<PackageRelation>& relations, PartCarrier& carrier,
                     Worksheet& sheet)
        : relations_(relations), carrier_(carrier), sheet_(sheet) {
        for (const PackageRelation& relation : relations)
            byId_.try_emplace(relation.id, &relation);
    }

    void read(pugi::xml_node worksheet) {
        const bool notes = hasNotes(relations_);
        for (pugi::xml_node node = worksheet.first_child(); node; node = node.next_sibling()) {
            const std::string_view name = localName(node);
            if (name == "drawing" || name == "legacyDrawingHF" || name == "picture")
                attach(node, std::string(name), {});
            else if (name == "legacyDrawing" && !notes)
                attach(node, "legacyDrawing", {});
            else if (name == "tableParts")
                readChildren(node, "tablePart");
            else if (name == "AlternateContent")
                readAlternate(node);
            else
                readObjectList(node);
        }
    }

private:
    void readChildren(pugi::xml_node parent, std::string_view element) {
        for (pugi::xml_node node = parent.first_child(); node; node = node.next_sibling())
            if (isNamed(node, element))
                attach(node, std::string(element), {});
    }

    // <controls> or <oleObjects>; false for any other element.
    bool readObjectList(pugi::xml_node list) {
        for (const auto& [listName, element] : kObjectLists) {
            if (!isNamed(list, listName))
                continue;
            std::vector<pugi::xml_node> objects;
            collectObjects(list, element, objects);
            for (pugi::xml_node object : objects)
                attach(object, std::string(element),
                       elementTemplate(object, attributeText(object, "r:id")));
            return true;
        }
        return false;
    }

    // Some writers wrap <controls> in an mc:AlternateContent of its own.
    void readAlternate(pugi::xml_node alternate) {
        for (pugi::xml_node branch = alternate.first_child(); branch;
             branch = branch.next_sibling())
            for (pugi::xml_node child = branch.first_child(); child; child = child.next_sibling())
                if (readObjectList(child))
                    return;
    }

    void attach(pugi::xml_node node, std::string element, std::string elementXml) {
        auto found = byId_.find(std::string(attributeText(node, "r:id")));
        if (found == byId_.end() || found->second->external)
            return;
        const PackageRelation* relation = found->second;
        auto part = carrier_.carry(relation->target);
        if (!part)
            return;
        sheet_.attachments.push_back(SheetAttachment{std::move(element), relation->type,
                                                     std::move(part), std::move(elementXml)});
    }

    const std::vector<PackageRelation>& relations_;
    PartCarrier& carrier_;
    Worksheet& sheet_;
    std::unordered_map<std::string, const PackageRelation*> byId_;
};

} // namespace

PartCarrier::PartCarrier(ZipArchive& zip) : zip_(zip) {}

void PartCarrier::readContentTypes() {
    contentTypesRead_ = true;
    const std::string name = "[Content_Types].xml";
    if (!zip_.contains(name))
        return;
    XmlPart types(zip_.read(name), zip_.path(), name);
    for (pugi::xml_node node = types.root().first_child(); node; node = node.next_sibling()) {
        const std::string type(attributeText(node, "ContentType"));
        if (isNamed(node, "Default"))
            defaults_[lowerCase(std::string(attributeText(node, "Extension")))] = type;
        else if (isNamed(node, "Override"))
            overrides_[lowerCase(resolvePartTarget("", attributeText(node, "PartName")))] = type;
    }
}

std::string PartCarrier::contentTypeOf(const std::string& name) const {
    if (auto found = overrides_.find(lowerCase(name)); found != overrides_.end())
        return found->second;
    if (auto found = defaults_.find(extensionOf(name)); found != defaults_.end())
        return found->second;
    return "application/octet-stream";
}

std::shared_ptr<const PackagePart> PartCarrier::carry(const std::string& name) {
    if (auto found = taken_.find(name); found != taken_.end())
        return found->second;
    if (!zip_.contains(name) || inProgress_.count(name) || inProgress_.size() >= kMaxCarryDepth)
        return nullptr;
    if (taken_.size() + inProgress_.size() >= kMaxCarriedParts)
        throwFileError(zip_.path(), io_messages::kTooManyParts, name);
    if (!contentTypesRead_)
        readContentTypes();
    inProgress_.insert(name);
    auto part = std::make_shared<PackagePart>();
    part->name = name;
    part->contentType = contentTypeOf(name);
    part->data = zip_.read(name);
    for (PackageRelation& relation : readPackageRelations(zip_, name)) {
        PartRelation carried{relation.id, relation.type, {}, relation.external, nullptr};
        if (relation.external) {
            carried.target = std::move(relation.target);
        } else {
            carried.part = carry(relation.target);
            if (!carried.part)
                continue;
        }
        part->relations.push_back(std::move(carried));
    }
    inProgress_.erase(name);
    taken_[name] = part;
    return part;
}

void readSheetAttachments(pugi::xml_node worksheet, const std::vector<PackageRelation>& relations,
                          PartCarrier& carrier, Worksheet& sheet) {
    AttachmentReader(relations, carrier, sheet).read(worksheet);
}

} // namespace sheet
