#include "support/office_conversion.h"

#include <cstdlib>
#include <unistd.h>

namespace test_support {

bool officeSuiteInstalled() {
    return std::system("command -v soffice >/dev/null 2>&1") == 0;
}

std::filesystem::path convertWithOffice(const std::filesystem::path& source,
                                        const std::string& format,
                                        const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    // A profile of its own, so that runs in parallel do not wait for each other.
    const std::string profile = "/tmp/tabrinel-office-" + std::to_string(getpid());
    const std::string command = "soffice -env:UserInstallation=file://" + profile +
                                " --headless --norestore --convert-to " + format + " --outdir '" +
                                folder.string() + "' '" + source.string() + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
        return {};
    std::filesystem::path out = folder / source.filename();
    out.replace_extension(format == "csv" ? ".csv" : "." + format);
    return std::filesystem::exists(out) ? out : std::filesystem::path();
}

} // namespace test_support
