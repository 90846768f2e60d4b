// Small edits to the parts of a written .xlsx, for what the writer library cannot express
// (the 1904 date system, stored password hashes, a sheet's default column width).
#pragma once

#include <functional>
#include <map>
#include <string>

namespace sheet {

using PartEdit = std::function<void(std::string& xml)>;

// Applies each edit to its part of the zip at `file`, in place. Throws FileError naming
// `reportedPath` when the archive cannot be rewritten.
void patchPackage(const std::string& file, const std::map<std::string, PartEdit>& edits,
                  const std::string& reportedPath);

// Adds `attributes` (already escaped, with a leading space) to the first element `element`.
void addAttributes(std::string& xml, const std::string& element, const std::string& attributes);

std::string escapeAttribute(const std::string& value);

} // namespace sheet
