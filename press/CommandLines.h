#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "settings/SettingsLayout.h"

namespace quillmark {

inline constexpr const wchar_t* kAddSkipVerb = L"-addskip ";
inline constexpr const wchar_t* kModifyVerb = L"-modify ";
inline constexpr const wchar_t* kDeleteVerb = L"-delete ";
// Beside the target, named after it: "app.exe.quillmark-work1.exe".
inline constexpr const wchar_t* kWorkFileInfix = L".quillmark-work";

std::wstring Quoted(const std::wstring& text);

// The program folder always ends in a backslash, so nothing is inserted.
std::wstring QuotedResourcePath(const std::wstring& programFolder);

// Opens the resource file in the editor's window.
std::wstring InteractiveCommandLine(const std::wstring& quotedEditorPath, const std::wstring& quotedResourcePath);

// The backup beside the target: its last four characters replaced by
// "_original.exe", or the whole name followed by it where those four
// characters reach into the folder part; nothing when the path is shorter
// than four characters.
std::optional<std::wstring> BackupPathFor(const std::wstring& targetPath);

// One hidden merge run. Only the editor and resource paths are quoted: the
// editor splits its operands at the commas.
std::wstring MergeCommandLine(const std::wstring& quotedEditorPath, const std::wstring& verb,
                              const std::wstring& backupPath, const std::wstring& targetPath,
                              const std::wstring& quotedResourcePath);

// One hidden run that writes `destination` as `source` without the version
// resource `name` in `language` (written in decimal).
std::wstring DeleteVersionCommandLine(const std::wstring& quotedEditorPath, const std::wstring& source,
                                      const std::wstring& destination, std::uint16_t name, std::uint16_t language);

// The n-th work file of a target (from 1).
std::wstring WorkFilePath(const std::wstring& targetPath, std::size_t n);
// Beside the target: the backup's copy that takes the target's place.
std::wstring RestoreCopyPath(const std::wstring& targetPath);

// Every work file of a target, whatever its number, as a search pattern.
std::wstring WorkFilePattern(const std::wstring& targetPath);

}  // namespace quillmark
