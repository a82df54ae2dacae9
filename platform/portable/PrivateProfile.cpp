#include "platform/portable/PrivateProfile.h"

#include <algorithm>
#include <fstream>
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
    std::string value = ReadProfileValue(*content, section, key);
    // The caller of the Windows call sees its buffer up to the first NUL.
    value.resize(std::min({value.size(), bufferSize - 1, value.find('\0')}));
    return value;
}

bool WritePrivateProfileString(std::string_view section, std::string_view key, std::string_view value,
                               const fs::path& file) {
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    if (error && status.type() != fs::file_type::not_found) return false;
    if (!fs::exists(status)) return ReplaceFileContent(file, WithProfileValue({}, section, key, value), std::nullopt);
    if (!fs::is_regular_file(status)) return false;

    // A read-only file refuses the write, as it does on Windows, even for an
    // administrator; a link is written through, not replaced.
    if ((status.permissions() & fs::perms::owner_write) == fs::perms::none) return false;
    const fs::path target = fs::canonical(file, error);
    if (error) return false;
    const std::optional<std::string> content = ReadWholeFile(target);
    if (!content) return false;
    return ReplaceFileContent(target, WithProfileValue(*content, section, key, value), status.permissions());
}

}  // namespace quillmark::portable
