#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "verify/VersionValues.h"

namespace quillmark {

// A control of the main window, addressed by its name and, for control
// arrays, its index (-1 for a control that is not part of an array).
struct ControlRef {
    std::wstring name;
    int index = -1;

    bool operator==(const ControlRef&) const = default;
};

// What the window reports to the logic.
// EndSession: Windows is ending the session (logoff, shutdown).
enum class WindowEvent { Initialize, Load, Unload, EndSession, Click, Change };

// The Open dialog's settings, in the terms the common dialog control uses:
// a filter of "description|pattern" pairs, the dialog flags and the
// 1-based index of the selected filter.
struct OpenDialogRequest {
    bool cancelError = false;
    std::uint32_t flags = 0;
    std::wstring filter;
    int filterIndex = 1;
};

// The fields of the shell's execution record that the logic decides; the
// platform adds the record size and the owner window's handle.
struct ShellExecuteRequest {
    std::uint32_t mask = 0;
    bool ownedByMainWindow = false;
    std::wstring verb;
    std::wstring file;
    std::wstring parameters;
    std::wstring directory;
    int show = 0;
};

// A failure's description as the system words it (may be empty).
struct OpResult {
    bool ok = false;
    std::wstring error;
};

// A started process; `id` is 0 when the start failed.
struct LaunchResult {
    std::uintptr_t id = 0;
    std::wstring error;
};

enum class WaitOutcome { Done, TimedOut, Failed };

// Part of a file: the bytes read (fewer than asked at its end) and the size
// of the whole file.
struct FileRead {
    OpResult status;
    std::uint64_t fileSize = 0;
    std::vector<std::uint8_t> bytes;
};

// What to read of a version resource: one string table, some of its keys.
struct VersionQuery {
    std::wstring stringTable;
    std::vector<std::wstring> keys;
};

struct LanguageVersion {
    std::uint16_t language = 0;
    verify::VersionValues values;
};

// A file's version resource as Windows' version API reads it: every
// language the file holds, and the one Windows picks for this user (what
// Explorer and installers show).
struct VersionReadBack {
    OpResult loaded;
    std::vector<LanguageVersion> languages;
    verify::VersionValues shown;
};

// Every operation the logic needs from the operating system and the window
// system. The logic never calls the system directly.
class Platform {
public:
    virtual ~Platform() = default;

    // Window system. Setting the text of a control raises its change event,
    // as a real text box does.
    virtual std::wstring GetText(const ControlRef& control) = 0;
    virtual void SetText(const ControlRef& control, const std::wstring& text) = 0;
    virtual void SetEnabled(const ControlRef& control, bool enabled) = 0;
    virtual void ShowMainWindow() = 0;
    virtual void EndProgram() = 0;

    // While a press waits for other programs the window keeps painting,
    // shows a wait cursor and takes no input.
    virtual void BeginBusy() = 0;
    virtual void EndBusy() = 0;

    // While a press runs, Windows is told why the session should not end
    // yet (shown on the logoff screen).
    virtual void BlockSessionEnd(const std::wstring& reason) = 0;
    virtual void AllowSessionEnd() = 0;

    // Modal dialogs. The Open dialog yields nothing when it is cancelled
    // or fails.
    virtual std::optional<std::wstring> ShowOpenDialog(const OpenDialogRequest& request) = 0;
    // The answer: the button pressed (1 OK, 6 Yes, 7 No).
    virtual int MessageBox(const std::wstring& text, int style, const std::wstring& title) = 0;

    // Directory search for a file pattern, normal files only: the name part
    // of the first match, or an empty string (also when the search fails).
    virtual std::wstring FindFirstNormalFile(const std::wstring& pattern) = 0;

    // The running program.
    virtual std::wstring ProgramFolder() = 0;
    virtual std::wstring ExeBaseName() = 0;
    virtual std::wstring AppTitle() = 0;

    // Locale-aware text-to-number conversions; nothing when the text is not
    // a number or does not fit the type.
    virtual std::optional<std::int32_t> TextToLong(const std::wstring& text) = 0;
    virtual std::optional<std::int16_t> TextToInteger(const std::wstring& text) = 0;
    virtual std::optional<double> TextToDouble(const std::wstring& text) = 0;
    virtual std::optional<float> TextToSingle(const std::wstring& text) = 0;

    // Private profile (INI) files, either in the system ANSI code page or in
    // UTF-16 (a file that begins with the UTF-16LE byte-order mark); a write
    // keeps the file's encoding, so a value that does not fit the code page
    // is stored exactly only in a UTF-16 file. The read gives the value as a
    // buffer of `bufferSize` UTF-16 units would hold it (empty when the file,
    // section or key is missing).
    virtual std::wstring GetProfileString(const std::wstring& section, const std::wstring& key, int bufferSize,
                                          const std::wstring& file) = 0;
    virtual bool WriteProfileString(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                                    const std::wstring& file) = 0;
    // Whether the text converts to the system ANSI code page exactly, with
    // no character replaced by a look-alike or a default character: what a
    // program built for that code page receives of it.
    virtual bool FitsAnsiCodePage(const std::wstring& text) = 0;
    // Turns the profile file into UTF-16 with every line it held; a file
    // already in UTF-16 stays as it is, a missing one is created empty. A
    // failure leaves the file as it was.
    virtual OpResult ConvertProfileToUnicode(const std::wstring& file) = 0;

    // Clipboard.
    virtual OpResult ClipboardEmpty() = 0;
    virtual OpResult ClipboardSetText(const std::wstring& text) = 0;

    // Program launch; returns at once. Show state 1: normal and focused,
    // 0: hidden.
    virtual LaunchResult Launch(const std::wstring& commandLine, int showState) = 0;
    // Until the process waits for input and one of its windows is in front.
    virtual WaitOutcome WaitUntilReady(std::uintptr_t process, int timeoutMs) = 0;
    virtual WaitOutcome WaitForExit(std::uintptr_t process, int timeoutMs) = 0;
    virtual void ReleaseProcess(std::uintptr_t process) = 0;
    // Ends a started process that is still running and waits until it is
    // gone; false when it could not be ended.
    virtual bool EndStartedProcess(std::uintptr_t process) = 0;

    // One synthesised key event.
    virtual void KeybdEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags,
                            std::uint32_t extraInfo) = 0;

    // The short (8.3) form of an existing path; nothing when the system has
    // none.
    virtual std::optional<std::wstring> ShortPathName(const std::wstring& path) = 0;

    // Copies a file, replacing an existing destination.
    virtual OpResult CopyFileReplacing(const std::wstring& source, const std::wstring& destination) = 0;
    // Moves a file over another one in the same folder, written through to
    // the disk before it returns.
    virtual OpResult MoveFileReplacing(const std::wstring& source, const std::wstring& destination) = 0;
    virtual OpResult RemoveFile(const std::wstring& path) = 0;

    // Up to `maxLength` bytes of a file from `offset`. The bytes go into
    // `storage`'s memory, so that a long compare reads into one buffer
    // instead of fresh pages for every slice.
    virtual FileRead ReadFileRange(const std::wstring& path, std::uint64_t offset, std::size_t maxLength,
                                   std::vector<std::uint8_t> storage = {}) = 0;
    // Opens the file for writing and closes it at once; nothing is written.
    virtual OpResult ProbeWrite(const std::wstring& path) = 0;
    virtual VersionReadBack ReadVersionBack(const std::wstring& path, const VersionQuery& query) = 0;

    // The shell's ShellExecuteEx; its result is not used.
    virtual void ShellExecuteEx(const ShellExecuteRequest& request) = 0;
};

}  // namespace quillmark
