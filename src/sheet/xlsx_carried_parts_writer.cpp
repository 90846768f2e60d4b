#include "sheet/xlsx_carried_parts_writer.h"

#include "sheet/xlsx_package_writer.h"

#include <cctype>

namespace sheet {

namespace {

struct NameShape {
    std::string folder, stem, extension;
};

// "xl/media/image12.png" -> {"xl/media/", "image", ".png"}.
NameShape shapeOf(const std::string& name) {
    const std::size_t slash = name.rfind('/');
    NameShape shape;
    shape.folder = slash == std::string::npos ? "xl/" : name.substr(0, slash + 1);
    std::string file = slash == std::string::npos ? name : name.substr(slash + 1);
    const std::size_t dot = file.rfind('.');
    if (dot != std::string::npos && dot > 0) {
        shape.extension = file.substr(dot);
        file.resize(dot);
    }
    while (!file.empty() && std::isdigit(static_cast<unsigned char>(file.back())))
        file.pop_back();
    shape.stem = file.empty() ? "part" : file;
    return shape;
}

} // namespace

std::string PartNames::fresh(const std::string& like) {
    const NameShape shape = shapeOf(like);
    const std::string key = shape.folder + shape.stem + shape.extension;
    long& number = next_.try_emplace(key, 1).first->second;
    std::string name;
    do
        name = shape.folder + shape.stem + std::to_string(number++) + shape.extension;
    while (taken_.count(name));
    taken_.insert(name);
    return name;
}

std::string CarriedParts::carry(const std::shared_ptr<const PackagePart>& part, int scope) {
    const auto key = std::make_pair(scope, part.get());
    if (auto found = byPart_.find(key); found != byPart_.end())
        return written_[found->second].name;
    const std::size_t index = written_.size();
    written_.push_back({names_.fresh(part->name), part, {}});
    byPart_[key] = index;
    const std::string name = written_[index].name;
    types_.addOverride(name, part->contentType.empty() ? std::string("application/octet-stream")
                                                       : part->contentType);
    // The part's bytes name its relationships by id; the ids stay, the targets follow the
    // related parts to their new names.
    Relationships relations;
    for (const PartRelation& relation : part->relations) {
        if (relation.external) {
            relations.addWithId(relation.id, relation.type, relation.target, true);
            continue;
        }
        if (!relation.part)
            continue;
        const std::string target = carry(relation.part, scope);
        relations.addWithId(relation.id, relation.type, relativeTarget(name, target), false);
    }
    written_[index].relations = std::move(relations);
    return name;
}

void CarriedParts::writeTo(PackageWriter& package) const {
    for (const Written& written : written_) {
        package.add(written.name, written.part->data);
        if (!written.relations.empty())
            package.add(relationshipsPartOf(written.name), written.relations.xml());
    }
}

} // namespace sheet
