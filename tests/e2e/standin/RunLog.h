#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ResFile.h"

namespace standin {

// The identifier the editor's masks and its log use for a type: VERSIONINFO,
// RCDATA, MANIFEST, ... for the predefined ones, else the number; a named
// type is its name.
std::wstring TypeIdentifier(const ResId& type);

// The predefined type an identifier names, in any letter case.
std::optional<std::uint16_t> TypeByIdentifier(const std::wstring& identifier);

enum class ItemDone { Added, Modified, Deleted };

// "  Added: VERSIONINFO,1,1041": one item a run changed, as the editor's log words it.
std::wstring ItemLine(ItemDone done, const ResId& type, const ResId& name, std::uint16_t language);

// The real editor's only account of a command-line run: ResHacker.log beside
// the exe, rewritten by each run, in the ANSI code page with CR LF lines:
// "[09 Dec 2026, 19:48:30]", the command line, then the result lines; a run
// without any reads an empty line and "Commands completed".
class RunLog {
public:
    // `arguments`: the command line after the program name.
    explicit RunLog(std::wstring arguments);

    void Item(ItemDone done, const ResId& type, const ResId& name, std::uint16_t language);
    void Error(const std::wstring& text);  // "Error: <text>"

    // Rewrites ResHacker.log and writes ResHacker.ini beside the program.
    void Write() const;

private:
    std::wstring arguments_;
    std::vector<std::wstring> results_;
};

// "[09 Dec 2026, 19:48:30]" for the current local time.
std::wstring LogTimeNow();

// ResHacker.ini beside the program, as the editor leaves it after every run.
void WriteEditorSettings();

}  // namespace standin
