#pragma once

#include <string>

namespace standin {

// What the command line asks for. The merge verbs take the editor's own
// operand layout: "-addskip src, dst, "res" ,,," (paths bare, split at ", ").
struct Invocation {
    enum class Mode { Edit, AddSkip, Modify, CompileTest, DecompileTest, Invalid };
    Mode mode = Mode::Invalid;
    std::wstring resPath;   // Edit, AddSkip, Modify
    std::wstring src, dst;  // AddSkip, Modify
    std::wstring in, out;   // CompileTest, DecompileTest
    std::wstring error;     // Invalid
};

// `arguments` is the command line without the program name.
Invocation ParseInvocation(const std::wstring& arguments);

// Drops the program name (quoted or not) and the blanks after it.
std::wstring ArgumentsOf(const std::wstring& commandLine);

}  // namespace standin
