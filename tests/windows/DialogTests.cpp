// The modal dialogs: the Open dialog and the message box, answered by a
// timer that runs inside their modal loops.
#include "platform/win32/WindowsApi.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/win32/MainWindow.h"
#include "platform/win32/SystemText.h"
#include "platform/win32/Win32Platform.h"
#include "tests/windows/WindowsTestSupport.h"

namespace quillmark::wintest {
namespace {

using win32::MainWindow;
using win32::Win32Platform;

// The dialog controls as the common dialogs number them.
constexpr int kFileTypeBox = 0x470;    // cmb1
constexpr int kFileNameEdit = 0x480;   // edt1
constexpr int kFileNameCombo = 0x47C;  // cmb13
constexpr int kMessageText = 0xFFFF;

// Runs `act` once on the first visible dialog of this thread that comes up
// while the timer is alive, and notes the dialog's owner.
class DialogAnswer {
public:
    explicit DialogAnswer(std::function<void(HWND)> act) : act_(std::move(act)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 50, &DialogAnswer::OnTimer);
    }
    ~DialogAnswer() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    DialogAnswer(const DialogAnswer&) = delete;
    DialogAnswer& operator=(const DialogAnswer&) = delete;

    bool Answered() const { return answered_; }
    HWND Owner() const { return owner_; }

private:
    static BOOL CALLBACK Match(HWND window, LPARAM parameter) {
        auto* self = reinterpret_cast<DialogAnswer*>(parameter);
        wchar_t name[32] = {};
        GetClassNameW(window, name, 32);
        if (lstrcmpW(name, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
        self->dialog_ = window;
        return FALSE;
    }

    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
        DialogAnswer* self = current_;
        if (self == nullptr || self->answered_) return;
        self->dialog_ = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), &DialogAnswer::Match, reinterpret_cast<LPARAM>(self));
        if (self->dialog_ == nullptr) return;
        self->answered_ = true;
        self->owner_ = GetWindow(self->dialog_, GW_OWNER);
        self->act_(self->dialog_);
    }

    static inline DialogAnswer* current_ = nullptr;
    HWND owner_ = nullptr;
    std::function<void(HWND)> act_;
    UINT_PTR timer_ = 0;
    HWND dialog_ = nullptr;
    bool answered_ = false;
};

std::wstring ItemText(HWND dialog, int id) {
    wchar_t text[1024] = {};
    GetDlgItemTextW(dialog, id, text, 1024);
    return text;
}

class DialogTest : public ::testing::Test {
protected:
    DialogTest() { window.Show(); }

    static OpenDialogRequest ExeRequest() {
        OpenDialogRequest request;
        request.hideReadOnly = true;
        request.filter = L"実行ファイル (*.exe)|*.exe";
        request.filterIndex = 1;
        return request;
    }

    MainWindow window{GetModuleHandleW(nullptr)};
    Win32Platform platform{window};
};

TEST_F(DialogTest, OpenDialogShowsTheFilterAndGivesTheChosenPath) {
    TempFolder folder;
    const std::wstring target = folder / L"target.exe";
    ASSERT_TRUE(WriteBytes(target, "MZ"));
    std::wstring typeShown;
    DialogAnswer answer([&](HWND dialog) {
        wchar_t type[256] = {};
        SendDlgItemMessageW(dialog, kFileTypeBox, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(type));
        typeShown = type;
        SetDlgItemTextW(dialog, kFileNameEdit, target.c_str());
        SetDlgItemTextW(dialog, kFileNameCombo, target.c_str());
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    const auto chosen = platform.ShowOpenDialog(ExeRequest());
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(answer.Owner(), window.Handle());
    EXPECT_EQ(typeShown, L"実行ファイル (*.exe)");
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(lstrcmpiW(chosen->c_str(), target.c_str()), 0) << win32::ToAnsi(*chosen);
}

TEST_F(DialogTest, OpenDialogRemembersTheLastChoiceAndYieldsNothingOnCancel) {
    TempFolder folder;
    const std::wstring target = folder / L"ResHacker.exe";
    ASSERT_TRUE(WriteBytes(target, "MZ"));
    {
        DialogAnswer answer([&](HWND dialog) {
            SetDlgItemTextW(dialog, kFileNameEdit, target.c_str());
            SetDlgItemTextW(dialog, kFileNameCombo, target.c_str());
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        ASSERT_TRUE(platform.ShowOpenDialog(ExeRequest()).has_value());
    }
    std::wstring offered;
    DialogAnswer answer([&](HWND dialog) {
        offered = ItemText(dialog, kFileNameEdit) + ItemText(dialog, kFileNameCombo);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(platform.ShowOpenDialog(ExeRequest()), std::nullopt);
    ASSERT_TRUE(answer.Answered());
    EXPECT_NE(offered.find(L"ResHacker.exe"), std::wstring::npos) << win32::ToAnsi(offered);
}

TEST_F(DialogTest, MessageBoxIsOwnedByTheWindowWithItsTextAndTitle) {
    std::wstring text;
    std::wstring title;
    bool hasIcon = false;
    DialogAnswer answer([&](HWND box) {
        text = ItemText(box, kMessageText);
        wchar_t caption[256] = {};
        GetWindowTextW(box, caption, 256);
        title = caption;
        for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) hasIcon = true;
        }
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    const Answer answered = platform.MessageBox(L"入力エラーの説明", L"Quillmark入力エラー", Severity::Warning,
                                                Buttons::Ok, DefaultAnswer::Yes);
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(answer.Owner(), window.Handle());
    EXPECT_EQ(answered, Answer::Ok);
    EXPECT_EQ(text, L"入力エラーの説明");
    EXPECT_EQ(title, L"Quillmark入力エラー");
    EXPECT_TRUE(hasIcon);
}

TEST_F(DialogTest, MessageBoxAnswersYesOrNoAsPressed) {
    for (const int pressed : {IDYES, IDNO}) {
        DialogAnswer answer([&](HWND box) { PostMessageW(box, WM_COMMAND, pressed, 0); });
        const Answer answered =
            platform.MessageBox(L"続けますか？", L"Quillmark", Severity::Warning, Buttons::YesNo, DefaultAnswer::No);
        ASSERT_TRUE(answer.Answered());
        EXPECT_EQ(answered, pressed == IDYES ? Answer::Yes : Answer::No);
    }
    // Asked during a press, the window stays closed to input after the answer.
    platform.BeginBusy();
    DialogAnswer answer([&](HWND box) { PostMessageW(box, WM_COMMAND, IDYES, 0); });
    platform.MessageBox(L"削除しますか？", L"Quillmark", Severity::Warning, Buttons::YesNo, DefaultAnswer::Yes);
    ASSERT_TRUE(answer.Answered());
    EXPECT_FALSE(IsWindowEnabled(window.Handle()));
    platform.EndBusy();
    EXPECT_TRUE(IsWindowEnabled(window.Handle()));
}

TEST(MessageBoxStyles, AreTheWin32StylesOfTheProgramsWords) {
    struct Case {
        Severity severity;
        Buttons buttons;
        DefaultAnswer byDefault;
        UINT style;
    };
    for (const Case& c : {Case{Severity::None, Buttons::Ok, DefaultAnswer::Yes, 0},
                          Case{Severity::Information, Buttons::Ok, DefaultAnswer::Yes, 64},
                          Case{Severity::Warning, Buttons::Ok, DefaultAnswer::Yes, 48},
                          Case{Severity::Warning, Buttons::YesNo, DefaultAnswer::Yes, 52},
                          Case{Severity::Warning, Buttons::YesNo, DefaultAnswer::No, 308}}) {
        EXPECT_EQ(win32::MessageBoxStyle(c.severity, c.buttons, c.byDefault), c.style);
    }
}

}  // namespace
}  // namespace quillmark::wintest
