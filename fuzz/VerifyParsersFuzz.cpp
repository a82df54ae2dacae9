// fuzz-sources: verify/Bytes.cpp verify/PeImage.cpp verify/PeResources.cpp verify/ResFile.cpp verify/VersionInfo.cpp
// fuzz-sources: verify/ScriptExpectation.cpp verify/Comparison.cpp

// The readers of files users hand over: PE headers (from a prefix of the
// file, as a first read sees it) and the resource tree they point to, .res
// files and the version blocks in them, and the script read-back. Besides
// not crashing, each answer must stay inside the file.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "verify/Comparison.h"
#include "verify/PeImage.h"
#include "verify/PeResources.h"
#include "verify/ResFile.h"
#include "verify/ScriptExpectation.h"
#include "verify/VersionInfo.h"

namespace {

using namespace quillmark::verify;

void Require(bool condition) {
    if (!condition) std::abort();
}

// As the glue reads it: a first slice of the directory, more when asked.
void CheckResources(Bytes bytes, const PeFacts& facts) {
    const ByteRange directory = facts.resourceDirectory;
    Require(directory.End() <= bytes.size());
    std::uint64_t given = std::min<std::uint64_t>(directory.length, 64);
    for (;;) {
        const ResourceReading reading = ReadResourceDirectory(bytes.subspan(directory.offset, given), facts);
        if (const auto* more = std::get_if<NeedResourceBytes>(&reading)) {
            Require(more->length > given && more->length <= directory.length);
            given = more->length;
            continue;
        }
        if (const auto* items = std::get_if<std::vector<ResItem>>(&reading)) {
            for (const ResItem& item : *items) Require(item.data.End() <= bytes.size());
        }
        return;
    }
}

void CheckPe(Bytes bytes) {
    // The first byte picks how much of the file the first read got.
    const std::size_t headLength = bytes.empty() ? 0 : (bytes[0] * bytes.size()) / 255;
    const PeReading reading = ReadPeHeaders(bytes.first(headLength), bytes.size());
    if (const auto* more = std::get_if<NeedHeaderBytes>(&reading)) {
        Require(more->length > headLength && more->length <= bytes.size());
    }
    const PeReading whole = ReadPeHeaders(bytes, bytes.size());
    Require(!std::holds_alternative<NeedHeaderBytes>(whole));
    const auto* facts = std::get_if<PeFacts>(&whole);
    if (facts == nullptr) return;
    Require(facts->imageEnd <= bytes.size());
    std::uint64_t previousEnd = facts->imageEnd;
    for (const ByteRange& range : AppendedData(*facts)) {
        Require(range.length > 0 && range.offset >= previousEnd && range.End() <= bytes.size());
        previousEnd = range.End();
    }
    CheckResources(bytes, *facts);
}

void CheckRes(Bytes bytes) {
    const auto items = ReadResFile(bytes);
    if (!items) return;
    for (const ResItem& item : *items) {
        Require(item.data.End() <= bytes.size());
        const auto info = ReadVersionInfo(bytes.subspan(item.data.offset, item.data.length));
        if (info) (void)ValuesOf(*info, L"041104B0", {L"Comments", L"FileVersion"});
    }
}

void CheckScript(Bytes bytes) {
    std::wstring text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        text.push_back(static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8)));
    const auto expected = ExpectedFromScript(text);
    if (const auto* values = std::get_if<ExpectedVersion>(&expected)) {
        Require(values->strings.size() == 10);
        (void)Compare(*values, VersionValues{});
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Bytes bytes(data, size);
    CheckPe(bytes);
    CheckRes(bytes);
    if (const auto info = ReadVersionInfo(bytes)) (void)ShownStringTable(*info);
    (void)ReadVersionValues(bytes, L"041104B0", {L"ProductName", L"CompanyName"});
    CheckScript(bytes);
    return 0;
}
