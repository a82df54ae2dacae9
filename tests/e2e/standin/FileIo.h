#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace standin {

std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::wstring& path);

// Writes a sibling file first and moves it over `path`, so that a failed
// write leaves the old file as it was.
bool WriteFileBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes);

// Cuts the file to half its length, in place; returns the new length.
std::optional<std::uint64_t> CutFileToHalf(const std::wstring& path);

// Where a program's image ends in its file: past the headers and every
// section's raw data; nothing when the bytes are no program.
std::optional<std::size_t> ImageEnd(const std::vector<std::uint8_t>& bytes);

// A program's resource data directory: its RVA and Size fields, and where
// the Size field sits in the file.
struct ResourceDirectory {
    std::size_t sizeOffset = 0;
    std::uint32_t rva = 0;
    std::uint32_t size = 0;
};
std::optional<ResourceDirectory> ResourceDirectoryOf(const std::vector<std::uint8_t>& bytes);

// The raw data of the section that holds `rva`; nothing when none does.
std::optional<std::vector<std::uint8_t>> SectionBytesAt(const std::vector<std::uint8_t>& bytes, std::uint32_t rva);

// The folder of the running exe, with its trailing backslash.
std::wstring ProgramFolder();

std::string ToUtf8(const std::wstring& text);

// UTF-16 with a byte-order mark, else UTF-8 (a leading mark is dropped).
std::wstring DecodeText(const std::vector<std::uint8_t>& bytes);

// The Win32 error text of GetLastError(), for the log.
std::wstring LastErrorText();

}  // namespace standin
