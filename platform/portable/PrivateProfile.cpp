#include "platform/portable/PrivateProfile.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <optional>
#include <system_error>
#include <vector>

#include "platform/portable/ProfileText.h"

namespace quillmark::portable {

namespace {

namespace fs = std::filesystem;

// Where a section and key stand in the lines. Only the first section of a
// name counts, and in it only the first key of a name.
struct Place {
    std::optional<std::size_t> section;  // its header line
    std::optional<std::size_t> key;      // the key's line
    std::size_t lastKeyOrHeader = 0;     // the line a new key goes after
};

Place Locate(const std::vector<ProfileLine>& lines, std::string_view section, std::string_view key) {
    Place place;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ProfileLine& line = lines[i];
        if (line.kind == ProfileLine::Kind::Section) {
            if (place.section) break;
            if (SameProfileName(line.name, section)) place.section = place.lastKeyOrHeader = i;
        } else if (place.section && line.kind == ProfileLine::Kind::Key) {
            place.lastKeyOrHeader = i;
            if (!place.key && SameProfileName(line.name, key)) place.key = i;
        }
    }
    return place;
}

bool EndsWithLineBreak(std::string_view text) { return text.ends_with('\n') || text.ends_with('\r'); }

// istream::read turns a failing read (a folder, say) into badbit where a
// stream-buffer iterator would let the exception through.
std::optional<std::string> ReadWholeFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string content;
    char chunk[4096];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
        content.append(chunk, static_cast<std::size_t>(in.gcount()));
    if (in.bad()) return std::nullopt;
    return content;
}

// Writes a sibling file first and renames it over the target, so a failure
// leaves the target as it was.
bool ReplaceFileContent(const fs::path& target, std::string_view content, std::optional<fs::perms> keepPermissions) {
    fs::path temporary = target;
    temporary += ".quillmark-tmp";
    std::error_code ignored;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.close();
        if (!out) {
            fs::remove(temporary, ignored);
            return false;
        }
    }
    if (keepPermissions) fs::permissions(temporary, *keepPermissions, ignored);
    std::error_code error;
    fs::rename(temporary, target, error);
    if (error) fs::remove(temporary, ignored);
    return !error;
}

// A file's text as the parser reads it: an ANSI file's bytes as they are,
// a UTF-16 file's text in UTF-8 without its byte-order mark.
struct ProfileFile {
    bool utf16 = false;
    std::string text;
};

ProfileFile Decoded(const std::string& bytes) {
    if (!bytes.starts_with(kUtf16LeBom)) return {false, bytes};
    std::u16string units((bytes.size() - kUtf16LeBom.size()) / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        const std::size_t at = kUtf16LeBom.size() + 2 * i;
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[at]) |
                                         static_cast<unsigned char>(bytes[at + 1]) << 8);
    }
    return {true, Utf8FromUtf16(units)};
}

std::string Encoded(const ProfileFile& profile) {
    if (!profile.utf16) return profile.text;
    std::string bytes(kUtf16LeBom);
    for (char16_t unit : Utf16FromUtf8(profile.text)) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

// Reads the file, lets `edit` change it and writes it back in the encoding
// the edit leaves; a new file starts as an empty ANSI file.
bool EditProfileFile(const fs::path& file, const std::function<bool(ProfileFile&)>& edit) {
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    if (error && status.type() != fs::file_type::not_found) return false;
    ProfileFile profile;
    if (!fs::exists(status)) return edit(profile) && ReplaceFileContent(file, Encoded(profile), std::nullopt);
    if (!fs::is_regular_file(status)) return false;

    // A read-only file refuses the write, as it does on Windows, even for an
    // administrator; a link is written through, not replaced.
    if ((status.permissions() & fs::perms::owner_write) == fs::perms::none) return false;
    const fs::path target = fs::canonical(file, error);
    if (error) return false;
    const std::optional<std::string> content = ReadWholeFile(target);
    if (!content) return false;
    profile = Decoded(*content);
    return edit(profile) && ReplaceFileContent(target, Encoded(profile), status.permissions());
}

}  // namespace

std::string ReadProfileValue(std::string_view content, std::string_view section, std::string_view key) {
    const std::vector<ProfileLine> lines = ProfileLines(content);
    const Place place = Locate(lines, section, key);
    if (!place.key) return {};
    return std::string(UnquotedProfileValue(lines[*place.key].value));
}

std::string WithProfileValue(std::string_view content, std::string_view section, std::string_view key,
                             std::string_view value) {
    const std::vector<ProfileLine> lines = ProfileLines(content);
    const Place place = Locate(lines, section, key);
    const std::string keyLine = std::string(key) + "=" + std::string(value);
    std::string result;
    if (place.key) {
        // The line is rewritten whole, with the key as the caller spells it;
        // its line break stays.
        const ProfileLine& line = lines[*place.key];
        result.append(content.substr(0, line.begin)).append(keyLine).append(content.substr(line.contentEnd));
    } else if (place.section) {
        const ProfileLine& after = lines[place.lastKeyOrHeader];
        result.append(content.substr(0, after.end));
        if (after.end == after.contentEnd) result.append("\r\n");
        result.append(keyLine).append("\r\n").append(content.substr(after.end));
    } else {
        result.append(content);
        const std::string_view body = content.starts_with(kUtf8Bom) ? content.substr(kUtf8Bom.size()) : content;
        if (!body.empty() && !EndsWithLineBreak(body)) result.append("\r\n");
        result.append("[").append(section).append("]\r\n").append(keyLine).append("\r\n");
    }
    return result;
}

std::string GetPrivateProfileString(std::string_view section, std::string_view key, std::size_t bufferSize,
                                    const fs::path& file) {
    if (bufferSize == 0) return {};
    const std::optional<std::string> content = ReadWholeFile(file);
    if (!content) return {};
    std::string value = ReadProfileValue(Decoded(*content).text, section, key);
    // The caller of the Windows call sees its buffer up to the first NUL.
    value.resize(std::min({value.size(), bufferSize - 1, value.find('\0')}));
    return value;
}

std::u16string GetPrivateProfileStringW(std::u16string_view section, std::u16string_view key, std::size_t bufferSize,
                                        const fs::path& file) {
    if (bufferSize == 0) return {};
    const std::optional<std::string> content = ReadWholeFile(file);
    if (!content) return {};
    std::u16string value =
        Utf16FromUtf8(ReadProfileValue(Decoded(*content).text, Utf8FromUtf16(section), Utf8FromUtf16(key)));
    value.resize(std::min({value.size(), bufferSize - 1, value.find(u'\0')}));
    return value;
}

bool WritePrivateProfileString(std::string_view section, std::string_view key, std::string_view value,
                               const fs::path& file) {
    return EditProfileFile(file, [&](ProfileFile& profile) {
        profile.text = WithProfileValue(profile.text, section, key, value);
        return true;
    });
}

bool WritePrivateProfileStringW(std::u16string_view section, std::u16string_view key, std::u16string_view value,
                                const fs::path& file) {
    return WritePrivateProfileString(Utf8FromUtf16(section), Utf8FromUtf16(key), Utf8FromUtf16(value), file);
}

bool ConvertProfileToUtf16(const fs::path& file) {
    return EditProfileFile(file, [](ProfileFile& profile) {
        if (profile.utf16) return true;
        // The ANSI code page of this build is UTF-8: bytes that are not UTF-8
        // cannot be converted exactly, and the file is left alone.
        bool exact = true;
        Utf16FromUtf8(profile.text, &exact);
        if (!exact) return false;
        if (profile.text.starts_with(kUtf8Bom)) profile.text.erase(0, kUtf8Bom.size());
        profile.utf16 = true;
        return true;
    });
}

}  // namespace quillmark::portable
