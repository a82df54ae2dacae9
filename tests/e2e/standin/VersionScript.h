#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ResFile.h"

namespace standin {

struct CompiledVersion {
    ResId name;
    std::vector<std::uint8_t> data;  // the binary VS_VERSIONINFO
};

struct CompileResult {
    std::optional<CompiledVersion> version;
    int errorLine = 0;
    std::wstring error;
};

// Compiles one VERSIONINFO statement written in the resource-script
// dialect (keywords in any case, braces or BEGIN/END, numbers separated by
// blanks or commas) into the layout GNU windres writes.
CompileResult CompileVersionScript(const std::wstring& script);

// Turns a binary VS_VERSIONINFO back into a script that the compiler reads;
// nothing when the data is not a well-formed version resource.
std::optional<std::wstring> DecompileVersionInfo(const ResId& name, const std::vector<std::uint8_t>& data);

}  // namespace standin
