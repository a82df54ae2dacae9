#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace quillmark::verify {

// SHA-256 over bytes fed in any number of pieces: tells whether a file is
// still what it was without keeping a copy of it.
class Sha256 {
public:
    using Digest = std::array<std::uint8_t, 32>;

    Sha256();
    void Add(std::span<const std::uint8_t> bytes);
    // The digest of everything added; the object is spent after it.
    Digest Finish();

private:
    void Compress(const std::uint8_t* block);

    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 64> pending_{};
    std::size_t pendingLength_ = 0;
    std::uint64_t totalLength_ = 0;
};

}  // namespace quillmark::verify
