#include "sheet/xlsx_package_index.h"

#include "sheet/xlsx_xml_text.h"

namespace sheet {

namespace {

std::string folderOf(const std::string& partName) {
    const std::size_t slash = partName.rfind('/');
    return slash == std::string::npos ? std::string() : partName.substr(0, slash + 1);
}

std::vector<std::string> segmentsOf(const std::string& path) {
    std::vector<std::string> segments;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = path.find('/', start);
        const std::size_t stop = end == std::string::npos ? path.size() : end;
        if (stop > start)
            segments.push_back(path.substr(start, stop - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return segments;
}

} // namespace

std::string Relationships::add(const std::string& type, const std::string& target, bool external) {
    std::string id = "rId" + std::to_string(entries_.size() + 1);
    entries_.push_back({id, type, target, external});
    return id;
}

void Relationships::addWithId(const std::string& id, const std::string& type,
                              const std::string& target, bool external) {
    entries_.push_back({id, type, target, external});
}

std::string Relationships::xml() const {
    std::string out = kXmlDeclaration;
    out += "<Relationships "
           "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    for (const Entry& entry : entries_) {
        out += "<Relationship";
        appendAttribute(out, "Id", entry.id);
        appendAttribute(out, "Type", entry.type);
        appendAttribute(out, "Target", entry.target);
        if (entry.external)
            out += " TargetMode=\"External\"";
        out += "/>";
    }
    out += "</Relationships>";
    return out;
}

ContentTypes::ContentTypes() {
    defaults_["rels"] = content_types::kRelationships;
    defaults_["xml"] = "application/xml";
}

void ContentTypes::addOverride(const std::string& partName, const std::string& contentType) {
    overrides_.emplace_back("/" + partName, contentType);
}

std::string ContentTypes::xml() const {
    std::string out = kXmlDeclaration;
    out += "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">";
    for (const auto& [extension, type] : defaults_) {
        out += "<Default";
        appendAttribute(out, "Extension", extension);
        appendAttribute(out, "ContentType", type);
        out += "/>";
    }
    for (const auto& [part, type] : overrides_) {
        out += "<Override";
        appendAttribute(out, "PartName", part);
        appendAttribute(out, "ContentType", type);
        out += "/>";
    }
    out += "</Types>";
    return out;
}

std::string relationshipsPartOf(const std::string& partName) {
    const std::string folder = folderOf(partName);
    return folder + "_rels/" + partName.substr(folder.size()) + ".rels";
}

std::string relativeTarget(const std::string& fromPart, const std::string& toPart) {
    const std::vector<std::string> from = segmentsOf(folderOf(fromPart));
    const std::vector<std::string> to = segmentsOf(toPart);
    std::size_t common = 0;
    while (common < from.size() && common + 1 < to.size() && from[common] == to[common])
        ++common;
    std::string target;
    for (std::size_t i = common; i < from.size(); ++i)
        target += "../";
    for (std::size_t i = common; i < to.size(); ++i) {
        target += to[i];
        if (i + 1 < to.size())
            target += '/';
    }
    return target;
}

} // namespace sheet
