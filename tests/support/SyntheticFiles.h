#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "verify/ResFile.h"
#include "verify/ScriptExpectation.h"

namespace quillmark::testing {

// One item of a made-up program's resources.
struct PeResource {
    verify::ResName type;
    verify::ResName name;
    std::uint16_t language = 0x0411;
    std::vector<std::uint8_t> data;
};

// A made-up Windows program: headers, sections of 0x200 bytes each (at
// RVA 0x1000, 0x2000, ...), a ".rsrc" section after them when it has
// resources, then whatever follows the image.
struct PeSpec {
    bool pe32Plus = true;
    std::uint16_t sections = 2;
    std::uint32_t lfanew = 0x80;
    std::uint32_t appended = 0;           // bytes after the last section
    std::uint32_t certificates = 0;       // a certificate table after those
    std::uint32_t appendedAfterCert = 0;  // and bytes after the table
    std::vector<PeResource> resources = {};
};

std::vector<std::uint8_t> SyntheticPe(const PeSpec& spec);

// Offsets into SyntheticPe's headers, for tests that break them.
inline constexpr std::size_t kSyntheticSectionTable32 = 0x80 + 24 + 224;
inline constexpr std::size_t kSyntheticSectionTable64 = 0x80 + 24 + 240;

// The VS_VERSIONINFO block a compiler makes of these values.
std::vector<std::uint8_t> VersionBlock(const verify::ExpectedVersion& values);

// The same in the layout 16-bit compilers wrote: ANSI keys, no type words.
std::vector<std::uint8_t> SixteenBitVersionBlock(const verify::ExpectedVersion& values);

// A version block made by hand or damaged, with the values it was made of.
struct VersionShape {
    const char* name;
    verify::ExpectedVersion values;
    std::vector<std::uint8_t> block;
};

// The shapes verify's reader and the version API are compared on: the
// sample as a compiler makes it, then each with one fault.
std::vector<VersionShape> VersionShapes();

struct ResSpec {
    std::uint16_t type = 16;
    std::uint16_t name = 1;
    std::uint16_t language = 0x0411;
    std::vector<std::uint8_t> data;
};

// A 32-bit resource file, led by the empty item.
std::vector<std::uint8_t> ResFileOf(const std::vector<ResSpec>& items);

// What Windows' version API would read from a target that holds `values`
// in each of `languages`.
VersionReadBack ReadBackOf(const verify::ExpectedVersion& values, const std::vector<std::uint16_t>& languages);

// The values the window's default fields give.
verify::ExpectedVersion SampleVersion();

}  // namespace quillmark::testing
