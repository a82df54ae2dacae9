#include "platform/win32/MainWindow.h"

#include <algorithm>
#include <numeric>

#include "platform/win32/CaptionFonts.h"
#include "platform/win32/ControlClasses.h"
#include "platform/win32/Dpi.h"
#include "platform/win32/SystemDlls.h"
#include "resources/resource.h"
#include "ui/ControlTable.h"
#include "ui/WindowFonts.h"

namespace quillmark::win32 {

namespace {

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;
constexpr COLORREF kHeadingColour = RGB(0, 0, 255);
// WM_COPYGLOBALDATA: the shell hands dropped files over with it.
constexpr UINT kCopyGlobalData = 0x0049;
// System menu IDs lie below 0xF000 with the low four bits clear: Windows
// uses those bits itself.
constexpr UINT kLoadFromExeCommand = 0x0010;
constexpr UINT kRestoreBackupCommand = 0x0020;
constexpr WPARAM kSysCommandMask = 0xFFF0;

struct MenuCommand {
    UINT command;
    const MenuItemSpec* item;
};

constexpr MenuCommand kMenuCommands[] = {
    {kLoadFromExeCommand, &kLoadFromExeItem},
    {kRestoreBackupCommand, &kRestoreBackupItem},
};

const wchar_t* MenuItemName(UINT command) {
    for (const MenuCommand& entry : kMenuCommands) {
        if (entry.command == command) return entry.item->name;
    }
    return nullptr;
}

const ControlSpec* FrameSpec() {
    for (const ControlSpec& spec : ControlTable()) {
        if (spec.kind == ControlKind::Frame) return &spec;
    }
    return nullptr;
}

void RegisterWindowClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(instance, MainWindow::kClassName, &existing)) return;

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = MainWindow::kClassName;
    windowClass.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUILLMARK), IMAGE_ICON,
                                                      GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    windowClass.hIconSm =
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUILLMARK), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    RegisterClassExW(&windowClass);
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, UINT dpi, Extras extras) {
    INITCOMMONCONTROLSEX commonControls{sizeof(commonControls), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&commonControls);
    RegisterWindowClass(instance, &MainWindow::WindowProc);

    const WindowSpec& spec = MainWindowSpec();
    window_ = CreateWindowExW(kWindowExStyle, kClassName, spec.caption, kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
    if (window_ == nullptr) return;
    dpi_ = dpi != 0 ? dpi : WindowDpi(window_);
    PlaceWindow(nullptr);
    // Sized first: a caption is fitted to its control's size.
    CreateControls(instance);
    ApplyFonts();
    extrasPending_ = true;
    if (extras == Extras::Now) AddExtras();
    DragAcceptFiles(window_, TRUE);
    // Run as administrator, the window would not hear of drops from
    // Explorer, which runs at a lower integrity level.
    for (const UINT message : {UINT{WM_DROPFILES}, UINT{WM_COPYDATA}, kCopyGlobalData}) {
        ChangeWindowMessageFilterEx(window_, message, MSGFLT_ALLOW, nullptr);
    }
}

MainWindow::~MainWindow() {
    destroying_ = true;
    sink_ = nullptr;
    dropSink_ = nullptr;
    if (tooltip_ != nullptr) DestroyWindow(tooltip_);
    if (window_ != nullptr) DestroyWindow(window_);
    for (const HFONT font : fonts_) DeleteObject(font);
}

HWND MainWindow::Control(const ControlRef& control) const {
    const auto table = ControlTable();
    for (std::size_t i = 0; i < table.size() && i < controls_.size(); ++i) {
        if (table[i].index == control.index && control.name == table[i].name) return controls_[i];
    }
    return nullptr;
}

void MainWindow::Show() {
    ShowWindow(window_, SW_SHOW);
    AddExtras();
    UpdateWindow(window_);
}

void MainWindow::AddExtras() {
    if (!extrasPending_) return;
    extrasPending_ = false;
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
    SetIcons(instance);
    CreateTooltips(instance);
    // Windows copies its system menu for the window on first use: not
    // needed for the first paint either.
    if (const HMENU systemMenu = GetSystemMenu(window_, FALSE)) {
        AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(systemMenu, MF_STRING, kLoadFromExeCommand, kLoadFromExeItem.caption);
        AppendMenuW(systemMenu, MF_STRING, kRestoreBackupCommand, kRestoreBackupItem.caption);
    }
}

void MainWindow::SetBusy(bool busy) {
    busy_ = busy;
    SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

bool MainWindow::IsOwnInput(const MSG& message) const {
    const UINT id = message.message;
    const bool input = (id >= WM_KEYFIRST && id <= WM_KEYLAST) || (id >= WM_MOUSEFIRST && id <= WM_MOUSELAST) ||
                       (id >= WM_NCMOUSEMOVE && id <= WM_NCXBUTTONDBLCLK) || id == WM_NCMOUSEHOVER ||
                       id == WM_NCMOUSELEAVE || id == WM_MOUSEHOVER || id == WM_MOUSELEAVE;
    if (!input || message.hwnd == nullptr) return false;
    return message.hwnd == window_ || IsChild(window_, message.hwnd);
}

void MainWindow::SetIcons(HINSTANCE instance) {
    // Sized for this window's DPI; the class icons are the system's sizes.
    const auto load = [&](int size) {
        return reinterpret_cast<LPARAM>(
            LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUILLMARK), IMAGE_ICON, size, size, LR_SHARED));
    };
    const int smallSize = MulDiv(16, static_cast<int>(dpi_), USER_DEFAULT_SCREEN_DPI);
    const int bigSize = MulDiv(32, static_cast<int>(dpi_), USER_DEFAULT_SCREEN_DPI);
    if (const LPARAM icon = load(smallSize)) SendMessageW(window_, WM_SETICON, ICON_SMALL, icon);
    if (const LPARAM icon = load(bigSize)) SendMessageW(window_, WM_SETICON, ICON_BIG, icon);
}

void MainWindow::CreateControls(HINSTANCE instance) {
    const auto table = ControlTable();
    controls_.assign(table.size(), nullptr);
    std::vector<std::size_t> order(table.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return table[a].tabIndex < table[b].tabIndex; });
    for (const std::size_t i : order) {
        const ControlSpec& spec = table[i];
        const ControlClass kind = ClassFor(spec.kind);
        if (kind.className == nullptr) continue;
        DWORD style = WS_CHILD | WS_VISIBLE | kind.style;
        if (spec.startsDisabled) style |= WS_DISABLED;
        const auto id = static_cast<INT_PTR>(kFirstControlId + static_cast<int>(i));
        const RECT rect = ControlRect(i);
        // A new child goes below its siblings: the lowest tab index ends on top.
        controls_[i] = CreateWindowExW(kind.exStyle, kind.className, spec.caption, style, rect.left, rect.top,
                                       rect.right - rect.left, rect.bottom - rect.top, window_,
                                       reinterpret_cast<HMENU>(id), instance, nullptr);
        if (spec.kind == ControlKind::Frame && controls_[i] != nullptr) {
            // A themed group box draws its caption in the theme's colour and
            // font; the classic look takes both from us. Wine ignores the
            // empty names, but no theme has a class named " ".
            dlls::SetWindowTheme(controls_[i], L"", L"");
            if (dlls::GetWindowTheme(controls_[i]) != nullptr) dlls::SetWindowTheme(controls_[i], L" ", L" ");
        }
    }
}

void MainWindow::CreateTooltips(HINSTANCE instance) {
    tooltip_ =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance, nullptr);
    if (tooltip_ == nullptr) return;
    const auto table = ControlTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].tooltip == nullptr || controls_[i] == nullptr) continue;
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window_;
        tool.uId = reinterpret_cast<UINT_PTR>(controls_[i]);
        tool.lpszText = const_cast<wchar_t*>(table[i].tooltip);
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void MainWindow::ApplyFonts() {
    CaptionFontSet fonts;
    const LOGFONTW body = RequestedFont(FontFor(ControlLook::Default), dpi_);
    const LOGFONTW heading = RequestedFont(FontFor(ControlLook::BlueBoldHeading), dpi_);

    // Before the window is first shown there is nothing to repaint.
    const BOOL repaint = IsWindowVisible(window_);
    const auto table = ControlTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (controls_[i] == nullptr) continue;
        const ControlSpec& spec = table[i];
        const LOGFONTW& base = spec.look == ControlLook::BlueBoldHeading ? heading : body;
        // A text box's margins follow its font: measured with it in place.
        const bool textBox = spec.kind == ControlKind::TextBox;
        if (textBox) SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(fonts.Font(base)), repaint);
        const LOGFONTW fitted =
            fonts.FittedFont(spec.kind, spec.caption, base, TextAreaOf(controls_[i], spec.kind), dpi_);
        if (!textBox || fitted.lfHeight != base.lfHeight) {
            SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(fonts.Font(fitted)), repaint);
        }
    }
    // The controls hold the new fonts now: the old ones can go.
    for (const HFONT font : fonts_) DeleteObject(font);
    fonts_ = fonts.TakeFonts();
}

RECT MainWindow::ControlRect(std::size_t tablePosition) const {
    const ControlSpec& control = ControlTable()[tablePosition];
    const ControlSpec* frame = control.inFrame ? FrameSpec() : nullptr;
    const int left = (frame != nullptr ? TwipsToPixels(frame->left, dpi_) : 0) + TwipsToPixels(control.left, dpi_);
    const int top = (frame != nullptr ? TwipsToPixels(frame->top, dpi_) : 0) + TwipsToPixels(control.top, dpi_);
    return {left, top, left + TwipsToPixels(control.width, dpi_), top + TwipsToPixels(control.height, dpi_)};
}

void MainWindow::PlaceWindow(const RECT* suggestedWindowRect) {
    const WindowSpec& spec = MainWindowSpec();
    const RECT frame = WindowRectForClient(TwipsToPixels(spec.clientWidth, dpi_),
                                           TwipsToPixels(spec.clientHeight, dpi_), kWindowStyle, kWindowExStyle, dpi_);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    if (suggestedWindowRect != nullptr) {
        SetWindowPos(window_, nullptr, suggestedWindowRect->left, suggestedWindowRect->top, width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    }
}

void MainWindow::PlaceControls() {
    const BOOL repaint = IsWindowVisible(window_);
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i] == nullptr) continue;
        const RECT rect = ControlRect(i);
        MoveWindow(controls_[i], rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, repaint);
    }
}

bool MainWindow::IsHeading(HWND control) const {
    const auto table = ControlTable();
    for (std::size_t i = 0; i < table.size() && i < controls_.size(); ++i) {
        if (controls_[i] == control) return table[i].look == ControlLook::BlueBoldHeading;
    }
    return false;
}

void MainWindow::Emit(WindowEvent event, std::size_t tablePosition) {
    if (!sink_) return;
    const ControlSpec& spec = ControlTable()[tablePosition];
    // The sink may end the program or replace itself: call a copy.
    const EventSink sink = sink_;
    sink(event, ControlRef{spec.name, spec.index});
}

void MainWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (lParam == 0) return;  // menu and accelerator commands: this window has none
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    const auto table = ControlTable();
    if (id < kFirstControlId || id >= kFirstControlId + static_cast<int>(table.size())) return;
    const auto position = static_cast<std::size_t>(id - kFirstControlId);
    if (reinterpret_cast<HWND>(lParam) != controls_[position]) return;
    const ControlKind kind = table[position].kind;
    if (kind == ControlKind::Button && code == BN_CLICKED) {
        Emit(WindowEvent::Click, position);
    } else if (kind == ControlKind::Label && code == STN_CLICKED) {
        Emit(WindowEvent::Click, position);
    } else if (kind == ControlKind::TextBox && code == EN_CHANGE) {
        Emit(WindowEvent::Change, position);
    }
}

void MainWindow::OnDropFiles(HDROP drop) {
    std::vector<std::wstring> files(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0));
    for (UINT i = 0; i < files.size(); ++i) {
        files[i].resize(DragQueryFileW(drop, i, nullptr, 0) + 1);
        files[i].resize(DragQueryFileW(drop, i, files[i].data(), static_cast<UINT>(files[i].size())));
    }
    POINT point{};
    const bool inClient = DragQueryPoint(drop, &point) != FALSE;
    DragFinish(drop);

    if (!dropSink_) return;
    const DropSink sink = dropSink_;
    sink(files, inClient ? ControlAt(point) : ControlRef{});
}

ControlRef MainWindow::ControlAt(POINT point) const {
    // The controls inside the frame are its siblings and lie on top of it:
    // the frame counts only where none of them is.
    ControlRef found;
    const auto table = ControlTable();
    for (std::size_t i = 0; i < table.size() && i < controls_.size(); ++i) {
        if (controls_[i] == nullptr) continue;
        RECT rect{};
        GetWindowRect(controls_[i], &rect);
        MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&rect), 2);
        if (!PtInRect(&rect, point)) continue;
        found = ControlRef{table[i].name, table[i].index};
        if (table[i].kind != ControlKind::Frame) break;
    }
    return found;
}

void MainWindow::SetMenuItemEnabled(const std::wstring& item, bool enabled) {
    const HMENU systemMenu = GetSystemMenu(window_, FALSE);
    if (systemMenu == nullptr) return;
    for (const MenuCommand& entry : kMenuCommands) {
        if (item == entry.item->name) {
            EnableMenuItem(systemMenu, entry.command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
        }
    }
}

void MainWindow::OnActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window_, focus)) lastFocus_ = focus;
        return;
    }
    // A plain window does not put the focus back on its controls itself.
    if (lastFocus_ == nullptr || !IsWindow(lastFocus_) || !IsWindowEnabled(lastFocus_)) {
        lastFocus_ = GetNextDlgTabItem(window_, nullptr, FALSE);
    }
    if (lastFocus_ != nullptr) SetFocus(lastFocus_);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* self = static_cast<MainWindow*>(create->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(wParam, lParam);
            return 0;
        case WM_DROPFILES:
            OnDropFiles(reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_SYSCOMMAND:
            if (const wchar_t* item = MenuItemName(static_cast<UINT>(wParam & kSysCommandMask))) {
                if (sink_) {
                    const EventSink sink = sink_;
                    sink(WindowEvent::MenuClick, ControlRef{item});
                }
                return 0;
            }
            break;
        case WM_INITMENUPOPUP:
            if (HIWORD(lParam) != FALSE && sink_) {
                const EventSink sink = sink_;
                sink(WindowEvent::MenuPopup, ControlRef{});
                return 0;
            }
            break;
        case WM_CTLCOLORSTATIC:
            if (IsHeading(reinterpret_cast<HWND>(lParam))) {
                const auto dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, kHeadingColour);
                SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
                return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
            }
            break;
        case WM_SETCURSOR:
            if (busy_) {
                SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                return TRUE;
            }
            break;
        case WM_ACTIVATE:
            OnActivate(wParam);
            return 0;
        case WM_DPICHANGED:
            dpi_ = HIWORD(wParam);
            // Icons still to come are loaded at the new DPI then.
            if (!extrasPending_) SetIcons(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE)));
            PlaceWindow(reinterpret_cast<const RECT*>(lParam));
            PlaceControls();
            ApplyFonts();
            return 0;
        case WM_CLOSE:
            if (sink_) {
                // The form saves its settings and ends the program.
                const EventSink sink = sink_;
                sink(WindowEvent::Unload, ControlRef{});
                return 0;
            }
            DestroyWindow(window_);
            return 0;
        case WM_QUERYENDSESSION:
            return sessionEndQuery_ && !sessionEndQuery_() ? FALSE : TRUE;
        case WM_ENDSESSION:
            // The process may be ended as soon as this returns: the form
            // saves before it does.
            if (wParam != FALSE && sink_) {
                const EventSink sink = sink_;
                sink(WindowEvent::EndSession, ControlRef{});
            }
            return 0;
        case WM_DESTROY:
            if (!destroying_) PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY: {
            const HWND window = window_;
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            window_ = nullptr;
            return DefWindowProcW(window, message, wParam, lParam);
        }
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace quillmark::win32
