#pragma once

#include <string>
#include <vector>

namespace quillmark::verify {

// What the resource editor writes of one command-line run in its log: a
// line with the time in brackets (never read: its format follows the
// editor's locale), the command line as given, then the result lines.
struct EditorLogText {
    std::wstring commandLine;
    std::vector<std::wstring> results;  // trimmed, without blank lines
};

EditorLogText ParseEditorLog(const std::wstring& text);

// Whether the logged command line is the one launched: the log may hold it
// whole or without the program's path; blanks, quotes and letter case aside
// (the real editor drops the operands' quotes).
bool LoggedCommandIs(const std::wstring& logged, const std::wstring& launched);

// "Error: No matching resource found." and the like.
bool IsErrorLine(const std::wstring& line);

}  // namespace quillmark::verify
