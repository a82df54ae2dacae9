#include "reshacker/FileChecks.h"

#include <algorithm>

namespace quillmark {

namespace {

// Enough for the headers of every usual program at the first read.
constexpr std::size_t kFirstHeaderRead = 64 * 1024;
// Headers longer than this are not a program's.
constexpr std::uint64_t kLongestHeaders = 16 * 1024 * 1024;
// Fewer, larger reads into buffers used again: measured fastest under Wine.
constexpr std::size_t kCompareSlice = 4 * 1024 * 1024;

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

std::variant<std::vector<std::uint8_t>, ReadFailure> ReadWholeFile(Platform& platform, const std::wstring& path,
                                                                   std::uint64_t limit) {
    FileRead read = platform.ReadFileRange(path, 0, static_cast<std::size_t>(limit + 1));
    if (!read.status.ok) return ReadFailure{read.status.error};
    if (read.fileSize > limit || read.bytes.size() != read.fileSize) {
        return ReadFailure{L"ファイルが大きすぎます (" + std::to_wstring(read.fileSize) + L" バイト)。"};
    }
    return std::move(read.bytes);
}

std::variant<bool, ReadFailure> SameBytes(Platform& platform, const std::wstring& pathA,
                                          const std::vector<verify::ByteRange>& rangesA, const std::wstring& pathB,
                                          const std::vector<verify::ByteRange>& rangesB) {
    if (verify::TotalLength(rangesA) != verify::TotalLength(rangesB)) return false;
    RangeCursor a(rangesA);
    RangeCursor b(rangesB);
    FileRead fromA;
    FileRead fromB;
    while (!a.AtEnd() && !b.AtEnd()) {
        const auto slice =
            static_cast<std::size_t>(std::min<std::uint64_t>({kCompareSlice, a.LeftInRange(), b.LeftInRange()}));
        fromA = platform.ReadFileRange(pathA, a.Offset(), slice, std::move(fromA.bytes));
        if (!fromA.status.ok) return ReadFailure{fromA.status.error};
        fromB = platform.ReadFileRange(pathB, b.Offset(), slice, std::move(fromB.bytes));
        if (!fromB.status.ok) return ReadFailure{fromB.status.error};
        // A file that got shorter meanwhile does not hold the bytes either.
        if (fromA.bytes.size() != slice || fromA.bytes != fromB.bytes) return false;
        a.Advance(slice);
        b.Advance(slice);
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

}  // namespace quillmark
