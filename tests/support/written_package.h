// The parts of a written .xlsx package, read and parsed for tests that look at the XML itself.
#pragma once

#include <map>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <vector>

namespace test_support {

class WrittenPackage {
public:
    explicit WrittenPackage(const std::string& path);

    std::vector<std::string> partNames() const;
    bool contains(const std::string& part) const { return parts_.count(part) != 0; }
    const std::string& text(const std::string& part) const;
    // The part parsed; a part that is not well-formed XML fails the test.
    pugi::xml_node root(const std::string& part);
    // The relationship targets of a part by id, resolved to part names.
    std::map<std::string, std::string> relationships(const std::string& part);
    // The content type the package gives a part (its override, else its extension's default).
    std::string contentType(const std::string& part);

private:
    std::map<std::string, std::string> parts_;
    std::map<std::string, std::unique_ptr<pugi::xml_document>> parsed_;
};

// Names of the element's child elements, in order.
std::vector<std::string> childNames(pugi::xml_node node);

} // namespace test_support
