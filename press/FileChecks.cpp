#include "press/FileChecks.h"

#include <algorithm>
#include <deque>
#include <limits>
#include <map>
#include <tuple>

namespace quillmark {

namespace {

// Enough for the headers of every usual program at the first read.
constexpr std::size_t kFirstHeaderRead = 64 * 1024;
// Headers longer than this are not a program's.
constexpr std::uint64_t kLongestHeaders = 16 * 1024 * 1024;
// Fewer, larger reads into buffers used again: measured fastest under Wine.
constexpr std::uint64_t kCompareSlice = 4 * 1024 * 1024;
// Enough for the tables of every usual resource tree at the first read.
constexpr std::uint64_t kFirstDirectoryRead = 64 * 1024;
// Items' data lying no further apart than this is read in one go.
constexpr std::uint64_t kNearbyGap = 64 * 1024;

// Walks a list of ranges as one stream of bytes.
class RangeCursor {
public:
    explicit RangeCursor(const std::vector<verify::ByteRange>& ranges) : ranges_(ranges) { SkipEmpty(); }

    bool AtEnd() const { return index_ == ranges_.size(); }
    std::uint64_t Offset() const { return ranges_[index_].offset + done_; }
    std::uint64_t LeftInRange() const { return ranges_[index_].length - done_; }
    void Advance(std::uint64_t length) {
        done_ += length;
        SkipEmpty();
    }

private:
    void SkipEmpty() {
        while (index_ < ranges_.size() && done_ == ranges_[index_].length) {
            ++index_;
            done_ = 0;
        }
    }

    const std::vector<verify::ByteRange>& ranges_;
    std::size_t index_ = 0;
    std::uint64_t done_ = 0;
};

// Reads ranges of a file one after another, a slice at a time into one
// buffer used again, so that a payload of many megabytes is never held
// whole.
class SliceReader {
public:
    SliceReader(Platform& platform, const std::wstring& path, const std::vector<verify::ByteRange>& ranges)
        : platform_(platform), path_(path), cursor_(ranges) {}

    bool AtEnd() const { return cursor_.AtEnd(); }
    std::uint64_t LeftInRange() const { return cursor_.LeftInRange(); }
    // The next `most` bytes of the current range at most, and never more
    // than a slice; fewer when the file ends sooner.
    std::variant<std::span<const std::uint8_t>, ReadFailure> Next(std::uint64_t most) {
        const auto length = static_cast<std::size_t>(std::min({most, kCompareSlice, cursor_.LeftInRange()}));
        read_ = platform_.ReadFileRange(path_, cursor_.Offset(), length, std::move(read_.bytes));
        if (!read_.status.ok) return ReadFailure{read_.status.error};
        cursor_.Advance(length);
        return std::span<const std::uint8_t>(read_.bytes);
    }

private:
    Platform& platform_;
    const std::wstring& path_;
    RangeCursor cursor_;
    FileRead read_;
};

using ItemKey = std::tuple<bool, std::uint16_t, std::wstring, bool, std::uint16_t, std::wstring, std::uint16_t>;

ItemKey KeyOf(const verify::ResItem& item) {
    return {item.type.ordinal.has_value(),
            item.type.ordinal.value_or(0),
            item.type.text,
            item.name.ordinal.has_value(),
            item.name.ordinal.value_or(0),
            item.name.text,
            item.language};
}

std::optional<ResourceReadStop> StopOf(const std::wstring& path, const ResourceItemsReading& reading) {
    if (const auto* notProgram = std::get_if<verify::NotAProgram>(&reading)) return ResourceReadStop{path, *notProgram};
    if (const auto* fault = std::get_if<verify::ResourceFault>(&reading)) return ResourceReadStop{path, *fault};
    if (const auto* failure = std::get_if<ReadFailure>(&reading)) return ResourceReadStop{path, *failure};
    return std::nullopt;
}

// The stretch of a file that covers all `ranges`, read at once, when it is
// small and mostly made of them: items' data usually lies side by side, and
// one read costs far less than one per item. Nothing when it is not worth it.
struct Stretch {
    std::uint64_t offset = 0;
    std::vector<std::uint8_t> bytes;

    std::span<const std::uint8_t> Of(const verify::ByteRange& range) const {
        return std::span<const std::uint8_t>(bytes).subspan(static_cast<std::size_t>(range.offset - offset),
                                                            static_cast<std::size_t>(range.length));
    }
};

std::variant<std::optional<Stretch>, ReadFailure> ReadStretch(Platform& platform, const std::wstring& path,
                                                              const std::vector<verify::ByteRange>& ranges) {
    if (ranges.empty()) return std::optional<Stretch>{};
    std::uint64_t start = ranges.front().offset;
    std::uint64_t end = start;
    for (const verify::ByteRange& range : ranges) {
        start = std::min(start, range.offset);
        end = std::max(end, range.End());
    }
    if (end - start > kCompareSlice || end - start > 2 * verify::TotalLength(ranges) + kNearbyGap) {
        return std::optional<Stretch>{};
    }
    FileRead read = platform.ReadFileRange(path, start, static_cast<std::size_t>(end - start));
    if (!read.status.ok) return ReadFailure{read.status.error};
    // A file that got shorter meanwhile: leave it to the slower way.
    if (read.bytes.size() != end - start) return std::optional<Stretch>{};
    return std::optional<Stretch>{Stretch{start, std::move(read.bytes)}};
}

// For each pair of ranges, whether the two files hold the same bytes there.
std::variant<std::vector<bool>, ResourceReadStop> SameItems(Platform& platform, const std::wstring& pathNow,
                                                            const std::vector<verify::ByteRange>& now,
                                                            const std::wstring& pathBefore,
                                                            const std::vector<verify::ByteRange>& before) {
    std::vector<bool> same(now.size(), false);
    auto stretchNow = ReadStretch(platform, pathNow, now);
    if (const auto* failure = std::get_if<ReadFailure>(&stretchNow)) return ResourceReadStop{pathNow, *failure};
    auto stretchBefore = ReadStretch(platform, pathBefore, before);
    if (const auto* failure = std::get_if<ReadFailure>(&stretchBefore)) return ResourceReadStop{pathBefore, *failure};
    const auto& inNow = std::get<std::optional<Stretch>>(stretchNow);
    const auto& inBefore = std::get<std::optional<Stretch>>(stretchBefore);
    for (std::size_t i = 0; i < now.size(); ++i) {
        if (inNow && inBefore) {
            const auto a = inNow->Of(now[i]);
            const auto b = inBefore->Of(before[i]);
            same[i] = std::equal(a.begin(), a.end(), b.begin(), b.end());
            continue;
        }
        const auto result = SameBytes(platform, pathNow, {now[i]}, pathBefore, {before[i]});
        // SameBytes does not say which file failed: the target is the one others write to.
        if (const auto* failure = std::get_if<ReadFailure>(&result)) return ResourceReadStop{pathNow, *failure};
        same[i] = std::get<bool>(result);
    }
    return same;
}

}  // namespace

PeFileReading ReadPeFile(Platform& platform, const std::wstring& path) {
    FileRead read = platform.ReadFileRange(path, 0, kFirstHeaderRead);
    std::optional<std::uint32_t> symbolStringsSize;
    for (;;) {
        if (!read.status.ok) return ReadFailure{read.status.error};
        const verify::PeReading reading = verify::ReadPeHeaders(read.bytes, read.fileSize, symbolStringsSize);
        if (const auto* facts = std::get_if<verify::PeFacts>(&reading)) return *facts;
        if (const auto* notProgram = std::get_if<verify::NotAProgram>(&reading)) return *notProgram;
        if (const auto* strings = std::get_if<verify::NeedSymbolStringsSize>(&reading)) {
            const FileRead size = platform.ReadFileRange(path, strings->offset, 4);
            if (!size.status.ok) return ReadFailure{size.status.error};
            symbolStringsSize = verify::U32At(size.bytes, 0).value_or(4);
            continue;
        }
        const std::uint64_t needed = std::get<verify::NeedHeaderBytes>(reading).length;
        // Each round asks for more than the last, so this ends.
        if (needed > kLongestHeaders || needed <= read.bytes.size()) {
            return verify::NotAProgram{verify::NotProgramReason::TruncatedHeaders};
        }
        read = platform.ReadFileRange(path, 0, static_cast<std::size_t>(needed));
    }
}

ResourceItemsReading ReadResourceItems(Platform& platform, const std::wstring& path) {
    const PeFileReading pe = ReadPeFile(platform, path);
    if (const auto* failure = std::get_if<ReadFailure>(&pe)) return *failure;
    if (const auto* notProgram = std::get_if<verify::NotAProgram>(&pe)) return *notProgram;
    const auto& facts = std::get<verify::PeFacts>(pe);
    const verify::ByteRange directory = facts.resourceDirectory;
    if (!facts.HasResources()) return std::vector<verify::ResItem>{};
    if (directory.length == 0) return verify::ResourceFault::DirectoryOutsideSections;
    std::uint64_t want = std::min(directory.length, kFirstDirectoryRead);
    FileRead read;
    for (;;) {
        read = platform.ReadFileRange(path, directory.offset, static_cast<std::size_t>(want), std::move(read.bytes));
        if (!read.status.ok) return ReadFailure{read.status.error};
        if (read.bytes.size() != want) return verify::ResourceFault::RunsPastItsBytes;  // got shorter meanwhile
        verify::ResourceReading reading = verify::ReadResourceDirectory(read.bytes, facts);
        if (auto* items = std::get_if<std::vector<verify::ResItem>>(&reading)) return std::move(*items);
        if (const auto* fault = std::get_if<verify::ResourceFault>(&reading)) return *fault;
        const std::uint64_t needed = std::get<verify::NeedResourceBytes>(reading).length;
        // Each round asks for more than the last, so this ends.
        if (needed <= want || needed > directory.length) return verify::ResourceFault::RunsPastItsBytes;
        want = std::min(directory.length, std::max(needed, 2 * want));
    }
}

ResourceComparison ResourceChanges(Platform& platform, const std::wstring& pathNow, const std::wstring& pathBefore,
                                   const std::function<bool(const verify::ResItem&)>& ignore) {
    const ResourceItemsReading readNow = ReadResourceItems(platform, pathNow);
    if (auto stop = StopOf(pathNow, readNow)) return *stop;
    const ResourceItemsReading readBefore = ReadResourceItems(platform, pathBefore);
    if (auto stop = StopOf(pathBefore, readBefore)) return *stop;
    const auto& now = std::get<std::vector<verify::ResItem>>(readNow);
    const auto& before = std::get<std::vector<verify::ResItem>>(readBefore);

    // Items of `now` not yet paired, by key; a malformed tree may repeat one.
    std::map<ItemKey, std::deque<std::size_t>> unpaired;
    for (std::size_t i = 0; i < now.size(); ++i) {
        if (!ignore(now[i])) unpaired[KeyOf(now[i])].push_back(i);
    }
    std::vector<ResourceChange> changes;
    std::vector<std::size_t> toCompare;  // into `changes`, which holds them as Changed until proven same
    std::vector<verify::ByteRange> rangesNow;
    std::vector<verify::ByteRange> rangesBefore;
    for (const verify::ResItem& item : before) {
        if (ignore(item)) continue;
        changes.push_back({item.type, item.name, item.language, ResourceChangeKind::Changed});
        auto found = unpaired.find(KeyOf(item));
        if (found == unpaired.end() || found->second.empty()) {
            changes.back().kind = ResourceChangeKind::Missing;
            continue;
        }
        const verify::ResItem& pair = now[found->second.front()];
        found->second.pop_front();
        if (pair.data.length != item.data.length) continue;
        toCompare.push_back(changes.size() - 1);
        rangesNow.push_back(pair.data);
        rangesBefore.push_back(item.data);
    }
    const auto same = SameItems(platform, pathNow, rangesNow, pathBefore, rangesBefore);
    if (const auto* stop = std::get_if<ResourceReadStop>(&same)) return *stop;
    std::vector<bool> unchanged(changes.size(), false);
    for (std::size_t i = 0; i < toCompare.size(); ++i) unchanged[toCompare[i]] = std::get<std::vector<bool>>(same)[i];

    std::vector<ResourceChange> result;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        if (!unchanged[i]) result.push_back(std::move(changes[i]));
    }
    std::vector<std::size_t> added;
    for (const auto& [key, left] : unpaired) added.insert(added.end(), left.begin(), left.end());
    std::sort(added.begin(), added.end());
    for (const std::size_t i : added) {
        result.push_back({now[i].type, now[i].name, now[i].language, ResourceChangeKind::Added});
    }
    return result;
}

std::variant<std::vector<std::uint8_t>, ReadFailure> ReadWholeFile(Platform& platform, const std::wstring& path,
                                                                   std::uint64_t limit) {
    FileRead read = platform.ReadFileRange(path, 0, static_cast<std::size_t>(limit + 1));
    if (!read.status.ok) return ReadFailure{read.status.error};
    if (read.fileSize > limit || read.bytes.size() != read.fileSize) {
        return ReadFailure{{}, read.fileSize};
    }
    return std::move(read.bytes);
}

std::variant<bool, ReadFailure> SameBytes(Platform& platform, const std::wstring& pathA,
                                          const std::vector<verify::ByteRange>& rangesA, const std::wstring& pathB,
                                          const std::vector<verify::ByteRange>& rangesB) {
    if (verify::TotalLength(rangesA) != verify::TotalLength(rangesB)) return false;
    SliceReader a(platform, pathA, rangesA);
    SliceReader b(platform, pathB, rangesB);
    while (!a.AtEnd() && !b.AtEnd()) {
        const std::uint64_t slice = std::min({kCompareSlice, a.LeftInRange(), b.LeftInRange()});
        const auto fromA = a.Next(slice);
        if (const auto* failure = std::get_if<ReadFailure>(&fromA)) return *failure;
        const auto fromB = b.Next(slice);
        if (const auto* failure = std::get_if<ReadFailure>(&fromB)) return *failure;
        // A file that got shorter meanwhile does not hold the bytes either.
        const auto bytesA = std::get<std::span<const std::uint8_t>>(fromA);
        const auto bytesB = std::get<std::span<const std::uint8_t>>(fromB);
        if (bytesA.size() != slice || !std::equal(bytesA.begin(), bytesA.end(), bytesB.begin(), bytesB.end())) {
            return false;
        }
    }
    return true;
}

std::variant<bool, ReadFailure> SameFiles(Platform& platform, const std::wstring& pathA, const std::wstring& pathB) {
    const FileRead sizeA = platform.ReadFileRange(pathA, 0, 0);
    if (!sizeA.status.ok) return ReadFailure{sizeA.status.error};
    const FileRead sizeB = platform.ReadFileRange(pathB, 0, 0);
    if (!sizeB.status.ok) return ReadFailure{sizeB.status.error};
    if (sizeA.fileSize != sizeB.fileSize) return false;
    return SameBytes(platform, pathA, {{0, sizeA.fileSize}}, pathB, {{0, sizeB.fileSize}});
}

std::optional<verify::Sha256::Digest> FileDigest(Platform& platform, const std::wstring& path) {
    verify::Sha256 digest;
    // The whole file, however long: it ends at the first short slice.
    const std::vector<verify::ByteRange> whole{{0, std::numeric_limits<std::uint64_t>::max()}};
    SliceReader file(platform, path, whole);
    for (;;) {
        const auto slice = file.Next(kCompareSlice);
        if (std::holds_alternative<ReadFailure>(slice)) return std::nullopt;
        const auto bytes = std::get<std::span<const std::uint8_t>>(slice);
        digest.Add(bytes);
        if (bytes.size() < kCompareSlice) return digest.Finish();
    }
}

}  // namespace quillmark
