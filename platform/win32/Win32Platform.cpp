#include "platform/win32/Win32Platform.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>

#include <objbase.h>

#include "platform/win32/SystemText.h"
#include "platform/win32/VersionReadBack.h"

namespace quillmark::win32 {

namespace {

#if defined(_WIN64)
static_assert(sizeof(SHELLEXECUTEINFOW) == 112, "the shell's execution record as 64-bit Windows defines it");
#else
static_assert(sizeof(SHELLEXECUTEINFOW) == 60, "the shell's execution record as 32-bit Windows defines it");
#endif

// The longest the ready wait goes without looking at the window's messages
// or at which window is in front.
constexpr DWORD kPollMs = 10;
constexpr std::size_t kOpenDialogFileLength = 32768;
// How long an ended process may take to be gone.
constexpr DWORD kEndProcessWaitMs = 10000;
constexpr const wchar_t* kAppTitle = L"Quillmark";
// Far beyond any settings file; the conversion reads it whole.
constexpr std::size_t kMaxProfileBytes = 16u << 20;
constexpr DWORD kNotNormalFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

OpResult Succeeded() { return {true, {}}; }

OpResult Failed(DWORD error) { return {false, ErrorText(error)}; }

HANDLE ProcessHandle(std::uintptr_t process) { return reinterpret_cast<HANDLE>(process); }

DWORD Remaining(ULONGLONG deadline) {
    const ULONGLONG now = GetTickCount64();
    return now >= deadline ? 0 : static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, INFINITE - 1));
}

// The program a command line starts: its first operand, quoted or not.
std::wstring ProgramOf(const std::wstring& commandLine) {
    if (!commandLine.empty() && commandLine[0] == L'"') {
        return commandLine.substr(1, commandLine.find(L'"', 1) - 1);
    }
    return commandLine.substr(0, commandLine.find(L' '));
}

ULONGLONG DeadlineAfter(int timeoutMs) { return GetTickCount64() + static_cast<ULONGLONG>(std::max(timeoutMs, 0)); }

// Where keys would go now: the window in front and its thread's focus.
struct KeyboardTarget {
    HWND foreground = nullptr;
    HWND focus = nullptr;
    bool operator==(const KeyboardTarget&) const = default;
};

std::optional<KeyboardTarget> KeyboardTargetIn(DWORD processId) {
    const HWND foreground = GetForegroundWindow();
    if (foreground == nullptr || !IsWindowVisible(foreground)) return std::nullopt;
    DWORD owner = 0;
    const DWORD thread = GetWindowThreadProcessId(foreground, &owner);
    if (owner != processId) return std::nullopt;
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(thread, &info)) info.hwndFocus = nullptr;
    return KeyboardTarget{foreground, info.hwndFocus};
}

WORD ShowWindowCommand(int showState) {
    switch (showState) {
        case 0:
            return SW_HIDE;
        case 1:
            return SW_SHOWNORMAL;
        default:
            return static_cast<WORD>(showState);
    }
}

// The automation conversions take a writable string in some SDKs.
template <typename Result, typename Native, typename Conversion>
std::optional<Result> Converted(const std::wstring& text, Conversion conversion) {
    std::wstring copy = text;
    Native value{};
    if (FAILED(conversion(copy.data(), LOCALE_USER_DEFAULT, 0, &value))) return std::nullopt;
    return static_cast<Result>(value);
}

}  // namespace

std::wstring OpenDialogFilter(const std::wstring& barSeparated) {
    std::wstring filter = barSeparated;
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    filter.push_back(L'\0');
    filter.push_back(L'\0');
    return filter;
}

Win32Platform::Win32Platform(MainWindow& window) : window_(window) {}

std::wstring Win32Platform::GetText(const ControlRef& control) {
    const HWND handle = window_.Control(control);
    if (handle == nullptr) return {};
    const int length = GetWindowTextLengthW(handle);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(handle, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

void Win32Platform::SetText(const ControlRef& control, const std::wstring& text) {
    // A text box reports the change (EN_CHANGE) before this returns.
    if (const HWND handle = window_.Control(control)) SetWindowTextW(handle, text.c_str());
}

void Win32Platform::SetEnabled(const ControlRef& control, bool enabled) {
    if (const HWND handle = window_.Control(control)) EnableWindow(handle, enabled ? TRUE : FALSE);
}

void Win32Platform::ShowMainWindow() { window_.Show(); }

void Win32Platform::EndProgram() { ExitProcess(0); }

// A disabled window takes no clicks or keys, and a message box shown during
// the press leaves it disabled when it closes.
void Win32Platform::BeginBusy() {
    window_.SetBusy(true);
    EnableWindow(window_.Handle(), FALSE);
    // A question just answered leaves the window's activation under way;
    // settled here, it cannot take the focus back from the editor later.
    DispatchWhileWaiting();
}

void Win32Platform::EndBusy() {
    EnableWindow(window_.Handle(), TRUE);
    window_.SetBusy(false);
}

void Win32Platform::BlockSessionEnd(const std::wstring& reason) {
    ShutdownBlockReasonCreate(window_.Handle(), reason.c_str());
}

void Win32Platform::AllowSessionEnd() { ShutdownBlockReasonDestroy(window_.Handle()); }

std::optional<std::wstring> Win32Platform::ShowOpenDialog(const OpenDialogRequest& request) {
    if (openDialogFile_.empty()) openDialogFile_.assign(kOpenDialogFileLength, L'\0');
    const std::wstring filter = OpenDialogFilter(request.filter);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = window_.Handle();
    dialog.lpstrFilter = request.filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = static_cast<DWORD>(std::max(request.filterIndex, 0));
    dialog.lpstrFile = openDialogFile_.data();
    dialog.nMaxFile = static_cast<DWORD>(openDialogFile_.size());
    dialog.Flags = (request.hideReadOnly ? OFN_HIDEREADONLY : 0) | OFN_EXPLORER;
    if (!GetOpenFileNameW(&dialog)) return std::nullopt;
    return std::wstring(openDialogFile_.data());
}

UINT MessageBoxStyle(Severity severity, Buttons buttons, DefaultAnswer byDefault) {
    const UINT icon = severity == Severity::Information ? MB_ICONINFORMATION
                      : severity == Severity::Warning   ? MB_ICONEXCLAMATION
                                                        : 0;
    const UINT shown = buttons == Buttons::YesNo ? MB_YESNO : MB_OK;
    const UINT preset = byDefault == DefaultAnswer::No ? MB_DEFBUTTON2 : MB_DEFBUTTON1;
    return shown | icon | preset;
}

Answer Win32Platform::MessageBox(const std::wstring& text, const std::wstring& title, Severity severity,
                                 Buttons buttons, DefaultAnswer byDefault) {
    const int pressed =
        MessageBoxW(window_.Handle(), text.c_str(), title.c_str(), MessageBoxStyle(severity, buttons, byDefault));
    // The box enables its owner again as it closes; a press that goes on
    // after the answer (the delete runs, the restore) keeps the window
    // closed to input.
    if (window_.Busy()) EnableWindow(window_.Handle(), FALSE);
    switch (pressed) {
        case IDYES:
            return Answer::Yes;
        case IDNO:
            return Answer::No;
        default:
            return Answer::Ok;
    }
}

void Win32Platform::ShowPropertiesSheet(const std::wstring& path) {
    // The shell's property sheet handlers need a single-threaded apartment;
    // it lasts until the program ends.
    if (!comStarted_) {
        comStarted_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    }
    RunShellRecord(PropertiesSheetRecord(window_.Handle(), path));
}

std::wstring Win32Platform::FindFirstNormalFile(const std::wstring& pattern) {
    WIN32_FIND_DATAW entry{};
    const HANDLE search = FindFirstFileW(pattern.c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return {};
    std::wstring found;
    do {
        if ((entry.dwFileAttributes & kNotNormalFile) == 0) {
            found = entry.cFileName;
            break;
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return found;
}

std::wstring Win32Platform::ModulePath() const {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring Win32Platform::ProgramFolder() {
    const std::wstring path = ModulePath();
    const std::size_t separator = path.find_last_of(L'\\');
    if (separator == std::wstring::npos) return {};
    // A drive root keeps its backslash ("C:\"), any other folder drops it.
    if (separator == 2 && path[1] == L':') return path.substr(0, 3);
    return path.substr(0, separator);
}

std::wstring Win32Platform::ExeBaseName() {
    const std::wstring path = ModulePath();
    const std::size_t separator = path.find_last_of(L'\\');
    std::wstring name = separator == std::wstring::npos ? path : path.substr(separator + 1);
    const std::size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos) name.resize(dot);
    return name;
}

std::wstring Win32Platform::AppTitle() { return kAppTitle; }

std::optional<std::int32_t> Win32Platform::TextToLong(const std::wstring& text) {
    return Converted<std::int32_t, LONG>(text, VarI4FromStr);
}

std::optional<double> Win32Platform::TextToDouble(const std::wstring& text) {
    return Converted<double, DOUBLE>(text, VarR8FromStr);
}

std::wstring Win32Platform::GetProfileString(const std::wstring& section, const std::wstring& key, int bufferSize,
                                             const std::wstring& file) {
    const auto size = static_cast<std::size_t>(std::max(bufferSize, 0));
    std::vector<wchar_t> buffer(size + 1, L'\0');
    GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", buffer.data(), static_cast<DWORD>(size), file.c_str());
    return std::wstring(buffer.data());
}

bool Win32Platform::WriteProfileString(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                                       const std::wstring& file) {
    return WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != FALSE;
}

bool Win32Platform::FitsAnsiCodePage(const std::wstring& text) { return FitsAnsi(text); }

OpResult Win32Platform::ConvertProfileToUnicode(const std::wstring& file) {
    const DWORD attributes = GetFileAttributesW(file.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists && GetLastError() != ERROR_FILE_NOT_FOUND) return Failed(GetLastError());
    // The profile calls refuse to write a read-only file; so does this.
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY) != 0) return Failed(ERROR_ACCESS_DENIED);
    std::string bytes;
    if (exists) {
        const FileRead read = ReadFileRange(file, 0, kMaxProfileBytes + 1, {});
        if (!read.status.ok) return read.status;
        if (read.fileSize > kMaxProfileBytes) return Failed(ERROR_FILE_TOO_LARGE);
        bytes.assign(read.bytes.begin(), read.bytes.end());
    }
    if (bytes.starts_with("\xFF\xFE")) return Succeeded();

    // A file that begins with the UTF-8 mark holds UTF-8 (Wine reads it so);
    // any other holds ANSI text.
    const bool utf8 = bytes.starts_with("\xEF\xBB\xBF");
    const UINT codePage = utf8 ? CP_UTF8 : CP_ACP;
    const std::string_view ansi = std::string_view(bytes).substr(utf8 ? 3 : 0);
    std::wstring content(1, L'\xFEFF');
    if (!ansi.empty()) {
        const int length = static_cast<int>(ansi.size());
        const int size = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, ansi.data(), length, nullptr, 0);
        if (size <= 0) return Failed(GetLastError());
        content.resize(1 + static_cast<std::size_t>(size));
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, ansi.data(), length, content.data() + 1, size);
    }

    // Written beside it first, so that a failure leaves the file as it was.
    const std::wstring temporary = file + L".quillmark-tmp";
    const HANDLE out =
        CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return Failed(GetLastError());
    const auto contentBytes = static_cast<DWORD>(content.size() * sizeof(wchar_t));
    DWORD written = 0;
    const bool wrote = WriteFile(out, content.data(), contentBytes, &written, nullptr) && written == contentBytes;
    const DWORD writeError = GetLastError();
    CloseHandle(out);
    // ReplaceFile keeps the settings file's attributes and security.
    const bool replaced = wrote && (exists ? ReplaceFileW(file.c_str(), temporary.c_str(), nullptr,
                                                          REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                                           : MoveFileExW(temporary.c_str(), file.c_str(), MOVEFILE_WRITE_THROUGH));
    if (replaced) return Succeeded();
    const DWORD error = wrote ? GetLastError() : writeError;
    DeleteFileW(temporary.c_str());
    return Failed(error);
}

OpResult Win32Platform::ClipboardEmpty() {
    if (!OpenClipboard(window_.Handle())) return Failed(GetLastError());
    const BOOL emptied = EmptyClipboard();
    const DWORD error = GetLastError();
    CloseClipboard();
    return emptied ? Succeeded() : Failed(error);
}

OpResult Win32Platform::ClipboardSetText(const std::wstring& text) {
    // An editor built for the ANSI code page takes CF_TEXT. Left to the
    // system, it is converted through the code page of the keyboard layout
    // in use; given here, it is in the system's code page, and CF_LOCALE
    // says so.
    const int ansiLength = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(std::max(ansiLength, 1)), '\0');
    if (ansiLength > 0) WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, ansi.data(), ansiLength, nullptr, nullptr);
    const LCID locale = GetUserDefaultLCID();

    const std::pair<UINT, std::pair<const void*, std::size_t>> formats[] = {
        {CF_UNICODETEXT, {text.c_str(), (text.size() + 1) * sizeof(wchar_t)}},
        {CF_TEXT, {ansi.data(), ansi.size()}},
        {CF_LOCALE, {&locale, sizeof(locale)}},
    };
    if (!OpenClipboard(window_.Handle())) return Failed(GetLastError());
    for (const auto& [format, content] : formats) {
        const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, content.second);
        void* data = memory != nullptr ? GlobalLock(memory) : nullptr;
        if (data == nullptr) {
            const DWORD error = GetLastError();
            if (memory != nullptr) GlobalFree(memory);
            CloseClipboard();
            return Failed(error);
        }
        std::memcpy(data, content.first, content.second);
        GlobalUnlock(memory);
        if (SetClipboardData(format, memory) == nullptr) {
            const DWORD error = GetLastError();
            GlobalFree(memory);
            CloseClipboard();
            return Failed(error);
        }
        // The clipboard owns the memory now.
    }
    CloseClipboard();
    return Succeeded();
}

LaunchResult Win32Platform::Launch(const std::wstring& commandLine, int showState) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = ShowWindowCommand(showState);
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
        return {0, ErrorText(GetLastError(), ProgramOf(commandLine))};
    }
    CloseHandle(started.hThread);
    return {reinterpret_cast<std::uintptr_t>(started.hProcess), {}};
}

void Win32Platform::DispatchWhileWaiting() {
    MSG message{};
    bool quit = false;
    WPARAM quitCode = 0;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = true;
            quitCode = message.wParam;
            continue;
        }
        if (window_.IsOwnInput(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // The program's own message loop still has to see it.
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
}

WaitOutcome Win32Platform::WaitUntilReady(std::uintptr_t process, int timeoutMs) {
    const HANDLE handle = ProcessHandle(process);
    const DWORD processId = GetProcessId(handle);
    if (processId == 0) return WaitOutcome::Failed;
    const ULONGLONG deadline = DeadlineAfter(timeoutMs);
    bool idle = false;
    // A program often comes to the front before it has put the focus where
    // it wants it; keys typed in between are lost. Ready means: in front,
    // and the same focus seen over a whole poll interval.
    std::optional<KeyboardTarget> seen;
    ULONGLONG seenSince = 0;
    for (;;) {
        if (!idle) {
            // Ends when the process first waits for input, a slice at a time
            // so that the window keeps painting in between. WAIT_FAILED: a
            // process without a message queue is never "idle"; only its
            // window in front can tell.
            idle = WaitForInputIdle(handle, std::min(kPollMs, Remaining(deadline))) != WAIT_TIMEOUT;
            DispatchWhileWaiting();
        }
        if (idle) {
            const std::optional<KeyboardTarget> target = KeyboardTargetIn(processId);
            const ULONGLONG now = GetTickCount64();
            if (target && target == seen && now - seenSince >= kPollMs) {
                // One message round trip: its thread is back in its message loop.
                DWORD_PTR ignored = 0;
                SendMessageTimeoutW(target->foreground, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, Remaining(deadline), &ignored);
                return WaitOutcome::Done;
            }
            if (target != seen) {
                seen = target;
                seenSince = now;
            }
        }
        const DWORD remaining = Remaining(deadline);
        if (remaining == 0) return WaitOutcome::TimedOut;
        if (!idle) {
            const bool ended = WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
            if (ended) return WaitOutcome::Failed;  // before it was ready
            continue;
        }
        // No event tells when a window comes to the front: a short poll, cut
        // shorter by our own messages (losing the activation sends some).
        const DWORD woke =
            MsgWaitForMultipleObjectsEx(1, &handle, std::min(kPollMs, remaining), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke == WAIT_OBJECT_0) return WaitOutcome::Failed;  // ended before it was ready
        if (woke == WAIT_OBJECT_0 + 1) DispatchWhileWaiting();
        if (woke == WAIT_FAILED) return WaitOutcome::Failed;
    }
}

WaitOutcome Win32Platform::WaitForExit(std::uintptr_t process, int timeoutMs) {
    const HANDLE handle = ProcessHandle(process);
    const ULONGLONG deadline = DeadlineAfter(timeoutMs);
    for (;;) {
        const DWORD remaining = Remaining(deadline);
        const DWORD woke = MsgWaitForMultipleObjectsEx(1, &handle, remaining, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke == WAIT_OBJECT_0) return WaitOutcome::Done;
        if (woke == WAIT_TIMEOUT) return WaitOutcome::TimedOut;
        if (woke != WAIT_OBJECT_0 + 1) return WaitOutcome::Failed;
        DispatchWhileWaiting();
        if (remaining == 0) {
            // Messages keep coming after the time is up: the process decides.
            const DWORD last = WaitForSingleObject(handle, 0);
            if (last == WAIT_OBJECT_0) return WaitOutcome::Done;
            return last == WAIT_TIMEOUT ? WaitOutcome::TimedOut : WaitOutcome::Failed;
        }
    }
}

void Win32Platform::ReleaseProcess(std::uintptr_t process) {
    if (process != 0) CloseHandle(ProcessHandle(process));
}

bool Win32Platform::EndStartedProcess(std::uintptr_t process) {
    const HANDLE handle = ProcessHandle(process);
    if (WaitForSingleObject(handle, 0) == WAIT_OBJECT_0) return true;
    // Ending is asynchronous: the files it held are only closed once the
    // process is gone.
    if (!TerminateProcess(handle, 1) && WaitForSingleObject(handle, 0) != WAIT_OBJECT_0) return false;
    return WaitForSingleObject(handle, kEndProcessWaitMs) == WAIT_OBJECT_0;
}

void Win32Platform::KeybdEvent(std::uint8_t virtualKey, KeyDirection direction) {
    keybd_event(virtualKey, 0, direction == KeyDirection::Up ? KEYEVENTF_KEYUP : 0, 0);
}

std::optional<std::wstring> Win32Platform::ShortPathName(const std::wstring& path) {
    const DWORD needed = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (needed == 0) return std::nullopt;
    std::wstring shortPath(needed, L'\0');
    const DWORD length = GetShortPathNameW(path.c_str(), shortPath.data(), needed);
    if (length == 0 || length >= needed) return std::nullopt;
    shortPath.resize(length);
    return shortPath;
}

OpResult Win32Platform::CopyFileReplacing(const std::wstring& source, const std::wstring& destination) {
    if (!CopyFileW(source.c_str(), destination.c_str(), FALSE)) return Failed(GetLastError());
    return Succeeded();
}

OpResult Win32Platform::MoveFileReplacing(const std::wstring& source, const std::wstring& destination) {
    if (!MoveFileExW(source.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return Failed(GetLastError());
    }
    return Succeeded();
}

OpResult Win32Platform::RemoveFile(const std::wstring& path) {
    if (!DeleteFileW(path.c_str())) return Failed(GetLastError());
    return Succeeded();
}

FileRead Win32Platform::ReadFileRange(const std::wstring& path, std::uint64_t offset, std::size_t maxLength,
                                      std::vector<std::uint8_t> storage) {
    // Others may go on reading and writing it: this only looks.
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {Failed(GetLastError()), 0, {}};
    FileRead read{Succeeded(), 0, std::move(storage)};
    LARGE_INTEGER size{};
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!GetFileSizeEx(file, &size)) {
        read.status = Failed(GetLastError());
    } else if (read.fileSize = static_cast<std::uint64_t>(size.QuadPart); offset >= read.fileSize || maxLength == 0) {
        read.bytes.clear();
    } else {
        read.bytes.resize(static_cast<std::size_t>(std::min<std::uint64_t>(maxLength, read.fileSize - offset)));
        std::size_t done = 0;
        if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN)) read.status = Failed(GetLastError());
        while (read.status.ok && done < read.bytes.size()) {
            const auto slice = static_cast<DWORD>(std::min<std::size_t>(read.bytes.size() - done, 1u << 30));
            DWORD got = 0;
            if (!ReadFile(file, read.bytes.data() + done, slice, &got, nullptr)) {
                read.status = Failed(GetLastError());
            } else if (got == 0) {
                break;  // the file got shorter meanwhile
            }
            done += got;
        }
        read.bytes.resize(done);
    }
    CloseHandle(file);
    if (!read.status.ok) read.bytes.clear();
    return read;
}

OpResult Win32Platform::ProbeWrite(const std::wstring& path) {
    // Refused while another program holds the file without write sharing
    // (a running program's image), or when it is read-only or denied.
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Failed(GetLastError());
    CloseHandle(file);
    return Succeeded();
}

VersionReadBack Win32Platform::ReadVersionBack(const std::wstring& path, const VersionQuery& query) {
    return ReadVersionResource(path, query);
}

SHELLEXECUTEINFOW PropertiesSheetRecord(HWND owner, const std::wstring& path) {
    SHELLEXECUTEINFOW record{};
    record.cbSize = sizeof(record);
    record.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    record.hwnd = owner;
    record.lpVerb = L"properties";
    record.lpFile = path.c_str();
    record.lpParameters = L"";
    record.lpDirectory = L"";
    record.nShow = 0;
    return record;
}

void RunShellRecord(SHELLEXECUTEINFOW record) {
    ShellExecuteExW(&record);
    if (record.hProcess != nullptr) CloseHandle(record.hProcess);
}

}  // namespace quillmark::win32
