// Runs a batch of private-profile operations through the portable
// implementation and writes the same report as WineProfile.exe.
// Usage: portable_profile <batch file> <work folder> <report file>

#include <cstdio>
#include <fstream>
#include <string>

#include "ProfileBatch.h"
#include "platform/portable/PrivateProfile.h"

namespace {

profile_compare::ReadResult Read(const std::string& section, const std::string& key, std::size_t bufferSize,
                                 const std::filesystem::path& file) {
    profile_compare::ReadResult result;
    result.buffer = quillmark::portable::GetPrivateProfileString(section, key, bufferSize, file);
    result.count = result.buffer.size();
    return result;
}

bool Write(const std::string& section, const std::string& key, const std::string& value,
           const std::filesystem::path& file) {
    return quillmark::portable::WritePrivateProfileString(section, key, value, file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: portable_profile <batch file> <work folder> <report file>\n");
        return 2;
    }
    std::ifstream batch(argv[1], std::ios::binary);
    if (!batch) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    std::ostringstream report;
    std::string error;
    const bool ran = profile_compare::RunBatch(batch, argv[2], {Read, Write}, report, error);
    if (!ran) report << "error " << error << "\n";
    std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
    out << report.str();
    out.close();
    return ran && out ? 0 : 1;
}
