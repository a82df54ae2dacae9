// Launching and waiting for other programs, the clipboard, the busy state
// and the shell's execute call, against real processes.
#include "platform/win32/WindowsApi.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/MainWindow.h"
#include "platform/win32/SystemText.h"
#include "platform/win32/Win32Platform.h"
#include "tests/windows/WindowsTestSupport.h"

namespace quillmark::wintest {
namespace {

using win32::MainWindow;
using win32::Win32Platform;

constexpr int kHidden = 0;
constexpr int kNormalFocused = 1;

class ProcessTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (const std::uintptr_t process : started_) {
            TerminateProcess(reinterpret_cast<HANDLE>(process), 99);
            platform.ReleaseProcess(process);
        }
    }

    // Starts the helper; the process is ended and released after the test
    // unless the test releases it itself.
    std::uintptr_t StartHelper(const std::wstring& arguments, int show) {
        const LaunchResult launched = platform.Launch(QuotedHelper() + L" " + arguments, show);
        EXPECT_NE(launched.id, 0u) << win32::ToAnsi(launched.error);
        if (launched.id != 0) started_.push_back(launched.id);
        return launched.id;
    }

    void Release(std::uintptr_t process) {
        std::erase(started_, process);
        platform.ReleaseProcess(process);
    }

    MainWindow window{GetModuleHandleW(nullptr)};
    Win32Platform platform{window};

private:
    std::vector<std::uintptr_t> started_;
};

// A window outside the main window that counts the WM_APP messages it gets.
struct ObserverWindow {
    static inline int received = 0;
    HWND handle = nullptr;

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_APP) {
            ++received;
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    ObserverWindow() {
        received = 0;
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"QuillmarkTestObserver";
        RegisterClassW(&windowClass);
        handle = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 windowClass.hInstance, nullptr);
    }
    ~ObserverWindow() { DestroyWindow(handle); }
    ObserverWindow(const ObserverWindow&) = delete;
    ObserverWindow& operator=(const ObserverWindow&) = delete;
};

TEST_F(ProcessTest, LaunchFailureCarriesTheSystemReason) {
    const LaunchResult launched = platform.Launch(L"\"C:\\no such folder\\ResHacker.exe\" \"C:\\initial.res\"", 1);
    EXPECT_EQ(launched.id, 0u);
    EXPECT_FALSE(launched.error.empty());
}

TEST_F(ProcessTest, ALaunchFailureNamesTheProgramNotAPlaceholder) {
    wchar_t folder[MAX_PATH] = {};
    ASSERT_NE(GetTempPathW(MAX_PATH, folder), 0u);
    const std::wstring notAProgram = std::wstring(folder) + L"not a program.exe";
    const HANDLE file = CreateFileW(notAProgram.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "text, not a program", 19, &written, nullptr);
    CloseHandle(file);

    const LaunchResult launched = platform.Launch(L"\"" + notAProgram + L"\" \"C:\\initial.res\"", 1);
    DeleteFileW(notAProgram.c_str());
    EXPECT_EQ(launched.id, 0u);
    EXPECT_FALSE(launched.error.empty());
    EXPECT_EQ(launched.error.find(L"%1"), std::wstring::npos);
}

TEST_F(ProcessTest, WaitForExitReturnsWhenTheProcessEnds) {
    const ULONGLONG start = GetTickCount64();
    const std::uintptr_t process = StartHelper(L"sleep 300 7", kHidden);
    ASSERT_NE(process, 0u);
    EXPECT_EQ(platform.WaitForExit(process, 20000), WaitOutcome::Done);
    EXPECT_GE(GetTickCount64() - start, 250u);
    // The id is the process itself, and the command line reached it.
    EXPECT_EQ(platform.ExitCode(process), 7u);
}

TEST_F(ProcessTest, WaitForExitGivesUpAtTheTimeLimit) {
    const std::uintptr_t process = StartHelper(L"sleep 10000 0", kHidden);
    ASSERT_NE(process, 0u);
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(platform.WaitForExit(process, 300), WaitOutcome::TimedOut);
    const ULONGLONG waited = GetTickCount64() - start;
    EXPECT_GE(waited, 280u);
    EXPECT_LT(waited, 5000u);
    EXPECT_EQ(platform.ExitCode(process), static_cast<std::uint32_t>(STILL_ACTIVE));
    // Given up on, it is ended and gone before the call returns.
    EXPECT_TRUE(platform.EndStartedProcess(process));
    EXPECT_EQ(WaitForSingleObject(reinterpret_cast<HANDLE>(process), 0), WAIT_OBJECT_0);
    EXPECT_TRUE(platform.EndStartedProcess(process));  // already gone: nothing to do
}

TEST_F(ProcessTest, WaitForExitOfAnInvalidHandleFails) { EXPECT_EQ(platform.WaitForExit(0, 100), WaitOutcome::Failed); }

TEST_F(ProcessTest, WaitingKeepsOtherMessagesGoingAndDropsInputToTheWindow) {
    std::vector<ControlRef> clicks;
    window.SetEventSink([&](WindowEvent event, const ControlRef& control) {
        if (event == WindowEvent::Click) clicks.push_back(control);
    });
    window.Show();
    const HWND endButton = window.Control({L"cmdEnd"});
    ASSERT_NE(endButton, nullptr);
    const auto postClick = [&] {
        PostMessageW(endButton, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageW(endButton, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    };

    // Outside a wait the posted click is a click: the check below can fail.
    postClick();
    ASSERT_TRUE(PumpUntil([&] { return !clicks.empty(); }, 5000));
    clicks.clear();

    // A message for a window that is not ours still arrives during a wait.
    ObserverWindow other;
    ASSERT_NE(other.handle, nullptr);

    const std::uintptr_t process = StartHelper(L"sleep 500 0", kHidden);
    ASSERT_NE(process, 0u);
    postClick();
    PostMessageW(other.handle, WM_APP, 0, 0);
    EXPECT_EQ(platform.WaitForExit(process, 20000), WaitOutcome::Done);
    EXPECT_EQ(ObserverWindow::received, 1) << "the posted message was not dispatched during the wait";
    // Nothing of the click may be left to arrive after the wait either.
    PumpUntil([] { return false; }, 200);
    EXPECT_TRUE(clicks.empty());
}

TEST_F(ProcessTest, BusyWindowShowsTheWaitCursorOverItsControls) {
    window.Show();
    const HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
    const HWND edit = window.Control({L"txtExe"});
    ASSERT_NE(edit, nullptr);
    const auto cursorOver = [&](HWND target) {
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        SendMessageW(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    platform.BeginBusy();
    EXPECT_TRUE(window.Busy());
    EXPECT_EQ(cursorOver(window.Handle()), wait);
    EXPECT_EQ(cursorOver(edit), wait);
    platform.EndBusy();
    EXPECT_FALSE(window.Busy());
    EXPECT_NE(cursorOver(window.Handle()), wait);
    EXPECT_NE(cursorOver(edit), wait);
}

TEST_F(ProcessTest, WaitUntilReadyReturnsOnceTheProcessWindowIsInFront) {
    const std::uintptr_t process = StartHelper(L"window \"Quillmark ready test\" 20000", kNormalFocused);
    ASSERT_NE(process, 0u);
    ASSERT_EQ(platform.WaitUntilReady(process, 20000), WaitOutcome::Done);
    const HWND front = GetForegroundWindow();
    DWORD owner = 0;
    GetWindowThreadProcessId(front, &owner);
    EXPECT_EQ(owner, GetProcessId(reinterpret_cast<HANDLE>(process)));
    EXPECT_TRUE(IsWindowVisible(front));
    PostMessageW(front, WM_CLOSE, 0, 0);
    EXPECT_EQ(platform.WaitForExit(process, 20000), WaitOutcome::Done);
}

TEST_F(ProcessTest, WaitUntilReadyTimesOutWhenNoWindowComes) {
    const std::uintptr_t process = StartHelper(L"sleep 10000 0", kHidden);
    ASSERT_NE(process, 0u);
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(platform.WaitUntilReady(process, 400), WaitOutcome::TimedOut);
    const ULONGLONG waited = GetTickCount64() - start;
    EXPECT_GE(waited, 380u);
    EXPECT_LT(waited, 5000u);
}

TEST_F(ProcessTest, WaitUntilReadyFailsWhenTheProcessEndsFirst) {
    const std::uintptr_t process = StartHelper(L"sleep 0 0", kHidden);
    ASSERT_NE(process, 0u);
    EXPECT_EQ(platform.WaitUntilReady(process, 20000), WaitOutcome::Failed);
}

TEST_F(ProcessTest, ShellRecordRunsTheVerbWithTheParameters) {
    TempFolder folder;
    const std::wstring marker = folder / L"ran.txt";
    const std::wstring helper = ModuleFolder() + L"\\quillmark_test_helper.exe";
    const std::wstring parameters = L"touch \"" + marker + L"\"";
    SHELLEXECUTEINFOW record = win32::PropertiesSheetRecord(window.Handle(), helper);
    record.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    record.lpVerb = L"open";
    record.lpParameters = parameters.c_str();
    win32::RunShellRecord(record);
    EXPECT_TRUE(PumpUntil([&] { return Exists(marker); }, 20000));
}

TEST_F(ProcessTest, PropertiesSheetRecordAsksForTheSheetOwnedByTheWindow) {
    const std::wstring target = L"D:\\Work\\app.exe";
    const SHELLEXECUTEINFOW record = win32::PropertiesSheetRecord(window.Handle(), target);
    EXPECT_EQ(record.cbSize, sizeof(SHELLEXECUTEINFOW));
    EXPECT_EQ(record.fMask, 0x44Cu);
    EXPECT_EQ(record.hwnd, window.Handle());
    EXPECT_STREQ(record.lpVerb, L"properties");
    EXPECT_EQ(record.lpFile, target.c_str());
    EXPECT_STREQ(record.lpParameters, L"");
    EXPECT_STREQ(record.lpDirectory, L"");
    EXPECT_EQ(record.nShow, 0);
}

class ClipboardTest : public ProcessTest {};

std::wstring UnicodeClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return L"(clipboard not opened)";
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

std::string AnsiClipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr)) return "(clipboard not opened)";
    if (const HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const auto* chars = static_cast<const char*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

TEST_F(ClipboardTest, TextIsOfferedAsUnicodeAndAsAnsiText) {
    const std::wstring script = L"1 VERSIONINFO\r\nFILEVERSION 1, 2, 0, 3\r\n\tValue \"Comments\", \"日本語\"\r\n";
    ASSERT_TRUE(platform.ClipboardEmpty().ok);
    const OpResult set = platform.ClipboardSetText(script);
    ASSERT_TRUE(set.ok) << win32::ToAnsi(set.error);
    EXPECT_EQ(UnicodeClipboardText(), script);
    EXPECT_EQ(AnsiClipboardText(), win32::ToAnsi(script));
    // in the system's code page, whatever the keyboard layout
    ASSERT_TRUE(OpenClipboard(nullptr));
    const HANDLE locale = GetClipboardData(CF_LOCALE);
    const auto* lcid = locale != nullptr ? static_cast<const LCID*>(GlobalLock(locale)) : nullptr;
    EXPECT_TRUE(lcid != nullptr && *lcid == GetUserDefaultLCID());
    if (lcid != nullptr) GlobalUnlock(locale);
    CloseClipboard();
}

TEST_F(ClipboardTest, EmptyRemovesEveryFormat) {
    ASSERT_TRUE(platform.ClipboardSetText(L"earlier").ok);
    ASSERT_TRUE(OpenClipboard(window.Handle()));
    const UINT custom = RegisterClipboardFormatW(L"Quillmark test format");
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, 4);
    ASSERT_NE(SetClipboardData(custom, memory), nullptr);
    CloseClipboard();
    ASSERT_TRUE(IsClipboardFormatAvailable(custom));

    const OpResult emptied = platform.ClipboardEmpty();
    EXPECT_TRUE(emptied.ok);
    EXPECT_FALSE(IsClipboardFormatAvailable(custom));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
}

TEST_F(ClipboardTest, ClipboardHeldByAnotherProgramIsAFailureWithAReason) {
    const std::wstring eventName = L"QuillmarkClipboardHeld" + std::to_wstring(GetCurrentProcessId());
    const HANDLE held = CreateEventW(nullptr, TRUE, FALSE, eventName.c_str());
    ASSERT_NE(held, nullptr);
    const std::uintptr_t holder = StartHelper(L"holdclipboard " + eventName + L" 3000", kHidden);
    ASSERT_NE(holder, 0u);
    ASSERT_EQ(WaitForSingleObject(held, 20000), WAIT_OBJECT_0);
    CloseHandle(held);

    const OpResult emptied = platform.ClipboardEmpty();
    EXPECT_FALSE(emptied.ok);
    EXPECT_FALSE(emptied.error.empty());
    const OpResult set = platform.ClipboardSetText(L"script");
    EXPECT_FALSE(set.ok);
    EXPECT_FALSE(set.error.empty());

    EXPECT_EQ(platform.WaitForExit(holder, 20000), WaitOutcome::Done);
    EXPECT_TRUE(platform.ClipboardSetText(L"script").ok);
}

}  // namespace
}  // namespace quillmark::wintest
