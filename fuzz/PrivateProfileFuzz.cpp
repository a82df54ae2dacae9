// fuzz-sources: platform/portable/PrivateProfile.cpp platform/portable/ProfileText.cpp
//
// Input: an INI text, then "\n#ops\n", then bytes that encode reads and writes.
// Without the marker the whole input is both the text and the operations, so
// plain INI files serve as seeds. After every write, each value written so far
// must read back, and the lines the write did not touch must be unchanged.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/portable/PrivateProfile.h"

namespace {

using quillmark::portable::ReadProfileValue;
using quillmark::portable::WithProfileValue;

constexpr std::string_view kOpsMarker = "\n#ops\n";
constexpr std::string_view kBom = "\xEF\xBB\xBF";
// Bounds that keep an input fast: every write re-reads every value so far.
constexpr int kMaxOperations = 24;
constexpr std::size_t kMaxTextSize = 4096;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "PrivateProfileFuzz: %s\n", what);
    std::abort();
}

class Bytes {
public:
    explicit Bytes(std::string_view data) : data_(data) {}
    bool Done() const { return pos_ >= data_.size(); }
    std::uint8_t Byte() { return Done() ? 0 : static_cast<std::uint8_t>(data_[pos_++]); }
    std::string Take(std::size_t count) {
        const std::string_view taken = data_.substr(std::min(pos_, data_.size()), count);
        pos_ += taken.size();
        return std::string(taken);
    }

private:
    std::string_view data_;
    std::size_t pos_ = 0;
};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerAscii(std::string text) {
    for (char& c : text) c = Lower(c);
    return text;
}

std::string FlipAsciiCase(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// Lines with their own breaks, split at LF, CR LF and lone CR; written
// independently of the code under test.
std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        line.push_back(text[i]);
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') line.push_back(text[++i]);
        if (text[i] == '\r' || text[i] == '\n') {
            lines.push_back(line);
            line.clear();
        }
    }
    if (!line.empty()) lines.push_back(std::move(line));
    return lines;
}

std::string WithoutBreak(std::string line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    return line;
}

// Names that the text itself uses, so that writes hit existing sections
// and keys as well as new ones.
void CollectNames(std::string_view text, std::vector<std::string>& sections, std::vector<std::string>& keys) {
    for (const std::string& raw : SplitLines(text)) {
        const std::string line = WithoutBreak(raw);
        const std::size_t open = line.find('[');
        const std::size_t equals = line.find('=');
        if (open != std::string::npos && (equals == std::string::npos || open < equals)) {
            sections.push_back(line.substr(open + 1, line.find(']', open) - open - 1));
        } else if (equals != std::string::npos) {
            keys.push_back(line.substr(0, equals));
        }
    }
}

// Keeps what a caller can pass and a file line can carry: no line breaks or
// NULs, nothing that ends the name, no blanks (or, in values, quotes) that
// reading trims.
std::string Clean(std::string text, std::string_view forbidden, std::string_view trimmed) {
    std::string kept;
    for (char c : text) {
        if (c != '\r' && c != '\n' && c != '\0' && forbidden.find(c) == std::string_view::npos) kept.push_back(c);
    }
    std::size_t first = 0, last = kept.size();
    while (first < last && trimmed.find(kept[first]) != std::string_view::npos) ++first;
    while (last > first && trimmed.find(kept[last - 1]) != std::string_view::npos) --last;
    return kept.substr(first, last - first);
}

std::string SectionName(std::string raw) { return Clean(std::move(raw), "]", " \t"); }

std::string KeyName(std::string raw) {
    std::string key = Clean(std::move(raw), "=", " \t");
    // A leading ';' or '[' would make the written line a comment or a section.
    if (!key.empty() && (key.front() == ';' || key.front() == '[')) key.insert(key.begin(), 'k');
    return key;
}

std::string Value(std::string raw) { return Clean(std::move(raw), "", " \t\"'"); }

std::string PickName(Bytes& ops, const std::vector<std::string>& known) {
    const std::uint8_t choice = ops.Byte();
    if (!known.empty() && (choice & 0x80) == 0) {
        const std::string& name = known[(choice & 0x3F) % known.size()];
        return (choice & 0x40) ? FlipAsciiCase(name) : name;
    }
    return ops.Take(choice % 12);
}

std::string PickValue(Bytes& ops) {
    const std::uint8_t length = ops.Byte();
    if (length == 0xFF) return std::string(1500, static_cast<char>('!' + ops.Byte() % 90));
    return ops.Take(length % 40);
}

// The write may replace one line, insert one key line, or append a section
// header and a key line; an unterminated last line may gain a CR LF first.
void CheckOnlyTheEditChanged(std::string_view before, std::string_view after, const std::string& section,
                             const std::string& keyLine) {
    if (before.starts_with(kBom) != after.starts_with(kBom)) Fail("byte-order mark changed");
    if (before.starts_with(kBom)) before.remove_prefix(kBom.size()), after.remove_prefix(kBom.size());
    std::vector<std::string> old = SplitLines(before), now = SplitLines(after);
    if (!old.empty() && WithoutBreak(old.back()) == old.back() && after.starts_with(before) &&
        after.substr(before.size()).starts_with("\r\n")) {
        old.back() += "\r\n";
    }
    std::size_t prefix = 0;
    while (prefix < old.size() && prefix < now.size() && old[prefix] == now[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < old.size() - prefix && suffix < now.size() - prefix &&
           old[old.size() - 1 - suffix] == now[now.size() - 1 - suffix]) {
        ++suffix;
    }
    const std::size_t removed = old.size() - prefix - suffix, added = now.size() - prefix - suffix;
    if (removed == 0 && added == 0) return;
    if (removed == 1 && added == 1) {
        if (WithoutBreak(now[prefix]) != keyLine) Fail("replaced line is not key=value");
        return;
    }
    if (removed != 0) Fail("a line the write did not touch changed");
    if (added == 1) {
        if (now[prefix] != keyLine + "\r\n") Fail("inserted line is not key=value CR LF");
    } else if (added == 2) {
        if (now[prefix] != "[" + section + "]\r\n" || now[prefix + 1] != keyLine + "\r\n")
            Fail("appended section is not [section] key=value");
    } else {
        Fail("write added more than a section and a key");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t marker = input.find(kOpsMarker);
    std::string text(marker == std::string_view::npos ? input : input.substr(0, marker));
    Bytes ops(marker == std::string_view::npos ? input : input.substr(marker + kOpsMarker.size()));

    std::vector<std::string> sections, keys;
    CollectNames(text, sections, keys);
    std::map<std::pair<std::string, std::string>, std::string> written;  // by lower-case section and key

    for (int step = 0; step < kMaxOperations && !ops.Done() && text.size() <= kMaxTextSize; ++step) {
        const std::uint8_t kind = ops.Byte() % 4;
        std::string section = PickName(ops, sections), key = PickName(ops, keys);
        if (kind == 2) {
            // Any names at all, clean or not: nothing may break, and a written
            // value must come back.
            const std::string value = ReadProfileValue(text, section, key);
            const auto found = written.find({LowerAscii(section), LowerAscii(key)});
            if (found != written.end() && found->second != value) Fail("read gave another value than written");
            continue;
        }
        std::string value = PickValue(ops);
        if (kind == 3) {
            // Unclean names and values go only to a copy: no crash, no check.
            (void)WithProfileValue(text, section, key, value);
            continue;
        }
        section = SectionName(std::move(section));
        key = KeyName(std::move(key));
        value = Value(std::move(value));
        std::string next = WithProfileValue(text, section, key, value);
        CheckOnlyTheEditChanged(text, next, section, key + "=" + value);
        text = std::move(next);
        written[{LowerAscii(section), LowerAscii(key)}] = value;
        for (const auto& [names, expected] : written) {
            if (ReadProfileValue(text, names.first, names.second) != expected)
                Fail("a written value did not read back");
        }
    }
    return 0;
}
