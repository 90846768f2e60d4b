#include "support/office_conversion.h"

#include <cstdlib>
#include <fstream>
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

// A profile that makes the suite compute every formula of an .xlsx file when loading it,
// instead of trusting the stored results.
void writeRecomputingProfile(const std::filesystem::path& profile) {
    std::filesystem::create_directories(profile / "user");
    std::ofstream(profile / "user" / "registrymodifications.xcu")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
           "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
           "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
           "<item oor:path=\"/org.openoffice.Office.Calc/Formula/Load\">"
           "<prop oor:name=\"OOXMLRecalcMode\" oor:op=\"fuse\"><value>0</value></prop></item>\n"
           "</oor:items>\n";
}

} // namespace

bool convertAllWithOffice(const std::vector<std::filesystem::path>& sources,
                          const std::string& format, const std::filesystem::path& folder,
                          StoredResults results) {
    std::filesystem::create_directories(folder);
    // A profile of its own, so that runs in parallel do not wait for each other.
    std::string profile = "/tmp/tabrinel-office-" + std::to_string(getpid());
    if (results == StoredResults::Recomputed) {
        profile += "-recomputing";
        writeRecomputingProfile(profile);
    }
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
                                        const std::filesystem::path& folder,
                                        StoredResults results) {
    if (!convertAllWithOffice({source}, format, folder, results))
        return {};
    return convertedName(source, format, folder);
}

} // namespace test_support
