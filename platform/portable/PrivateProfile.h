#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace quillmark::portable {

// Private-profile (INI) files without Windows, following what
// GetPrivateProfileStringA / WritePrivateProfileStringA do with users'
// files. Texts are bytes; this build stores UTF-8.

// The value of `key` in `section` of an INI text, whole; empty when the
// section or key is missing.
std::string ReadProfileValue(std::string_view content, std::string_view section, std::string_view key);

// The INI text with `key` in `section` set to `value`: an existing value is
// replaced in place, a new key or section appended; every other line is kept
// byte for byte.
std::string WithProfileValue(std::string_view content, std::string_view section, std::string_view key,
                             std::string_view value);

// As GetPrivateProfileStringA with an empty default and a buffer of
// `bufferSize` bytes: at most bufferSize - 1 bytes of the value. A missing
// file reads as empty and is not created.
std::string GetPrivateProfileString(std::string_view section, std::string_view key, std::size_t bufferSize,
                                    const std::filesystem::path& file);

// As WritePrivateProfileStringA: creates the file, section and key as
// needed; false when the file cannot be written.
bool WritePrivateProfileString(std::string_view section, std::string_view key, std::string_view value,
                               const std::filesystem::path& file);

}  // namespace quillmark::portable
