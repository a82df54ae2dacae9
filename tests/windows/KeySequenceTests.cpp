// The editor's key sequence, sent through Module1::SendKey and the Win32
// platform, arrives at the focused window as the 36 key events in order.
#include "platform/win32/WindowsApi.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/MainWindow.h"
#include "platform/win32/Win32Platform.h"
#include "press/KeySequence.h"
#include "press/Module1.h"
#include "tests/windows/WindowsTestSupport.h"

namespace quillmark::wintest {
namespace {

struct KeyEvent {
    WPARAM key;
    bool down;
    bool operator==(const KeyEvent&) const = default;
};

void PrintTo(const KeyEvent& event, std::ostream* out) { *out << event.key << (event.down ? " down" : " up"); }

// A focused window that records the key messages it gets. It takes no
// menu or close command from them (Alt+E, Alt+F4).
class KeyRecorder {
public:
    KeyRecorder() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"QuillmarkKeyRecorder";
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, windowClass.lpszClassName, L"Key recorder", WS_OVERLAPPED | WS_CAPTION, 50, 50,
                                  300, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
        events().clear();
        ShowWindow(window_, SW_SHOWNORMAL);
        SetForegroundWindow(window_);
        SetFocus(window_);
        UpdateWindow(window_);
    }
    ~KeyRecorder() { DestroyWindow(window_); }
    KeyRecorder(const KeyRecorder&) = delete;
    KeyRecorder& operator=(const KeyRecorder&) = delete;

    HWND Handle() const { return window_; }
    static std::vector<KeyEvent>& events() {
        static std::vector<KeyEvent> recorded;
        return recorded;
    }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
            case WM_KEYDOWN:
            case WM_SYSKEYDOWN:
                events().push_back({wParam, true});
                return 0;
            case WM_KEYUP:
            case WM_SYSKEYUP:
                events().push_back({wParam, false});
                return 0;
            case WM_SYSCHAR:
            case WM_SYSCOMMAND:
            case WM_CLOSE:
                return 0;
            default:
                return DefWindowProcW(window, message, wParam, lParam);
        }
    }

    HWND window_ = nullptr;
};

std::vector<KeyEvent> Expected() {
    std::vector<KeyEvent> events;
    const auto press = [&](WPARAM key) {
        events.push_back({key, true});
        events.push_back({key, false});
    };
    const auto chord = [&](WPARAM modifier, WPARAM key) {
        events.push_back({modifier, true});
        press(key);
        events.push_back({modifier, false});
    };
    for (int i = 0; i < 5; ++i) press(VK_RIGHT);
    press(VK_TAB);
    chord(VK_MENU, 'E');
    press('A');
    press(VK_DELETE);
    chord(VK_CONTROL, 'V');
    chord(VK_MENU, 'C');
    chord(VK_CONTROL, 'S');
    chord(VK_MENU, VK_F4);
    return events;
}

TEST(KeySequence, ReachesTheFocusedWindowAsThirtySixEventsInOrder) {
    win32::MainWindow main(GetModuleHandleW(nullptr));
    win32::Win32Platform platform(main);
    KeyRecorder recorder;
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == recorder.Handle(); }, 10000))
        << "the recorder window did not come to the front";
    ASSERT_EQ(GetFocus(), recorder.Handle());

    for (const KeyStroke& stroke : EditorKeySequence()) {
        Module1::SendKey(platform, stroke.first, stroke.second);
    }
    const std::vector<KeyEvent> expected = Expected();
    ASSERT_EQ(expected.size(), 36u);
    PumpUntil([&] { return KeyRecorder::events().size() >= expected.size(); }, 10000);
    // Anything late would show up as extra events.
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(KeyRecorder::events(), expected);
}

}  // namespace
}  // namespace quillmark::wintest
