#include "support/written_package.h"

#include <gtest/gtest.h>
#include <zip.h>

namespace test_support {

namespace {

std::string resolve(const std::string& folder, const std::string& target) {
    if (!target.empty() && target.front() == '/')
        return target.substr(1);
    std::vector<std::string> segments;
    std::string path = folder + target;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string segment = path.substr(start, end - start);
        if (segment == "..") {
            if (!segments.empty())
                segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = end + 1;
    }
    std::string resolved;
    for (const std::string& segment : segments)
        resolved += (resolved.empty() ? "" : "/") + segment;
    return resolved;
}

} // namespace

WrittenPackage::WrittenPackage(const std::string& path) {
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!archive) {
        ADD_FAILURE() << path << " is no zip (" << code << ")";
        return;
    }
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        zip_file_t* file = zip_fopen_index(archive, index, 0);
        if (!file) {
            ADD_FAILURE() << "cannot open entry " << i;
            continue;
        }
        std::string data;
        char chunk[1 << 15];
        zip_int64_t got = 0;
        while ((got = zip_fread(file, chunk, sizeof chunk)) > 0)
            data.append(chunk, static_cast<std::size_t>(got));
        if (got < 0)
            ADD_FAILURE() << "entry " << zip_get_name(archive, index, 0) << " is damaged";
        zip_fclose(file);
        parts_[zip_get_name(archive, index, 0)] = std::move(data);
    }
    zip_discard(archive);
}

std::vector<std::string> WrittenPackage::partNames() const {
    std::vector<std::string> names;
    for (const auto& [name, data] : parts_)
        names.push_back(name);
    return names;
}

const std::string& WrittenPackage::text(const std::string& part) const {
    static const std::string kNone;
    auto found = parts_.find(part);
    if (found == parts_.end()) {
        ADD_FAILURE() << "no part " << part;
        return kNone;
    }
    return found->second;
}

pugi::xml_node WrittenPackage::root(const std::string& part) {
    auto& document = parsed_[part];
    if (!document) {
        document = std::make_unique<pugi::xml_document>();
        const std::string& data = text(part);
        const pugi::xml_parse_result result = document->load_buffer(
            data.data(), data.size(), pugi::parse_default | pugi::parse_ws_pcdata_single,
            pugi::encoding_utf8);
        if (!result)
            ADD_FAILURE() << part << " is not well-formed: " << result.description() << " at "
                          << result.offset;
    }
    return document->document_element();
}

std::map<std::string, std::string> WrittenPackage::relationships(const std::string& part) {
    const std::size_t slash = part.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : part.substr(0, slash + 1);
    const std::string relsPart = folder + "_rels/" + part.substr(folder.size()) + ".rels";
    std::map<std::string, std::string> targets;
    if (!contains(relsPart))
        return targets;
    for (pugi::xml_node node : root(relsPart).children("Relationship")) {
        const std::string target = node.attribute("Target").value();
        targets[node.attribute("Id").value()] =
            std::string(node.attribute("TargetMode").value()) == "External"
                ? target
                : resolve(folder, target);
    }
    return targets;
}

std::string WrittenPackage::contentType(const std::string& part) {
    pugi::xml_node types = root("[Content_Types].xml");
    for (pugi::xml_node node : types.children("Override"))
        if (std::string(node.attribute("PartName").value()) == "/" + part)
            return node.attribute("ContentType").value();
    const std::string extension = part.substr(part.rfind('.') + 1);
    for (pugi::xml_node node : types.children("Default"))
        if (node.attribute("Extension").value() == extension)
            return node.attribute("ContentType").value();
    return {};
}

std::vector<std::string> childNames(pugi::xml_node node) {
    std::vector<std::string> names;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_element)
            names.push_back(child.name());
    return names;
}

} // namespace test_support
