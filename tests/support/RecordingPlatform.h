#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/Platform.h"
#include "platform/portable/NumberText.h"

namespace quillmark::testing {

// A file or folder the fake directory search knows, by Windows path.
struct FakeEntry {
    std::wstring path;
    bool directory = false;
    bool hidden = false;
};

// Records every effect in order, as one readable line each, and answers
// from what the test scripted. Controls are modelled: setting a text box's
// text raises its change event, as the real window does.
class RecordingPlatform : public Platform {
public:
    RecordingPlatform();
    ~RecordingPlatform() override;

    // Where events from the window go (the form's OnEvent).
    std::function<void(WindowEvent, const ControlRef&)> events;

    // --- the script ---
    std::vector<FakeEntry> files;
    std::wstring programFolder = L"C:\\Tools";
    std::wstring exeBaseName = L"Quillmark";
    portable::NumberSeparators separators;
    std::deque<std::optional<std::wstring>> openDialogAnswers;  // nothing: cancelled
    std::optional<std::wstring> clipboardEmptyError;
    std::optional<std::wstring> clipboardSetError;
    std::set<int> failingLaunches;             // by launch number, 1-based
    std::map<int, WaitOutcome> readyOutcomes;  // by launch number; Done otherwise
    std::map<int, WaitOutcome> exitOutcomes;   // by launch number; Done otherwise
    std::map<int, std::uint32_t> exitCodes;    // by launch number; 0 otherwise
    std::optional<std::wstring> copyError;
    std::optional<ReplaceOutcome> replaceFailure;     // the replacement's, when it fails
    std::set<int> unendableLaunches;                  // by launch number: ending them fails
    std::map<std::wstring, std::wstring> shortPaths;  // by long path; none otherwise
    bool profileWritesFail = false;
    std::vector<std::wstring> programArguments;     // the arguments after the program's name
    std::wstring currentFolder = L"C:\\Users\\me";  // what relative paths are made whole against
    std::map<std::wstring, LocalTime> writeTimes;   // by path; unreadable otherwise
    // The ANSI code page as FitsAnsiCodePage sees it: by default a rough
    // model of code page 932 (ASCII, Japanese punctuation, kana, kanji and
    // full-width forms). The profile files still store ANSI text as UTF-8.
    std::function<bool(wchar_t)> inAnsiCodePage = [](wchar_t c) {
        return c < 0x80 || (c >= 0x3000 && c < 0x3100) || (c >= 0x4E00 && c < 0xA000) || (c >= 0xFF01 && c < 0xFFA0);
    };
    std::function<void()> duringWait;   // runs inside every wait, as window messages would
    std::deque<Answer> messageAnswers;  // what the message boxes answer, in turn; Ok once used up
    // The files' bytes, by Windows path; a copy copies them.
    std::map<std::wstring, std::vector<std::uint8_t>> fileBytes;
    std::map<std::wstring, std::wstring> writeProbeErrors;  // by path
    std::map<std::wstring, std::wstring> writeErrors;       // whole-file writes that fail, by path
    std::map<std::wstring, int> lockedReads;  // how many next reads of a path fail, as under a scanner's lock
    std::wstring localAppData = L"C:\\Users\\Quill\\AppData\\Local";
    std::map<std::wstring, VersionReadBack> versionReadBacks;     // by path; "not found" otherwise
    std::map<std::wstring, VersionBlockRead> shownVersionBlocks;  // by path; no version resource otherwise
    // What a started program does once it has run: the editor's part.
    std::function<void(int launchNumber, const std::wstring& commandLine)> onLaunchExit;

    // --- what happened ---
    std::vector<std::wstring> calls;
    std::vector<std::wstring> messages;  // the texts of the message boxes
    bool visible = false;
    std::map<std::wstring, bool> menuItemsEnabled;  // by item name, once set
    bool ended = false;
    std::optional<std::wstring> sessionEndBlockReason;  // set while the session's end is blocked

    bool IsEnabled(const ControlRef& control) const;
    void Type(const ControlRef& control, const std::wstring& text);  // as the user typing: raises change
    // The real file behind an INI path, in this test's own folder.
    std::filesystem::path ProfileFileFor(const std::wstring& path) const;
    std::vector<std::wstring> CallsStartingWith(const std::wstring& prefix) const;
    // Started processes not yet let go of.
    std::size_t OpenProcessCount() const;

    // Platform
    std::wstring GetText(const ControlRef& control) override;
    void SetText(const ControlRef& control, const std::wstring& text) override;
    void SetEnabled(const ControlRef& control, bool enabled) override;
    void ShowMainWindow() override;
    void SetMenuItemEnabled(const std::wstring& item, bool enabled) override;
    void EndProgram() override;
    std::vector<std::wstring> CommandLineArguments() override;
    void BeginBusy() override;
    void EndBusy() override;
    void BlockSessionEnd(const std::wstring& reason) override;
    void AllowSessionEnd() override;
    std::optional<std::wstring> ShowOpenDialog(const OpenDialogRequest& request) override;
    Answer MessageBox(const std::wstring& text, const std::wstring& title, Severity severity, Buttons buttons,
                      DefaultAnswer byDefault) override;
    void ShowPropertiesSheet(const std::wstring& path) override;
    std::wstring FindFirstNormalFile(const std::wstring& pattern) override;
    std::wstring ProgramFolder() override;
    std::wstring ExeBaseName() override;
    std::wstring AppTitle() override;
    std::optional<std::int32_t> TextToLong(const std::wstring& text) override;
    std::optional<double> TextToDouble(const std::wstring& text) override;
    std::wstring GetProfileString(const std::wstring& section, const std::wstring& key, int bufferSize,
                                  const std::wstring& file) override;
    bool WriteProfileString(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                            const std::wstring& file) override;
    bool FitsAnsiCodePage(const std::wstring& text) override;
    OpResult ConvertProfileToUnicode(const std::wstring& file) override;
    OpResult ClipboardEmpty() override;
    OpResult ClipboardSetText(const std::wstring& text) override;
    LaunchResult Launch(const std::wstring& commandLine, int showState) override;
    WaitOutcome WaitUntilReady(std::uintptr_t process, int timeoutMs) override;
    WaitOutcome WaitForExit(std::uintptr_t process, int timeoutMs) override;
    std::optional<std::uint32_t> ExitCode(std::uintptr_t process) override;
    void ReleaseProcess(std::uintptr_t process) override;
    bool EndStartedProcess(std::uintptr_t process) override;
    void KeybdEvent(std::uint8_t virtualKey, KeyDirection direction) override;
    std::optional<std::wstring> ShortPathName(const std::wstring& path) override;
    WholePath MakeWholePath(const std::wstring& path) override;
    std::optional<LocalTime> LastWriteTime(const std::wstring& path) override;
    OpResult CopyFileReplacing(const std::wstring& source, const std::wstring& destination) override;
    ReplaceOutcome ReplaceFileKeepingIdentity(const std::wstring& replacement, const std::wstring& replaced) override;
    OpResult RemoveFile(const std::wstring& path) override;
    OpResult WriteWholeFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) override;
    std::optional<FileStamp> StampOf(const std::wstring& path) override;
    std::wstring FromAnsiCodePage(const std::vector<std::uint8_t>& bytes) override;
    std::wstring LocalAppDataFolder() override;
    FileRead ReadFileRange(const std::wstring& path, std::uint64_t offset, std::size_t maxLength,
                           std::vector<std::uint8_t> storage) override;
    OpResult ProbeWrite(const std::wstring& path) override;
    VersionReadBack ReadVersionBack(const std::wstring& path, const VersionQuery& query) override;
    VersionBlockRead ReadShownVersionBlock(const std::wstring& path) override;

    std::wstring clipboardText;

private:
    struct ControlState {
        std::wstring text;
        bool enabled = true;
    };
    std::map<std::pair<std::wstring, int>, ControlState> controls_;
    std::filesystem::path profileFolder_;
    int launches_ = 0;
    std::set<std::uintptr_t> openProcesses_;
    std::map<std::uintptr_t, std::wstring> commandLines_;
};

// Wide text as UTF-8, for readable failure output and file contents.
std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& utf8);
std::u16string Utf16(const std::wstring& text);

}  // namespace quillmark::testing
