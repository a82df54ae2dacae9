#include "verify/PeImage.h"

#include <algorithm>

namespace quillmark::verify {

namespace {

constexpr std::uint16_t kMz = 0x5A4D;
constexpr std::uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint64_t kDosHeaderSize = 64;
constexpr std::uint64_t kLfanewOffset = 0x3C;
constexpr std::uint64_t kFileHeaderSize = 20;
constexpr std::uint64_t kSectionHeaderSize = 40;
constexpr std::uint64_t kSymbolSize = 18;
constexpr std::uint32_t kResourceDirectory = 2;
constexpr std::uint32_t kSecurityDirectory = 4;

// Where the two optional header layouts keep what is read here.
struct OptionalLayout {
    std::uint16_t magic;
    PeKind kind;
    std::uint64_t directoryCountOffset;
    std::uint64_t directoriesOffset;
};

constexpr OptionalLayout kLayouts[] = {
    {kPe32Magic, PeKind::Pe32, 92, 96},
    {kPe32PlusMagic, PeKind::Pe32Plus, 108, 112},
};
constexpr std::uint64_t kSizeOfHeadersOffset = 60;

// Needs the file up to `end`: nothing when those bytes are at hand, else
// the bytes to read, or the reason when the file ends first.
std::optional<PeReading> Require(Bytes head, std::uint64_t fileSize, std::uint64_t end, NotProgramReason ifShort) {
    if (end <= head.size()) return std::nullopt;
    if (end <= fileSize) return PeReading{NeedHeaderBytes{end}};
    return PeReading{NotAProgram{ifShort}};
}

// The COFF symbol table and its strings, left in by some linkers: the
// headers give their place, so they are part of the image, not appended.
// Where the strings start; nothing without a table the file can hold.
std::optional<std::uint64_t> SymbolStringsAt(Bytes head, std::uint64_t fileHeader, std::uint64_t fileSize) {
    const std::uint64_t pointer = *U32At(head, fileHeader + 8);
    const std::uint64_t count = *U32At(head, fileHeader + 12);
    if (pointer == 0 || count == 0) return std::nullopt;
    const std::uint64_t stringsAt = pointer + count * kSymbolSize;
    if (stringsAt + 4 > fileSize) return std::nullopt;
    return stringsAt;
}

// Where `length` bytes at `rva` lie in the file, when they are inside the
// section's raw data (and not merely at its end).
std::optional<std::uint64_t> OffsetIn(const PeSection& section, std::uint64_t rva, std::uint64_t length) {
    if (rva < section.rva) return std::nullopt;
    const std::uint64_t into = rva - section.rva;
    if (into >= section.raw.length || length > section.raw.length - into) return std::nullopt;
    return section.raw.offset + into;
}

// The resource directory's bytes in the file: to the end of the raw data of
// the section that holds it. The loader ignores the size field, and editors
// that add resources leave it stale, so it bounds nothing here.
ByteRange ResourceDirectoryIn(const PeFacts& facts) {
    if (facts.resourceRva == 0) return {};
    for (const PeSection& section : facts.sections) {
        const auto start = OffsetIn(section, facts.resourceRva, 0);
        if (!start) continue;
        return {*start, section.raw.End() - *start};
    }
    return {};
}

}  // namespace

PeReading ReadPeHeaders(Bytes head, std::uint64_t fileSize, std::optional<std::uint32_t> symbolStringsSize) {
    if (auto stop = Require(head, fileSize, 2, NotProgramReason::NoMzHeader)) return *stop;
    if (U16At(head, 0) != kMz) return NotAProgram{NotProgramReason::NoMzHeader};
    if (auto stop = Require(head, fileSize, kDosHeaderSize, NotProgramReason::NoPeHeader)) return *stop;

    const std::uint64_t peOffset = *U32At(head, kLfanewOffset);
    const std::uint64_t fileHeader = peOffset + 4;
    const std::uint64_t optionalHeader = fileHeader + kFileHeaderSize;
    if (auto stop = Require(head, fileSize, optionalHeader + 2, NotProgramReason::NoPeHeader)) return *stop;
    if (U32At(head, peOffset) != kPeSignature) return NotAProgram{NotProgramReason::NoPeHeader};

    const auto* layout = std::find_if(std::begin(kLayouts), std::end(kLayouts),
                                      [&](const OptionalLayout& l) { return U16At(head, optionalHeader) == l.magic; });
    if (layout == std::end(kLayouts)) return NotAProgram{NotProgramReason::UnknownOptionalHeader};

    const std::uint64_t sectionCount = *U16At(head, fileHeader + 2);
    const std::uint64_t optionalSize = *U16At(head, fileHeader + 16);
    const std::uint64_t sectionTable = optionalHeader + optionalSize;
    const std::uint64_t headersEnd = sectionTable + sectionCount * kSectionHeaderSize;
    if (optionalSize < kSizeOfHeadersOffset + 4) return NotAProgram{NotProgramReason::TruncatedHeaders};
    if (auto stop = Require(head, fileSize, headersEnd, NotProgramReason::TruncatedHeaders)) return *stop;

    PeFacts facts;
    facts.kind = layout->kind;
    facts.fileSize = fileSize;
    facts.imageEnd = std::max<std::uint64_t>(*U32At(head, optionalHeader + kSizeOfHeadersOffset), headersEnd);
    for (std::uint64_t s = 0; s < sectionCount; ++s) {
        const std::uint64_t section = sectionTable + s * kSectionHeaderSize;
        const std::uint64_t rva = *U32At(head, section + 12);
        const std::uint64_t rawSize = *U32At(head, section + 16);
        const std::uint64_t rawPointer = *U32At(head, section + 20);
        if (rawSize == 0) continue;
        if (rawPointer + rawSize > fileSize) return NotAProgram{NotProgramReason::SectionsPastEnd};
        facts.imageEnd = std::max(facts.imageEnd, rawPointer + rawSize);
        facts.sections.push_back({rva, {rawPointer, rawSize}});
    }
    if (const auto stringsAt = SymbolStringsAt(head, fileHeader, fileSize)) {
        if (!symbolStringsSize) symbolStringsSize = U32At(head, *stringsAt);
        if (!symbolStringsSize) return NeedSymbolStringsSize{*stringsAt};
        const std::uint64_t end = *stringsAt + std::max<std::uint32_t>(*symbolStringsSize, 4);
        facts.imageEnd = std::max(facts.imageEnd, std::min(end, fileSize));
    }
    if (facts.imageEnd > fileSize) return NotAProgram{NotProgramReason::SectionsPastEnd};

    const std::uint64_t directoryCount = layout->directoryCountOffset + 4 <= optionalSize
                                             ? U32At(head, optionalHeader + layout->directoryCountOffset).value_or(0)
                                             : 0;
    const std::uint64_t resources = optionalHeader + layout->directoriesOffset + kResourceDirectory * 8;
    if (directoryCount > kResourceDirectory && resources + 8 <= sectionTable) {
        facts.resourceRva = *U32At(head, resources);
        facts.resourceSize = *U32At(head, resources + 4);
        facts.resourceDirectory = ResourceDirectoryIn(facts);
    }
    const std::uint64_t security = optionalHeader + layout->directoriesOffset + kSecurityDirectory * 8;
    if (directoryCount > kSecurityDirectory && security + 8 <= sectionTable) {
        const std::uint64_t offset = U32At(head, security).value_or(0);
        const std::uint64_t length = U32At(head, security + 4).value_or(0);
        // A table that points outside the file still says "signed"; only
        // the part inside the file is left out of the appended data.
        if (offset != 0 && length != 0) facts.certificates = {offset, length};
    }
    return facts;
}

std::vector<ByteRange> AppendedData(const PeFacts& facts) {
    std::vector<ByteRange> ranges;
    if (facts.imageEnd >= facts.fileSize) return ranges;
    const ByteRange tail{facts.imageEnd, facts.fileSize - facts.imageEnd};
    const std::uint64_t certStart = std::clamp(facts.certificates.offset, tail.offset, tail.End());
    const std::uint64_t certEnd =
        facts.IsSigned() ? std::clamp(facts.certificates.End(), certStart, tail.End()) : certStart;
    if (certStart > tail.offset) ranges.push_back({tail.offset, certStart - tail.offset});
    if (tail.End() > certEnd) ranges.push_back({certEnd, tail.End() - certEnd});
    return ranges;
}

std::optional<ByteRange> FileRangeOfRva(const PeFacts& facts, std::uint64_t rva, std::uint64_t length) {
    for (const PeSection& section : facts.sections) {
        if (const auto offset = OffsetIn(section, rva, length)) return ByteRange{*offset, length};
    }
    return std::nullopt;
}

}  // namespace quillmark::verify
