// Drives the running Quillmark window for end-to-end tests: reads a script
// of commands from a file and writes one result line per command to another
// file, both UTF-8. Wine starts processes slowly and its pipes stay open, so
// one driver run carries a whole test's steps and talks through files.
//
//   QuillmarkDriver.exe <script> <results>
//
// Script lines are tab-separated: a command, then its arguments. In texts,
// \\ \t \r \n stand for themselves escaped. Result lines are
// "<command>\t<ok|fail>\t<details...>" with the same escapes. The first
// failing command ends the run (exit code 1) so that a test sees where it
// went wrong instead of a cascade; every wait is bounded by its argument.
//
// Controls are named as in the control table, with their index (-1 when not
// in an array). Commands (ms: the longest wait):
//   start <exe> [<arguments>]   start the program, the arguments put verbatim after its quoted path
//   wait-window <ms>            its main window is visible, or a message box came first
//   set <name> <index> <text>   WM_SETTEXT, so the box's change event runs
//   get <name> <index>          -> the control's text
//   enabled <name> <index>      -> 1 or 0
//   click <name> <index>        post the button's click; refused when it is disabled
//   wait-press-end <ms>         the window was disabled and is enabled again, or a message box shows
//   wait-idle <ms>              the window is enabled and shows no message box
//   message-box <ms> [ok|yes|no|cancel]
//                               press that button (ok when not given) of the program's box;
//                               fails when the box has none -> title, text, icon ("icon" or
//                               "none"), button count, the buttons shown ("ok", "yes,no") and
//                               the default one ("no"; "none" when it has none)
//   no-message-box <ms>         no box of the program shows within ms
//   open-dialog <ms> <path>     type the path into the program's Open dialog and press Open
//   system-menu <id>            the system menu about to open (WM_INITMENUPOPUP), then its item
//                               chosen (WM_SYSCOMMAND <id>, posted)
//   close                       post WM_CLOSE to the main window
//   wait-exit <ms>              -> the program's exit code
//   end-session                 send WM_QUERYENDSESSION, then WM_ENDSESSION with its answer, as
//                               the system does -> the answer, 1 or 0
//   kill                        TerminateProcess the program, as the system does once the
//                               session has ended -> killed, or ended when it had already gone
//   time-mark <label>           -> a timestamp, 100 ns ticks since 1601 (click and the
//                                  waits report theirs as well)
//   sleep <ms>
//   delete-file <path>          as another program would, in between two steps
//   hold-file <path> [share-read]
//                               keep the file open until the driver ends, shared with nobody;
//                               with share-read, with readers only (as Windows holds a running
//                               program's image: others may read it, not write or delete it)
//                               -> the path, then share-none or share-read
//   memory                      -> peak and current working set, private bytes of the program
//   watch-children              from now on, note every process the program starts
//   children                    -> one "child" line per process noted since the last
//                                  `children`: pid, creation and exit time (ticks, 0 while
//                                  it runs), exit code; then the count and how many were missed

#include "platform/win32/WindowsApi.h"

#include <psapi.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/win32/MainWindow.h"
#include "tests/e2e/standin/FileIo.h"
#include "ui/ControlTable.h"

namespace {

using quillmark::win32::MainWindow;

constexpr const wchar_t* kMainTitle = L"Quillmark";
constexpr const wchar_t* kDialogClass = L"#32770";
constexpr DWORD kPollMs = 1;
constexpr UINT kMessageTimeoutMs = 5000;

// The same clock as the stand-in's log: 100 ns ticks since 1601.
std::uint64_t Now() {
    FILETIME time{};
    GetSystemTimePreciseAsFileTime(&time);
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

std::wstring FromUtf8(const std::string& text) {
    if (text.empty()) return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::wstring Escape(const std::wstring& text) {
    std::wstring out;
    for (const wchar_t c : text) {
        switch (c) {
            case L'\\':
                out += L"\\\\";
                break;
            case L'\t':
                out += L"\\t";
                break;
            case L'\r':
                out += L"\\r";
                break;
            case L'\n':
                out += L"\\n";
                break;
            default:
                out.push_back(c);
        }
    }
    return out;
}

std::wstring Unescape(const std::wstring& text) {
    std::wstring out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'\\' || i + 1 == text.size()) {
            out.push_back(text[i]);
            continue;
        }
        switch (text[++i]) {
            case L't':
                out.push_back(L'\t');
                break;
            case L'r':
                out.push_back(L'\r');
                break;
            case L'n':
                out.push_back(L'\n');
                break;
            default:
                out.push_back(text[i]);
        }
    }
    return out;
}

std::vector<std::wstring> SplitTabs(const std::wstring& line) {
    std::vector<std::wstring> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find(L'\t', start);
        parts.push_back(line.substr(start, tab == std::wstring::npos ? std::wstring::npos : tab - start));
        if (tab == std::wstring::npos) return parts;
        start = tab + 1;
    }
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring TextOf(HWND window) {
    // Through the message, so that it works across processes for any control.
    const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto copied =
        SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

DWORD ProcessOf(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

struct WindowQuery {
    const wchar_t* className;
    const wchar_t* title;  // nullptr: any
    DWORD process;         // 0: any
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    auto* query = reinterpret_cast<WindowQuery*>(param);
    if (ClassOf(window) != query->className) return TRUE;
    if (query->process != 0 && ProcessOf(window) != query->process) return TRUE;
    if (query->visibleOnly && !IsWindowVisible(window)) return TRUE;
    if (query->title != nullptr) {
        wchar_t title[256] = {};
        GetWindowTextW(window, title, 256);
        if (std::wstring(title) != query->title) return TRUE;
    }
    query->found = window;
    return FALSE;
}

HWND FindTopLevel(const wchar_t* className, const wchar_t* title, DWORD process, bool visibleOnly) {
    WindowQuery query{className, title, process, visibleOnly, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

// A message box's buttons by control ID, in the order the boxes show them.
struct BoxButton {
    const wchar_t* name;
    int id;
};

constexpr BoxButton kBoxButtons[] = {{L"ok", IDOK}, {L"yes", IDYES}, {L"no", IDNO}, {L"cancel", IDCANCEL}};

const BoxButton* ButtonNamed(const std::wstring& name) {
    for (const BoxButton& button : kBoxButtons) {
        if (name == button.name) return &button;
    }
    return nullptr;
}

// How `hold-file` shares the file it holds.
struct HoldSharing {
    const wchar_t* name;
    DWORD share;
};

constexpr HoldSharing kHoldSharings[] = {{L"", 0}, {L"share-read", FILE_SHARE_READ}};

struct BoxParts {
    std::vector<std::wstring> texts;
    std::vector<HICON> icons;  // handles of the box's process, only compared with null
    int buttons = 0;
};

BOOL CALLBACK CollectBoxPart(HWND child, LPARAM param) {
    auto* parts = reinterpret_cast<BoxParts*>(param);
    const std::wstring kind = ClassOf(child);
    if (_wcsicmp(kind.c_str(), L"Button") == 0 && IsWindowVisible(child)) ++parts->buttons;
    if (_wcsicmp(kind.c_str(), L"Static") != 0) return TRUE;
    if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        parts->icons.push_back(reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0)));
    } else if (const std::wstring text = TextOf(child); !text.empty()) {
        parts->texts.push_back(text);
    }
    return TRUE;
}

// A message box's parts: its message is the one static control with text,
// whether it shows an icon (a static of the icon kind holding one; which
// icon cannot be told from another process under Wine), and its buttons.
struct MessageBoxReading {
    std::wstring text;
    std::wstring icon;
    int buttons = 0;
    std::wstring present;  // the named buttons it shows, comma-separated
    std::wstring defaultButton;
};

// The default button carries BS_DEFPUSHBUTTON; the dialog's own record of it
// is the fallback.
std::wstring DefaultButtonOf(HWND box) {
    for (const BoxButton& button : kBoxButtons) {
        const HWND control = GetDlgItem(box, button.id);
        if (control != nullptr && IsWindowVisible(control) &&
            (GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
            return button.name;
        }
    }
    const auto answer = SendMessageW(box, DM_GETDEFID, 0, 0);
    if (HIWORD(answer) == DC_HASDEFID) {
        for (const BoxButton& button : kBoxButtons) {
            if (LOWORD(answer) == button.id) return button.name;
        }
    }
    return L"none";
}

MessageBoxReading ReadMessageBox(HWND box) {
    BoxParts parts;
    EnumChildWindows(box, CollectBoxPart, reinterpret_cast<LPARAM>(&parts));
    MessageBoxReading reading;
    for (const std::wstring& text : parts.texts) {
        if (!reading.text.empty()) reading.text += L"\n";
        reading.text += text;
    }
    reading.icon = L"none";
    for (const HICON icon : parts.icons) {
        if (icon != nullptr) reading.icon = L"icon";
    }
    reading.buttons = parts.buttons;
    for (const BoxButton& button : kBoxButtons) {
        const HWND control = GetDlgItem(box, button.id);
        if (control == nullptr || !IsWindowVisible(control)) continue;
        if (!reading.present.empty()) reading.present += L",";
        reading.present += button.name;
    }
    reading.defaultButton = DefaultButtonOf(box);
    return reading;
}

class Driver {
public:
    explicit Driver(const std::wstring& resultsPath) {
        results_ = CreateFileW(resultsPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    ~Driver() {
        if (results_ != INVALID_HANDLE_VALUE) CloseHandle(results_);
        if (process_ != nullptr) CloseHandle(process_);
        for (const HANDLE file : held_) CloseHandle(file);
        for (const Child& child : children_) CloseHandle(child.handle);
        if (job_ != nullptr) CloseHandle(job_);
        if (jobPort_ != nullptr) CloseHandle(jobPort_);
    }
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    bool Usable() const { return results_ != INVALID_HANDLE_VALUE; }

    // False when the command failed.
    bool Run(const std::vector<std::wstring>& args);

private:
    bool Result(const std::wstring& command, bool ok, const std::vector<std::wstring>& details = {});
    bool Fail(const std::wstring& command, const std::wstring& why) { return Result(command, false, {why}); }

    HWND MainWindowHandle();
    HWND Control(const std::wstring& name, int index);
    HWND MessageBoxWindow() const {
        return processId_ == 0 ? nullptr : FindTopLevel(kDialogClass, nullptr, processId_, true);
    }
    bool EnsureProcess();

    bool Start(const std::wstring& path, const std::wstring& arguments);
    bool SystemMenu(UINT id);
    bool WaitWindow(DWORD ms);
    bool Set(const std::wstring& name, int index, const std::wstring& text);
    bool Get(const std::wstring& name, int index);
    bool Enabled(const std::wstring& name, int index);
    bool Click(const std::wstring& name, int index);
    bool WaitPressEnd(DWORD ms);
    bool WaitIdle(DWORD ms);
    bool AnswerMessageBox(DWORD ms, const std::wstring& buttonName);
    bool NoMessageBox(DWORD ms);
    bool AnswerOpenDialog(DWORD ms, const std::wstring& path);
    bool Close();
    bool WaitExit(DWORD ms);
    bool EndSession();
    bool Kill();
    bool DeleteFileCommand(const std::wstring& path);
    bool HoldFile(const std::wstring& path, const std::wstring& sharing);
    bool Memory();
    bool WatchChildren();
    void NoteChildren();
    bool Children();

    HANDLE results_ = INVALID_HANDLE_VALUE;
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    HWND main_ = nullptr;
    std::vector<HANDLE> held_;  // files kept open until the driver ends

    // The program runs in a job whose port announces each process it starts;
    // a handle taken at once keeps the child's creation and exit times.
    struct Child {
        DWORD id;
        HANDLE handle;
    };
    HANDLE job_ = nullptr;
    HANDLE jobPort_ = nullptr;
    std::vector<Child> children_;
    int missedChildren_ = 0;
};

bool Driver::Result(const std::wstring& command, bool ok, const std::vector<std::wstring>& details) {
    std::wstring line = command + (ok ? L"\tok" : L"\tfail");
    for (const std::wstring& detail : details) line += L"\t" + Escape(detail);
    const std::string bytes = standin::ToUtf8(line + L"\n");
    DWORD written = 0;
    WriteFile(results_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    // A test that times out still sees every line written so far.
    FlushFileBuffers(results_);
    return ok;
}

HWND Driver::MainWindowHandle() {
    if (main_ != nullptr && IsWindow(main_)) return main_;
    main_ = FindTopLevel(MainWindow::kClassName, kMainTitle, processId_, false);
    return main_;
}

HWND Driver::Control(const std::wstring& name, int index) {
    const HWND main = MainWindowHandle();
    if (main == nullptr) return nullptr;
    const auto table = quillmark::ControlTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].index == index && name == table[i].name) {
            return GetDlgItem(main, MainWindow::kFirstControlId + static_cast<int>(i));
        }
    }
    return nullptr;
}

// A window found without `start` is attached to through its process.
bool Driver::EnsureProcess() {
    if (process_ != nullptr) return true;
    const HWND main = MainWindowHandle();
    if (main == nullptr) return false;
    processId_ = ProcessOf(main);
    process_ = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId_);
    return process_ != nullptr;
}

bool Driver::Start(const std::wstring& path, const std::wstring& arguments) {
    if (process_ != nullptr) {
        CloseHandle(process_);
        process_ = nullptr;
    }
    main_ = nullptr;
    std::wstring folder = path.substr(0, path.find_last_of(L'\\') + 1);
    std::wstring line = L"\"" + path + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
        return Fail(L"start", L"CreateProcess error " + std::to_wstring(GetLastError()));
    }
    CloseHandle(started.hThread);
    process_ = started.hProcess;
    processId_ = started.dwProcessId;
    return Result(L"start", true, {std::to_wstring(processId_), std::to_wstring(Now())});
}

// Until the main window is visible, or a message box of its process shows
// first (the start-up warnings come before the window).
bool Driver::WaitWindow(DWORD ms) {
    const ULONGLONG deadline = GetTickCount64() + ms;
    do {
        const HWND main = MainWindowHandle();
        if (main != nullptr && EnsureProcess()) {
            if (IsWindowVisible(main)) return Result(L"wait-window", true, {L"visible"});
            if (MessageBoxWindow() != nullptr) return Result(L"wait-window", true, {L"message-box"});
        }
        if (process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_OBJECT_0) {
            return Fail(L"wait-window", L"the program ended");
        }
        Sleep(kPollMs);
    } while (GetTickCount64() < deadline);
    return Fail(L"wait-window", L"timeout");
}

bool Driver::Set(const std::wstring& name, int index, const std::wstring& text) {
    const HWND control = Control(name, index);
    if (control == nullptr) return Fail(L"set", L"no control " + name + L" " + std::to_wstring(index));
    // Sent, not posted: the box's change event has run when this returns.
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                             kMessageTimeoutMs, &answer)) {
        return Fail(L"set", L"WM_SETTEXT not answered");
    }
    const std::wstring now = TextOf(control);
    if (now != text) return Fail(L"set", L"the box holds " + now);
    return Result(L"set", true, {name, std::to_wstring(index)});
}

bool Driver::Get(const std::wstring& name, int index) {
    const HWND control = Control(name, index);
    if (control == nullptr) return Fail(L"get", L"no control " + name + L" " + std::to_wstring(index));
    return Result(L"get", true, {name, std::to_wstring(index), TextOf(control)});
}

bool Driver::Enabled(const std::wstring& name, int index) {
    const HWND control = Control(name, index);
    if (control == nullptr) return Fail(L"enabled", L"no control " + name + L" " + std::to_wstring(index));
    return Result(L"enabled", true, {name, std::to_wstring(index), IsWindowEnabled(control) ? L"1" : L"0"});
}

bool Driver::Click(const std::wstring& name, int index) {
    const HWND control = Control(name, index);
    if (control == nullptr) return Fail(L"click", L"no control " + name + L" " + std::to_wstring(index));
    if (!IsWindowEnabled(control)) return Fail(L"click", name + L" is disabled");
    const int id = GetDlgCtrlID(control);
    const std::uint64_t at = Now();
    // Posted: the press runs in the program while this driver keeps watching.
    if (!PostMessageW(MainWindowHandle(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control))) {
        return Fail(L"click", L"PostMessage error " + std::to_wstring(GetLastError()));
    }
    return Result(L"click", true, {name, std::to_wstring(at)});
}

bool Driver::SystemMenu(UINT id) {
    const HWND main = MainWindowHandle();
    if (main == nullptr || !EnsureProcess()) return Fail(L"system-menu", L"no window");
    SendMessageW(main, WM_INITMENUPOPUP, 0, MAKELPARAM(0, TRUE));
    // Posted: the item's question shows while this driver keeps watching.
    if (!PostMessageW(main, WM_SYSCOMMAND, id, 0)) {
        return Fail(L"system-menu", L"PostMessage error " + std::to_wstring(GetLastError()));
    }
    return Result(L"system-menu", true, {std::to_wstring(id)});
}

// A press that waits for the editor disables the window until it ends; a
// press that stops with a message shows the box first.
bool Driver::WaitPressEnd(DWORD ms) {
    const HWND main = MainWindowHandle();
    if (main == nullptr || !EnsureProcess()) return Fail(L"wait-press-end", L"no window");
    const ULONGLONG deadline = GetTickCount64() + ms;
    bool disabledSeen = false;
    do {
        const bool enabled = IsWindowEnabled(main) != FALSE;
        const std::uint64_t at = Now();
        if (!enabled) disabledSeen = true;
        if (MessageBoxWindow() != nullptr) {
            return Result(L"wait-press-end", true,
                          {L"message-box", std::to_wstring(at), disabledSeen ? L"disabled-seen" : L"never-disabled"});
        }
        if (disabledSeen && enabled) {
            return Result(L"wait-press-end", true, {L"enabled-again", std::to_wstring(at), L"disabled-seen"});
        }
        if (WaitForSingleObject(process_, 0) == WAIT_OBJECT_0) return Fail(L"wait-press-end", L"the program ended");
        NoteChildren();
        Sleep(kPollMs);
    } while (GetTickCount64() < deadline);
    return Fail(L"wait-press-end", disabledSeen ? L"timeout, still disabled" : L"timeout, never disabled");
}

// The window takes input again and shows no message box.
bool Driver::WaitIdle(DWORD ms) {
    const HWND main = MainWindowHandle();
    if (main == nullptr || !EnsureProcess()) return Fail(L"wait-idle", L"no window");
    const ULONGLONG deadline = GetTickCount64() + ms;
    do {
        if (IsWindowEnabled(main) && MessageBoxWindow() == nullptr) {
            return Result(L"wait-idle", true, {std::to_wstring(Now())});
        }
        Sleep(kPollMs);
    } while (GetTickCount64() < deadline);
    return Fail(L"wait-idle", L"timeout");
}

bool Driver::AnswerMessageBox(DWORD ms, const std::wstring& buttonName) {
    const BoxButton* choice = ButtonNamed(buttonName.empty() ? L"ok" : buttonName);
    if (choice == nullptr) return Fail(L"message-box", L"no such button: " + buttonName);
    if (!EnsureProcess()) return Fail(L"message-box", L"no program");
    const ULONGLONG deadline = GetTickCount64() + ms;
    HWND box = nullptr;
    while ((box = MessageBoxWindow()) == nullptr) {
        if (GetTickCount64() >= deadline) return Fail(L"message-box", L"timeout");
        Sleep(kPollMs);
    }
    // The box may still be filling its controls when it becomes visible.
    MessageBoxReading reading;
    while ((reading = ReadMessageBox(box)).text.empty() && GetTickCount64() < deadline) Sleep(kPollMs);
    wchar_t title[256] = {};
    GetWindowTextW(box, title, 256);
    const HWND button = GetDlgItem(box, choice->id);
    if (button == nullptr || !IsWindowVisible(button)) {
        return Fail(L"message-box", std::wstring(L"no ") + choice->name + L" button; it has " + reading.present);
    }
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(choice->id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    while (IsWindow(box)) {
        if (GetTickCount64() >= deadline) return Fail(L"message-box", L"the box did not close");
        Sleep(kPollMs);
    }
    return Result(
        L"message-box", true,
        {title, reading.text, reading.icon, std::to_wstring(reading.buttons), reading.present, reading.defaultButton});
}

bool Driver::NoMessageBox(DWORD ms) {
    if (!EnsureProcess()) return Fail(L"no-message-box", L"no program");
    const ULONGLONG deadline = GetTickCount64() + ms;
    do {
        if (const HWND box = MessageBoxWindow()) {
            wchar_t title[256] = {};
            GetWindowTextW(box, title, 256);
            const std::wstring text = ReadMessageBox(box).text;
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            return Result(L"no-message-box", false, {title, text});
        }
        Sleep(kPollMs);
    } while (GetTickCount64() < deadline);
    return Result(L"no-message-box", true);
}

bool Driver::AnswerOpenDialog(DWORD ms, const std::wstring& path) {
    // The file name box as the common dialogs number it: cmb13, or edt1.
    constexpr int kFileNameCombo = 0x47C;
    constexpr int kFileNameEdit = 0x480;
    if (!EnsureProcess()) return Fail(L"open-dialog", L"no program");
    const ULONGLONG deadline = GetTickCount64() + ms;
    HWND dialog = nullptr;
    while ((dialog = MessageBoxWindow()) == nullptr || GetDlgItem(dialog, kFileNameCombo) == nullptr) {
        if (GetTickCount64() >= deadline) return Fail(L"open-dialog", L"timeout");
        Sleep(kPollMs);
    }
    SetDlgItemTextW(dialog, kFileNameEdit, path.c_str());
    SetDlgItemTextW(dialog, kFileNameCombo, path.c_str());
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    while (IsWindow(dialog)) {
        if (GetTickCount64() >= deadline) return Fail(L"open-dialog", L"the dialog did not close");
        Sleep(kPollMs);
    }
    return Result(L"open-dialog", true, {path});
}

bool Driver::Close() {
    const HWND main = MainWindowHandle();
    if (main == nullptr || !EnsureProcess()) return Fail(L"close", L"no window");
    PostMessageW(main, WM_CLOSE, 0, 0);
    return Result(L"close", true);
}

bool Driver::WaitExit(DWORD ms) {
    if (!EnsureProcess()) return Fail(L"wait-exit", L"no program");
    if (WaitForSingleObject(process_, ms) != WAIT_OBJECT_0) return Fail(L"wait-exit", L"timeout");
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    main_ = nullptr;
    return Result(L"wait-exit", true, {std::to_wstring(code)});
}

bool Driver::EndSession() {
    const HWND main = MainWindowHandle();
    if (main == nullptr || !EnsureProcess()) return Fail(L"end-session", L"no window");
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &answer)) {
        return Fail(L"end-session", L"WM_QUERYENDSESSION not answered");
    }
    // A refusal is followed by WM_ENDSESSION FALSE: the session goes on.
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(main, WM_ENDSESSION, answer != FALSE ? TRUE : FALSE, 0, SMTO_ABORTIFHUNG,
                             kMessageTimeoutMs, &ignored)) {
        return Fail(L"end-session", L"WM_ENDSESSION not answered");
    }
    return Result(L"end-session", true, {answer != FALSE ? L"1" : L"0"});
}

// No unload runs: what was not saved by then is lost.
bool Driver::Kill() {
    if (!EnsureProcess()) return Fail(L"kill", L"no program");
    const HANDLE program = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId_);
    if (program == nullptr) return Fail(L"kill", L"OpenProcess error " + std::to_wstring(GetLastError()));
    const bool running = WaitForSingleObject(program, 0) != WAIT_OBJECT_0;
    if (running) TerminateProcess(program, 1);
    const bool gone = WaitForSingleObject(program, kMessageTimeoutMs) == WAIT_OBJECT_0;
    CloseHandle(program);
    if (!gone) return Fail(L"kill", L"still running");
    main_ = nullptr;
    return Result(L"kill", true, {running ? L"killed" : L"ended"});
}

bool Driver::DeleteFileCommand(const std::wstring& path) {
    if (!DeleteFileW(path.c_str())) return Fail(L"delete-file", L"error " + std::to_wstring(GetLastError()));
    return Result(L"delete-file", true, {path});
}

// Plays another program that has the file open: writes and deletes by
// others (and reads too, unless shared for reading) fail with a sharing
// violation until the driver ends.
bool Driver::HoldFile(const std::wstring& path, const std::wstring& sharing) {
    const HoldSharing* mode = nullptr;
    for (const HoldSharing& candidate : kHoldSharings) {
        if (sharing == candidate.name) mode = &candidate;
    }
    if (mode == nullptr) return Fail(L"hold-file", L"unknown sharing " + sharing);
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, mode->share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Fail(L"hold-file", L"error " + std::to_wstring(GetLastError()));
    held_.push_back(file);
    return Result(L"hold-file", true, {path, mode->share == 0 ? L"share-none" : mode->name});
}

std::wstring TicksText(const FILETIME& time) {
    return std::to_wstring((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

bool Driver::Memory() {
    if (!EnsureProcess()) return Fail(L"memory", L"no program");
    const HANDLE query = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId_);
    if (query == nullptr) return Fail(L"memory", L"OpenProcess error " + std::to_wstring(GetLastError()));
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    const BOOL read = GetProcessMemoryInfo(query, &counters, sizeof(counters));
    const DWORD error = GetLastError();
    CloseHandle(query);
    if (!read) return Fail(L"memory", L"GetProcessMemoryInfo error " + std::to_wstring(error));
    return Result(L"memory", true,
                  {std::to_wstring(counters.PeakWorkingSetSize), std::to_wstring(counters.WorkingSetSize),
                   std::to_wstring(counters.PagefileUsage)});
}

bool Driver::WatchChildren() {
    if (!EnsureProcess()) return Fail(L"watch-children", L"no program");
    if (job_ != nullptr) return Result(L"watch-children", true);
    job_ = CreateJobObjectW(nullptr, nullptr);
    jobPort_ = CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1);
    if (job_ == nullptr || jobPort_ == nullptr) {
        return Fail(L"watch-children", L"no job or port, error " + std::to_wstring(GetLastError()));
    }
    JOBOBJECT_ASSOCIATE_COMPLETION_PORT link{};
    link.CompletionKey = job_;
    link.CompletionPort = jobPort_;
    if (!SetInformationJobObject(job_, JobObjectAssociateCompletionPortInformation, &link, sizeof(link))) {
        return Fail(L"watch-children", L"port not linked, error " + std::to_wstring(GetLastError()));
    }
    const HANDLE program = OpenProcess(PROCESS_SET_QUOTA | PROCESS_TERMINATE, FALSE, processId_);
    const BOOL assigned = program != nullptr && AssignProcessToJobObject(job_, program);
    const DWORD error = GetLastError();
    if (program != nullptr) CloseHandle(program);
    if (!assigned) return Fail(L"watch-children", L"AssignProcessToJobObject error " + std::to_wstring(error));
    return Result(L"watch-children", true);
}

// A child is opened as soon as the job announces it, long before it can end.
void Driver::NoteChildren() {
    if (jobPort_ == nullptr) return;
    DWORD message = 0;
    ULONG_PTR key = 0;
    LPOVERLAPPED data = nullptr;
    while (GetQueuedCompletionStatus(jobPort_, &message, &key, &data, 0)) {
        if (message != JOB_OBJECT_MSG_NEW_PROCESS) continue;
        const auto id = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(data));
        if (id == processId_) continue;
        if (const HANDLE child = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id)) {
            children_.push_back({id, child});
        } else {
            ++missedChildren_;
        }
    }
}

bool Driver::Children() {
    if (jobPort_ == nullptr) return Fail(L"children", L"watch-children first");
    NoteChildren();
    const std::size_t count = children_.size();
    for (const Child& child : children_) {
        FILETIME created{}, exited{}, kernel{}, user{};
        GetProcessTimes(child.handle, &created, &exited, &kernel, &user);
        if (WaitForSingleObject(child.handle, 0) != WAIT_OBJECT_0) exited = {};
        DWORD code = 0;
        GetExitCodeProcess(child.handle, &code);
        CloseHandle(child.handle);
        Result(L"child", true,
               {std::to_wstring(child.id), TicksText(created), TicksText(exited), std::to_wstring(code)});
    }
    children_.clear();
    const int missed = missedChildren_;
    missedChildren_ = 0;
    return Result(L"children", true, {std::to_wstring(count), std::to_wstring(missed)});
}

bool Driver::Run(const std::vector<std::wstring>& args) {
    const std::wstring& command = args[0];
    auto arg = [&](std::size_t i) { return i < args.size() ? Unescape(args[i]) : std::wstring(); };
    auto number = [&](std::size_t i) { return i < args.size() ? std::wcstol(args[i].c_str(), nullptr, 10) : 0L; };
    auto ms = [&](std::size_t i) { return static_cast<DWORD>(number(i) > 0 ? number(i) : 0); };
    auto index = [&](std::size_t i) { return static_cast<int>(number(i)); };

    if (command == L"start") return Start(arg(1), arg(2));
    if (command == L"system-menu") return SystemMenu(static_cast<UINT>(number(1)));
    if (command == L"wait-window") return WaitWindow(ms(1));
    if (command == L"set") return Set(arg(1), index(2), arg(3));
    if (command == L"get") return Get(arg(1), index(2));
    if (command == L"enabled") return Enabled(arg(1), index(2));
    if (command == L"click") return Click(arg(1), index(2));
    if (command == L"wait-press-end") return WaitPressEnd(ms(1));
    if (command == L"wait-idle") return WaitIdle(ms(1));
    if (command == L"message-box") return AnswerMessageBox(ms(1), arg(2));
    if (command == L"no-message-box") return NoMessageBox(ms(1));
    if (command == L"open-dialog") return AnswerOpenDialog(ms(1), arg(2));
    if (command == L"close") return Close();
    if (command == L"wait-exit") return WaitExit(ms(1));
    if (command == L"end-session") return EndSession();
    if (command == L"kill") return Kill();
    if (command == L"time-mark") return Result(L"time-mark", true, {arg(1), std::to_wstring(Now())});
    if (command == L"sleep") {
        Sleep(ms(1));
        return Result(L"sleep", true);
    }
    if (command == L"delete-file") return DeleteFileCommand(arg(1));
    if (command == L"hold-file") return HoldFile(arg(1), arg(2));
    if (command == L"memory") return Memory();
    if (command == L"watch-children") return WatchChildren();
    if (command == L"children") return Children();
    return Fail(command, L"unknown command");
}

std::vector<std::wstring> ReadLines(const std::wstring& path) {
    std::string text;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) text.append(buffer, got);
        CloseHandle(file);
    }
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    std::vector<std::wstring> lines;
    const std::wstring wide = FromUtf8(text);
    std::size_t start = 0;
    while (start < wide.size()) {
        std::size_t end = wide.find(L'\n', start);
        if (end == std::wstring::npos) end = wide.size();
        std::wstring line = wide.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fputws(L"usage: QuillmarkDriver <script> <results>\n", stderr);
        return 2;
    }
    Driver driver(argv[2]);
    if (!driver.Usable()) return 2;
    for (const std::wstring& line : ReadLines(argv[1])) {
        if (line[0] == L'#') continue;
        if (!driver.Run(SplitTabs(line))) return 1;
    }
    return 0;
}
