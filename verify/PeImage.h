#pragma once

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

#include "verify/Bytes.h"

namespace quillmark::verify {

enum class PeKind { Pe32, Pe32Plus };

// A section with raw data: where it lies in memory (its RVA) and in the file.
struct PeSection {
    std::uint64_t rva = 0;
    ByteRange raw;
};

// What a press needs to know of a Windows program's file.
struct PeFacts {
    PeKind kind = PeKind::Pe32;
    std::uint64_t fileSize = 0;
    // The end of the headers and of the raw data of every section (and of
    // the symbol table the headers point to): what the loader uses.
    std::uint64_t imageEnd = 0;
    // The certificate table of the security directory, in file offsets;
    // empty when the file is not signed.
    ByteRange certificates;
    // The sections that have raw data, in the order of the section table.
    std::vector<PeSection> sections;
    // The resource directory (data directory 2) as the headers give it: RVA
    // 0 when there is none; and its bytes in the file, from its RVA to the
    // end of its section's raw data whatever the size field says (empty when
    // no section's raw data holds its RVA).
    std::uint32_t resourceRva = 0;
    std::uint32_t resourceSize = 0;
    ByteRange resourceDirectory;

    bool IsSigned() const { return certificates.length > 0; }
    bool HasResources() const { return resourceRva != 0; }
};

enum class NotProgramReason { NoMzHeader, NoPeHeader, TruncatedHeaders, UnknownOptionalHeader, SectionsPastEnd };

struct NotAProgram {
    NotProgramReason reason;
};

// The headers go on past the bytes given: read this many from the start
// and ask again.
struct NeedHeaderBytes {
    std::uint64_t length;
};

// The symbol table's strings lie past the bytes given: read the 32-bit size
// that leads them at `offset`, and ask again with it.
struct NeedSymbolStringsSize {
    std::uint64_t offset;
};

using PeReading = std::variant<PeFacts, NotAProgram, NeedHeaderBytes, NeedSymbolStringsSize>;

// `head` is the file from its first byte (the whole file or its start);
// `fileSize` the size of the whole file.
PeReading ReadPeHeaders(Bytes head, std::uint64_t fileSize,
                        std::optional<std::uint32_t> symbolStringsSize = std::nullopt);

// The bytes past the end of the image, without the certificate table:
// installers and self-extracting archives keep their payload there.
std::vector<ByteRange> AppendedData(const PeFacts& facts);

// Where `length` bytes at `rva` lie in the file: nothing unless one
// section's raw data holds them all.
std::optional<ByteRange> FileRangeOfRva(const PeFacts& facts, std::uint64_t rva, std::uint64_t length);

}  // namespace quillmark::verify
