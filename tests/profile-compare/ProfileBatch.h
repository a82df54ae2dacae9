#pragma once

// The batch both comparison programs run: the Windows one through the real
// private-profile calls, the Linux one through the portable functions.
// Both read the same batch and write the same report format, so that the
// runner compares the two reports line by line.
//
// Batch, one statement a line, byte strings in hex after a ':' (":" alone is
// the empty string):
//   case <name>
//   file missing | file :<hex>          the file before the operations
//   read :<section> :<key> <bufsize>
//   write :<section> :<key> :<value>
//   readw :<section> :<key> <size in UTF-16 units>    the wide calls; their
//   writew :<section> :<key> :<value>                 strings in UTF-16LE
//   end
// Report, per case:
//   case <name>
//   read <returned count> :<buffer up to its NUL> <1 if NUL-terminated in the buffer>
//   write <1 if the call succeeded>
//   readw <returned count> :<buffer up to its NUL, UTF-16LE> <1 if NUL-terminated in the buffer>
//   writew <1 if the call succeeded>
//   file missing | file :<hex>          the file after the operations
//   names <the case folder's entries, '/'-separated, sorted; (none) when empty>
//   end

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace profile_compare {

struct ReadResult {
    std::size_t count = 0;
    std::string buffer;  // up to its first NUL
    bool terminated = true;
};

struct ReadResultW {
    std::size_t count = 0;
    std::u16string buffer;  // up to its first NUL
    bool terminated = true;
};

struct Calls {
    std::function<ReadResult(const std::string& section, const std::string& key, std::size_t bufferSize,
                             const std::filesystem::path& file)>
        read;
    std::function<bool(const std::string& section, const std::string& key, const std::string& value,
                       const std::filesystem::path& file)>
        write;
    std::function<ReadResultW(const std::u16string& section, const std::u16string& key, std::size_t bufferSize,
                              const std::filesystem::path& file)>
        readW;
    std::function<bool(const std::u16string& section, const std::u16string& key, const std::u16string& value,
                       const std::filesystem::path& file)>
        writeW;
};

inline std::u16string FromUtf16Le(const std::string& bytes) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    return units;
}

inline std::string ToUtf16Le(const std::u16string& units) {
    std::string bytes;
    for (char16_t unit : units) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

inline std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string text = ":";
    for (unsigned char c : bytes) {
        text.push_back(digits[c >> 4]);
        text.push_back(digits[c & 15]);
    }
    return text;
}

inline std::optional<std::string> Unhex(const std::string& text) {
    if (text.empty() || text[0] != ':' || text.size() % 2 == 0) return std::nullopt;
    auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::string bytes;
    for (std::size_t i = 1; i + 1 < text.size(); i += 2) {
        const int high = nibble(text[i]);
        const int low = nibble(text[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes.push_back(static_cast<char>(high * 16 + low));
    }
    return bytes;
}

inline std::optional<std::string> FileBytes(const std::filesystem::path& file) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline bool PutFileBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

inline std::string FolderNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    if (names.empty()) return "(none)";
    std::string joined = names[0];
    for (std::size_t i = 1; i < names.size(); ++i) joined += "/" + names[i];
    return joined;
}

inline std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

// Runs every case of the batch, each in a fresh numbered folder under
// `work`, and writes the report. Returns false, with `error` set, on a batch
// it cannot understand or a folder it cannot make.
inline bool RunBatch(std::istream& batch, const std::filesystem::path& work, const Calls& calls, std::ostream& report,
                     std::string& error) {
    std::filesystem::path folder;
    std::filesystem::path file;
    int caseNumber = 0;
    int lineNumber = 0;
    for (std::string line; std::getline(batch, line);) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::vector<std::string> words = Words(line);
        if (words.empty()) continue;
        const std::string where = "batch line " + std::to_string(lineNumber);
        auto bytes = [&](std::size_t i) -> std::string {
            const std::optional<std::string> value = i < words.size() ? Unhex(words[i]) : std::nullopt;
            if (!value) throw std::runtime_error(where + ": bad byte string");
            return *value;
        };
        try {
            if (words[0] == "case" && words.size() == 2) {
                folder = work / (std::to_string(++caseNumber) + "-" + words[1]);
                std::error_code ignored;
                std::filesystem::remove_all(folder, ignored);
                if (!std::filesystem::create_directories(folder, ignored)) {
                    error = where + ": cannot make " + folder.string();
                    return false;
                }
                file = folder / "Quillmark.ini";
                report << "case " << words[1] << "\n";
            } else if (words[0] == "file" && words.size() == 2) {
                if (words[1] != "missing" && !PutFileBytes(file, bytes(1))) {
                    error = where + ": cannot write " + file.string();
                    return false;
                }
            } else if (words[0] == "read" && words.size() == 4) {
                const ReadResult result = calls.read(bytes(1), bytes(2), std::stoul(words[3]), file);
                report << "read " << result.count << " " << Hex(result.buffer) << " " << result.terminated << "\n";
            } else if (words[0] == "write" && words.size() == 4) {
                report << "write " << calls.write(bytes(1), bytes(2), bytes(3), file) << "\n";
            } else if (words[0] == "readw" && words.size() == 4) {
                const ReadResultW result =
                    calls.readW(FromUtf16Le(bytes(1)), FromUtf16Le(bytes(2)), std::stoul(words[3]), file);
                report << "readw " << result.count << " " << Hex(ToUtf16Le(result.buffer)) << " " << result.terminated
                       << "\n";
            } else if (words[0] == "writew" && words.size() == 4) {
                report << "writew "
                       << calls.writeW(FromUtf16Le(bytes(1)), FromUtf16Le(bytes(2)), FromUtf16Le(bytes(3)), file)
                       << "\n";
            } else if (words[0] == "end" && words.size() == 1) {
                const std::optional<std::string> content = FileBytes(file);
                report << "file " << (content ? Hex(*content) : std::string("missing")) << "\n";
                report << "names " << FolderNames(folder) << "\n";
                report << "end\n";
            } else {
                error = where + ": not understood";
                return false;
            }
        } catch (const std::exception& e) {
            error = e.what();
            return false;
        }
    }
    return true;
}

// The whole program around RunBatch: <batch file> <work folder> <report
// file>. The report goes to a file because a pipe from a Wine process can
// stay open after the process ends.
inline int RunBatchProgram(int argc, char** argv, const char* programName, const Calls& calls) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <batch file> <work folder> <report file>\n", programName);
        return 2;
    }
    std::ifstream batch(argv[1], std::ios::binary);
    if (!batch) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    std::ostringstream report;
    std::string error;
    const bool ran = RunBatch(batch, argv[2], calls, report, error);
    if (!ran) report << "error " << error << "\n";
    std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
    out << report.str();
    out.close();
    return ran && out ? 0 : 1;
}

}  // namespace profile_compare
