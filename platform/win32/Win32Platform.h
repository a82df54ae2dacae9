#pragma once

#include "platform/win32/WindowsApi.h"

#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/win32/MainWindow.h"

namespace quillmark::win32 {

// The open dialog takes its filter as NUL-separated pairs ending in two NULs;
// the logic words it as "description|pattern|...".
std::wstring OpenDialogFilter(const std::wstring& barSeparated);

// The message box style of a severity, buttons and default answer.
UINT MessageBoxStyle(Severity severity, Buttons buttons, DefaultAnswer byDefault);

// The shell's execution record that opens a file's Properties sheet, owned
// by `owner`; it points into `path`.
SHELLEXECUTEINFOW PropertiesSheetRecord(HWND owner, const std::wstring& path);

// Runs a shell execution record; its result is not used.
void RunShellRecord(SHELLEXECUTEINFOW record);

// Platform on Windows: each operation is the system call of the same job,
// translated between Win32 and the interface. Failures of the system come
// back as values; what they mean is for the logic to decide.
class Win32Platform final : public Platform {
public:
    explicit Win32Platform(MainWindow& window);

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
    std::wstring FromAnsiCodePage(const std::vector<std::uint8_t>& bytes) override;
    std::wstring LocalAppDataFolder() override;
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
    FileRead ReadFileRange(const std::wstring& path, std::uint64_t offset, std::size_t maxLength,
                           std::vector<std::uint8_t> storage) override;
    OpResult ProbeWrite(const std::wstring& path) override;
    VersionReadBack ReadVersionBack(const std::wstring& path, const VersionQuery& query) override;
    VersionBlockRead ReadShownVersionBlock(const std::wstring& path) override;

private:
    // Handles what arrives while a wait runs: paint and other messages go
    // on, input to the window is dropped so that nothing can be pressed.
    void DispatchWhileWaiting();
    std::wstring ModulePath() const;

    MainWindow& window_;
    // The dialog starts where the previous choice was made.
    std::vector<wchar_t> openDialogFile_;
    // COM is only needed by the Properties sheet: started on first use, not
    // at start-up.
    bool comStarted_ = false;
};

}  // namespace quillmark::win32
