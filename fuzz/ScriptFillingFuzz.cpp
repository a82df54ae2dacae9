// fuzz-sources: script/ReplaceFirst.cpp script/ScriptFilling.cpp script/VersionNumbers.cpp
// fuzz-sources: script/NumberFormat.cpp script/VersionScriptTemplate.cpp

// ReplaceFirst and the filling of the script against a straightforward
// reference: search character by character, replace once, in field order.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "script/ReplaceFirst.h"
#include "script/ScriptFilling.h"
#include "script/VersionNumbers.h"
#include "script/VersionScriptTemplate.h"

namespace {

using namespace quillmark;

std::wstring ReferenceReplaceFirst(const std::wstring& source, const std::wstring& search,
                                   const std::wstring& replacement) {
    for (std::size_t at = 0; at + search.size() <= source.size(); ++at) {
        bool same = true;
        for (std::size_t k = 0; k < search.size() && same; ++k) same = source[at + k] == search[k];
        if (same) {
            std::wstring result;
            for (std::size_t k = 0; k < at; ++k) result += source[k];
            result += replacement;
            for (std::size_t k = at + search.size(); k < source.size(); ++k) result += source[k];
            return result;
        }
    }
    return source;
}

// Text that often contains placeholders, so the interesting paths are hit.
std::wstring TextFrom(FuzzedDataProvider& data) {
    static const wchar_t* const kPieces[] = {
        L"(",  L")",  L"Comments", L"(Comments)", L"(InternalName)", L"FILEVERSION 1, 0, 0, 0",
        L"\"", L"\\", L"会社",     L"\r\n",       L"(FileVersion)",  L"x"};
    std::wstring text;
    const std::size_t pieces = data.ConsumeIntegralInRange<std::size_t>(0, 8);
    for (std::size_t i = 0; i < pieces && data.remaining_bytes() > 0; ++i) {
        text += kPieces[data.ConsumeIntegralInRange<std::size_t>(0, std::size(kPieces) - 1)];
    }
    return text;
}

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const std::wstring source = TextFrom(data);
    const std::wstring search = TextFrom(data);
    const std::wstring replacement = TextFrom(data);
    Check(ReplaceFirst(source, search, replacement) == ReferenceReplaceFirst(source, search, replacement));

    FieldValues fields;
    static const wchar_t* const kKeys[] = {
        L"Comments",    L"CompanyName", L"FileDescription", L"LegalCopyright", L"LegalTrademarks",
        L"ProductName", L"FileVersion", L"ProductVersion",  L"InternalName",   L"OriginalFilename"};
    for (std::size_t f = 0; f < 10; ++f) {
        fields.captions[f] = data.ConsumeIntegralInRange<int>(0, 9) == 0 ? TextFrom(data) : kKeys[f];
        fields.texts[f] = TextFrom(data);
    }
    VersionTable versions{};
    for (auto& row : versions) {
        for (std::size_t c : {0u, 1u, 3u}) row[c] = data.ConsumeIntegral<std::int32_t>();
    }

    static const std::wstring versionScriptTemplate = BuildVersionScriptTemplate();
    std::wstring expected = versionScriptTemplate;
    for (std::size_t f = 0; f < 10; ++f) {
        const std::wstring placeholder = L"(" + fields.captions[f] + L")";
        if (f == 6 || f == 7) {
            const VersionRow& row = versions[f - 6];
            expected = ReferenceReplaceFirst(expected, placeholder, VersionText(row));
            expected =
                ReferenceReplaceFirst(expected, f == 6 ? L"FILEVERSION 1, 0, 0, 0" : L"PRODUCTVERSION 1, 0, 0, 0",
                                      VersionLine(f == 6 ? L"FILEVERSION " : L"PRODUCTVERSION ", row));
        } else {
            expected = ReferenceReplaceFirst(expected, placeholder, fields.texts[f]);
        }
    }
    Check(FillVersionScript(versionScriptTemplate, fields, versions) == expected);
    Check(BuildVersionScriptTemplate() == versionScriptTemplate);
    return 0;
}
