#include "support/office_conversion.h"

#include <cstdlib>
#include <unistd.h>

namespace test_support {

bool officeSuiteInstalled() {
    return std::system("command -v soffice >/dev/null 2>&1") == 0;
}

namespace {

std::filesystem::path convertedName(const std::filesystem::path& source, const std::string& format,
                                    const std::filesystem::path& folder) {
    std::filesystem::path out = folder / source.filename();
    out.replace_extension("." + format.substr(0, format.find(':')));
    return out;
}

} // namespace

bool convertAllWithOffice(const std::vector<std::filesystem::path>& sources,
                          const std::string& format, const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    // A profile of its own, so that runs in parallel do not wait for each other.
    const std::string profile = "/tmp/tabrinel-office-" + std::to_string(getpid());
    std::string command = "soffice -env:UserInstallation=file://" + profile +
                          " --headless --norestore --convert-to '" + format + "' --outdir '" +
                          folder.string() + "'";
    for (const auto& source : sources)
        command += " '" + source.string() + "'";
    command += " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
        return false;
    for (const auto& source : sources)
        if (!std::filesystem::exists(convertedName(source, format, folder)))
            return false;
    return true;
}

std::filesystem::path convertWithOffice(const std::filesystem::path& source,
                                        const std::string& format,
                                        const std::filesystem::path& folder) {
    if (!convertAllWithOffice({source}, format, folder))
        return {};
    return convertedName(source, format, folder);
}

} // namespace test_support
