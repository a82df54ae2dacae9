#pragma once

#include <cstdint>
#include <string>

#include "ResFile.h"

namespace standin {

// The items "-delete" removes: "ResType,ResName,ResLang", the type by its
// identifier (VERSIONINFO) or number, the name a number or a text, the
// language in decimal.
struct ResourceMask {
    ResId type;
    ResId name;
    std::uint16_t language = 0;
    std::wstring text;  // as given, for the log
};

// What the command line asks for. The merge verbs take the editor's own
// operand layout: "-addskip src, dst, "res" ,,," and "-delete src, dst,
// type,name,language" (paths bare, split at ", ").
struct Invocation {
    enum class Mode { Edit, AddSkip, Modify, Delete, CompileTest, DecompileTest, Invalid };
    Mode mode = Mode::Invalid;
    std::wstring resPath;   // Edit, AddSkip, Modify
    std::wstring src, dst;  // AddSkip, Modify, Delete
    ResourceMask mask;      // Delete
    std::wstring in, out;   // CompileTest, DecompileTest
    std::wstring error;     // Invalid
};

// `arguments` is the command line without the program name.
Invocation ParseInvocation(const std::wstring& arguments);

// Drops the program name (quoted or not) and the blanks after it.
std::wstring ArgumentsOf(const std::wstring& commandLine);

}  // namespace standin
