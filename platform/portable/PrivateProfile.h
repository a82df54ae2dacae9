#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace quillmark::portable {

// Private-profile (INI) files without Windows, following what the
// private-profile calls do with users' files. A file that begins with the
// UTF-16LE byte-order mark holds Unicode text; any other file holds bytes in
// the ANSI code page, which in this build is UTF-8. A write keeps the file's
// encoding. The plain functions take and give ANSI bytes, as the calls
// ending in A do; those ending in W take and give UTF-16.

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
// As GetPrivateProfileStringW: the same with a buffer of UTF-16 units.
std::u16string GetPrivateProfileStringW(std::u16string_view section, std::u16string_view key, std::size_t bufferSize,
                                        const std::filesystem::path& file);

// As WritePrivateProfileStringA and W: creates the file (in ANSI), section
// and key as needed; false when the file cannot be written.
bool WritePrivateProfileString(std::string_view section, std::string_view key, std::string_view value,
                               const std::filesystem::path& file);
bool WritePrivateProfileStringW(std::u16string_view section, std::u16string_view key, std::u16string_view value,
                                const std::filesystem::path& file);

// Rewrites an ANSI file in UTF-16LE with its byte-order mark, every line
// kept; a UTF-16 file stays as it is, a missing one is created holding only
// the mark. False, the file unchanged, when it cannot be written or its
// bytes do not convert exactly.
bool ConvertProfileToUtf16(const std::filesystem::path& file);

}  // namespace quillmark::portable
