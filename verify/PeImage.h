#pragma once

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

#include "verify/Bytes.h"

namespace quillmark::verify {

enum class PeKind { Pe32, Pe32Plus };

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

    bool IsSigned() const { return certificates.length > 0; }
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

}  // namespace quillmark::verify
