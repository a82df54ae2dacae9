// Runs a batch of private-profile operations through the portable
// implementation and writes the same report as WineProfile.exe.
// Usage: portable_profile <batch file> <work folder> <report file>

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

profile_compare::ReadResultW ReadW(const std::u16string& section, const std::u16string& key, std::size_t bufferSize,
                                   const std::filesystem::path& file) {
    profile_compare::ReadResultW result;
    result.buffer = quillmark::portable::GetPrivateProfileStringW(section, key, bufferSize, file);
    result.count = result.buffer.size();
    return result;
}

bool WriteW(const std::u16string& section, const std::u16string& key, const std::u16string& value,
            const std::filesystem::path& file) {
    return quillmark::portable::WritePrivateProfileStringW(section, key, value, file);
}

}  // namespace

int main(int argc, char** argv) {
    return profile_compare::RunBatchProgram(argc, argv, "portable_profile", {Read, Write, ReadW, WriteW});
}
