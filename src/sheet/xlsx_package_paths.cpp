#include "sheet/xlsx_package_paths.h"

#include "sheet/xml_part.h"
#include "sheet/zip_archive.h"

namespace sheet {

std::string relationshipsPartName(const std::string& part) {
    const size_t slash = part.rfind('/');
    if (slash == std::string::npos)
        return "_rels/" + part + ".rels";
    return part.substr(0, slash + 1) + "_rels/" + part.substr(slash + 1) + ".rels";
}

std::string partFolder(const std::string& part) {
    const size_t slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

std::string resolvePartTarget(const std::string& folder, std::string_view target) {
    const std::string joined = !target.empty() && target.front() == '/'
                                   ? std::string(target.substr(1))
                                   : folder + std::string(target);
    std::vector<std::string_view> segments;
    const std::string_view text = joined;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('/', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view segment = text.substr(start, end - start);
        if (segment == "..") {
            if (!segments.empty())
                segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = end + 1;
    }
    std::string resolved;
    for (std::string_view segment : segments) {
        if (!resolved.empty())
            resolved += '/';
        resolved += segment;
    }
    return resolved;
}

bool relationTypeIs(std::string_view type, std::string_view kind) {
    return type.size() > kind.size() && type.substr(type.size() - kind.size()) == kind &&
           type[type.size() - kind.size() - 1] == '/';
}

std::vector<PackageRelation> readPackageRelations(ZipArchive& zip, const std::string& part) {
    std::vector<PackageRelation> relations;
    const std::string relsPart = relationshipsPartName(part);
    if (!zip.contains(relsPart))
        return relations;
    XmlPart rels(zip.read(relsPart), zip.path(), relsPart);
    const std::string folder = partFolder(part);
    for (pugi::xml_node node = rels.root().first_child(); node; node = node.next_sibling()) {
        if (!isNamed(node, "Relationship"))
            continue;
        PackageRelation relation;
        relation.id = attributeText(node, "Id");
        relation.type = attributeText(node, "Type");
        relation.external = attributeText(node, "TargetMode") == "External";
        const std::string_view target = attributeText(node, "Target");
        relation.target =
            relation.external ? std::string(target) : resolvePartTarget(folder, target);
        if (!relation.id.empty())
            relations.push_back(std::move(relation));
    }
    return relations;
}

} // namespace sheet
