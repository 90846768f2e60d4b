// Any bytes as a project file: read, decoded and interpreted into project values.
#include "fuzz_support.h"
#include "project/project_file.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzz::writeInput(data, size, ".tbn");
    const project::ProjectFileText text = project::readProjectFile(QString::fromStdString(path));
    project::interpretProjectLines(text.lines);
    return 0;
}
