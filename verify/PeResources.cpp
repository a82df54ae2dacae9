#include "verify/PeResources.h"

#include <algorithm>
#include <optional>
#include <set>

namespace quillmark::verify {

namespace {

constexpr std::uint64_t kTableHeader = 16;
constexpr std::uint64_t kEntrySize = 8;
constexpr std::uint64_t kDataEntrySize = 16;
constexpr std::uint32_t kHighBit = 0x80000000;
// Far more than any program has; a made-up count must not cost more.
constexpr std::uint64_t kMostEntries = 65536;

enum class Level { Type, Name, Language };

// Walks the three levels, stopping at the first fault or at the first
// read past the bytes given but inside the directory.
class TreeWalk {
public:
    TreeWalk(Bytes bytes, const PeFacts& facts) : facts_(facts), length_(facts.resourceDirectory.length) {
        bytes_ = bytes.first(static_cast<std::size_t>(std::min<std::uint64_t>(bytes.size(), length_)));
    }

    ResourceReading Run() {
        if (!Table(0, Level::Type, {}, {})) {
            if (needed_ > 0) return NeedResourceBytes{needed_};
            return *fault_;
        }
        return std::move(items_);
    }

private:
    bool Fail(ResourceFault fault) {
        fault_ = fault;
        return false;
    }

    bool Have(std::uint64_t offset, std::uint64_t length) {
        if (offset > length_ || length > length_ - offset) return Fail(ResourceFault::RunsPastItsBytes);
        if (offset + length > bytes_.size()) {
            needed_ = offset + length;
            return false;
        }
        return true;
    }

    std::optional<ResName> NameOf(std::uint32_t field) {
        if ((field & kHighBit) == 0) return ResName{static_cast<std::uint16_t>(field), {}};
        // IMAGE_RESOURCE_DIR_STRING_U: a count of UTF-16 units, no NUL.
        const std::uint64_t at = field & ~kHighBit;
        if (!Have(at, 2)) return std::nullopt;
        const std::uint64_t units = *U16At(bytes_, at);
        if (!Have(at + 2, units * 2)) return std::nullopt;
        ResName name;
        for (std::uint64_t u = 0; u < units; ++u)
            name.text.push_back(static_cast<wchar_t>(*U16At(bytes_, at + 2 + u * 2)));
        return name;
    }

    bool Table(std::uint64_t offset, Level level, const ResName& type, const ResName& name) {
        if (!tables_.insert(offset).second) return Fail(ResourceFault::Loops);
        if (!Have(offset, kTableHeader)) return false;
        const std::uint64_t count = std::uint64_t{*U16At(bytes_, offset + 12)} + *U16At(bytes_, offset + 14);
        entries_ += count;
        if (entries_ > kMostEntries) return Fail(ResourceFault::TooManyEntries);
        if (!Have(offset + kTableHeader, count * kEntrySize)) return false;
        for (std::uint64_t e = 0; e < count; ++e) {
            const std::uint64_t entry = offset + kTableHeader + e * kEntrySize;
            auto id = NameOf(*U32At(bytes_, entry));
            if (!id) return false;
            const std::uint32_t target = *U32At(bytes_, entry + 4);
            const bool isTable = (target & kHighBit) != 0;
            const std::uint64_t child = target & ~kHighBit;
            if (level == Level::Language) {
                if (isTable || id->ordinal == std::nullopt) return Fail(ResourceFault::WrongShape);
                if (!Item(child, type, name, *id->ordinal)) return false;
                continue;
            }
            if (!isTable) return Fail(ResourceFault::WrongShape);
            const bool ok =
                level == Level::Type ? Table(child, Level::Name, *id, {}) : Table(child, Level::Language, type, *id);
            if (!ok) return false;
        }
        return true;
    }

    bool Item(std::uint64_t dataEntry, const ResName& type, const ResName& name, std::uint16_t language) {
        if (!Have(dataEntry, kDataEntrySize)) return false;
        const auto data = FileRangeOfRva(facts_, *U32At(bytes_, dataEntry), *U32At(bytes_, dataEntry + 4));
        if (!data) return Fail(ResourceFault::DataOutsideSections);
        items_.push_back({type, name, language, *data});
        return true;
    }

    const PeFacts& facts_;
    std::uint64_t length_;
    Bytes bytes_;
    std::uint64_t needed_ = 0;
    std::optional<ResourceFault> fault_;
    std::set<std::uint64_t> tables_;
    std::uint64_t entries_ = 0;
    std::vector<ResItem> items_;
};

}  // namespace

ResourceReading ReadResourceDirectory(Bytes directoryBytes, const PeFacts& facts) {
    if (!facts.HasResources()) return std::vector<ResItem>{};
    if (facts.resourceDirectory.length == 0) return ResourceFault::DirectoryOutsideSections;
    return TreeWalk(directoryBytes, facts).Run();
}

}  // namespace quillmark::verify
