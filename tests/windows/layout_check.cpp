// Starts Quillmark.exe from a folder, finds its window and checks it against
// the control table: every control with its caption, position and size,
// the start-up state of the two action buttons, the tab order, the
// tooltips and the blue headings on screen. Saves a screenshot of the
// window as a BMP, then closes the window the way a user would and checks
// that the program saved its settings and ended.
//   quillmark_layout_check.exe <folder with Quillmark.exe> <screenshot.bmp>
#include "platform/win32/WindowsApi.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/MainWindow.h"
#include "ui/ControlTable.h"

namespace {

using quillmark::ControlKind;
using quillmark::ControlLook;
using quillmark::ControlSpec;
using quillmark::ControlTable;
using quillmark::MainWindowSpec;

int failures = 0;

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

std::string Name(const ControlSpec& spec) {
    return Utf8(spec.name) + (spec.index >= 0 ? "(" + std::to_string(spec.index) + ")" : "");
}

void Check(bool ok, const std::string& what) {
    if (!ok) ++failures;
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
}

template <typename T>
void CheckEqual(const T& actual, const T& expected, const std::string& what) {
    if (actual == expected) {
        Check(true, what);
    } else {
        Check(false, what + ": got " + std::to_string(actual) + ", want " + std::to_string(expected));
    }
}

std::wstring TextOf(HWND window) {
    // Through the message: the caption a control shows, from another process.
    wchar_t text[512] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &copied);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[128] = {};
    GetClassNameW(window, name, 128);
    return name;
}

struct Search {
    DWORD processId;
    const wchar_t* className;
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || lstrcmpiW(ClassOf(window).c_str(), search->className) != 0) return TRUE;
    if (search->owner != nullptr && GetWindow(window, GW_OWNER) != search->owner) return TRUE;
    if (search->owner == nullptr && !IsWindowVisible(window)) return TRUE;
    search->found = window;
    return FALSE;
}

HWND FindWindowOf(DWORD processId, const wchar_t* className, HWND owner) {
    Search search{processId, className, owner, nullptr};
    EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int Px(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

struct Capture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // 24-bit BGR rows, bottom-up, padded to 4 bytes

    int Stride() const { return (width * 3 + 3) & ~3; }
    COLORREF At(int x, int y) const {
        const std::size_t offset = static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(Stride()) +
                                   static_cast<std::size_t>(x) * 3;
        return RGB(pixels[offset + 2], pixels[offset + 1], pixels[offset]);
    }
    int CountOf(COLORREF colour, const RECT& area) const {
        int count = 0;
        for (int y = std::max<LONG>(area.top, 0); y < std::min<LONG>(area.bottom, height); ++y) {
            for (int x = std::max<LONG>(area.left, 0); x < std::min<LONG>(area.right, width); ++x) {
                if (At(x, y) == colour) ++count;
            }
        }
        return count;
    }
};

Capture CaptureWindow(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    Capture capture;
    capture.width = rect.right - rect.left;
    capture.height = rect.bottom - rect.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = capture.width;
    info.bmiHeader.biHeight = capture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, capture.width, capture.height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const std::uint8_t*>(bits);
    capture.pixels.assign(first, first + static_cast<std::size_t>(capture.Stride()) * capture.height);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return capture;
}

bool SaveBmp(const Capture& capture, const std::wstring& path) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = capture.width;
    header.biHeight = capture.height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(capture.pixels.size());
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + header.biSizeImage;
    const HANDLE out =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(out, &file, sizeof(file), &written, nullptr) != FALSE;
    ok = ok && WriteFile(out, &header, sizeof(header), &written, nullptr) != FALSE;
    ok = ok && WriteFile(out, capture.pixels.data(), header.biSizeImage, &written, nullptr) != FALSE;
    CloseHandle(out);
    return ok;
}

// The control's rectangle in the main window's client coordinates.
RECT ClientRectOf(HWND main, HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, main, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void CheckControls(HWND main, UINT dpi) {
    const auto table = ControlTable();
    const ControlSpec* frame = nullptr;
    for (const ControlSpec& spec : table) {
        if (spec.kind == ControlKind::Frame) frame = &spec;
    }
    if (frame == nullptr) {
        Check(false, "the control table has a frame");
        return;
    }
    for (std::size_t i = 0; i < table.size(); ++i) {
        const ControlSpec& spec = table[i];
        if (spec.kind == ControlKind::FileDialog) continue;
        const std::string name = Name(spec);
        const HWND control = GetDlgItem(main, quillmark::win32::MainWindow::kFirstControlId + static_cast<int>(i));
        Check(control != nullptr, name + " exists");
        if (control == nullptr) continue;
        const wchar_t* className = spec.kind == ControlKind::TextBox ? L"Edit"
                                   : spec.kind == ControlKind::Label ? L"Static"
                                                                     : L"Button";
        Check(lstrcmpiW(ClassOf(control).c_str(), className) == 0, name + " is a " + Utf8(className));
        // Text boxes show what the start-up restore put there, not a caption.
        if (spec.kind != ControlKind::TextBox) {
            Check(TextOf(control) == spec.caption, name + " caption \"" + Utf8(spec.caption) + "\"");
        }
        const RECT rect = ClientRectOf(main, control);
        const int originLeft = spec.inFrame ? Px(frame->left, dpi) : 0;
        const int originTop = spec.inFrame ? Px(frame->top, dpi) : 0;
        CheckEqual<LONG>(rect.left, originLeft + Px(spec.left, dpi), name + " left");
        CheckEqual<LONG>(rect.top, originTop + Px(spec.top, dpi), name + " top");
        CheckEqual<LONG>(rect.right - rect.left, Px(spec.width, dpi), name + " width");
        CheckEqual<LONG>(rect.bottom - rect.top, Px(spec.height, dpi), name + " height");
        Check((IsWindowEnabled(control) != FALSE) == !spec.startsDisabled,
              name + (spec.startsDisabled ? " starts disabled" : " starts enabled"));
    }
}

void CheckTabOrder(HWND main) {
    std::vector<std::pair<int, HWND>> stops;
    const auto table = ControlTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        const ControlSpec& spec = table[i];
        if (spec.kind != ControlKind::Button && spec.kind != ControlKind::TextBox) continue;
        const HWND control = GetDlgItem(main, quillmark::win32::MainWindow::kFirstControlId + static_cast<int>(i));
        if (control != nullptr && IsWindowEnabled(control)) stops.emplace_back(spec.tabIndex, control);
    }
    std::sort(stops.begin(), stops.end());
    HWND current = GetNextDlgTabItem(main, nullptr, FALSE);
    bool inOrder = !stops.empty();
    for (const auto& stop : stops) {
        inOrder = inOrder && current == stop.second;
        current = GetNextDlgTabItem(main, current, FALSE);
    }
    Check(inOrder, "Tab visits the enabled text boxes and buttons in tab-index order");
}

RECT ControlRect(HWND main, const wchar_t* name, int index) {
    const auto table = ControlTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].index == index && lstrcmpW(table[i].name, name) == 0) {
            const HWND control = GetDlgItem(main, quillmark::win32::MainWindow::kFirstControlId + static_cast<int>(i));
            return ClientRectOf(main, control);
        }
    }
    return RECT{};
}

// Client coordinates to window-capture coordinates.
RECT InCapture(HWND main, RECT rect) {
    RECT window{};
    GetWindowRect(main, &window);
    POINT origin{0, 0};
    ClientToScreen(main, &origin);
    OffsetRect(&rect, origin.x - window.left, origin.y - window.top);
    return rect;
}

constexpr COLORREF kLabelBlue = RGB(0, 0, 255);

int BluePixelsOfLabel(HWND main, const Capture& capture, int index) {
    return capture.CountOf(kLabelBlue, InCapture(main, ControlRect(main, L"Label1", index)));
}

void CheckColours(HWND main, const Capture& capture) {
    const auto inCapture = [main](RECT rect) { return InCapture(main, rect); };
    const COLORREF blue = kLabelBlue;
    for (int index : {0, 1}) {
        const int count = BluePixelsOfLabel(main, capture, index);
        Check(count > 20,
              "Label1(" + std::to_string(index) + ") text is drawn in blue (" + std::to_string(count) + " pixels)");
    }
    RECT frameCaption = ControlRect(main, L"Frame1", -1);
    frameCaption.bottom = frameCaption.top + MulDiv(16, static_cast<int>(GetDpiForWindow(main)), 96);
    const int frameBlue = capture.CountOf(blue, inCapture(frameCaption));
    Check(frameBlue > 20, "Frame1 caption is drawn in blue (" + std::to_string(frameBlue) + " pixels)");
    const int plainBlue = capture.CountOf(blue, inCapture(ControlRect(main, L"lblInfo", 0)));
    Check(plainBlue == 0, "lblInfo(0) is not blue (" + std::to_string(plainBlue) + " pixels)");
}

#pragma pack(push, 2)
struct IconDirectoryEntry {
    BYTE width;
    BYTE height;
    BYTE colourCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
struct IconDirectory {
    WORD reserved;
    WORD type;
    WORD count;
    IconDirectoryEntry entries[1];
};
#pragma pack(pop)

std::string ResourceBytes(HMODULE module, LPCWSTR name, LPCWSTR type) {
    const HRSRC found = FindResourceW(module, name, type);
    if (found == nullptr) return {};
    const HGLOBAL loaded = LoadResource(module, found);
    const auto* data = static_cast<const char*>(LockResource(loaded));
    return data == nullptr ? std::string() : std::string(data, SizeofResource(module, found));
}

// The program's own resources: the two icons, the manifest, its version.
void CheckResources(const std::wstring& exe) {
    const HMODULE module =
        LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    Check(module != nullptr, "Quillmark.exe loads as a resource module");
    if (module == nullptr) return;

    const std::string group = ResourceBytes(module, MAKEINTRESOURCEW(1), RT_GROUP_ICON);
    bool big = false;
    bool small16 = false;
    if (group.size() >= 6) {
        const auto* directory = reinterpret_cast<const IconDirectory*>(group.data());
        for (WORD i = 0; i < directory->count && 6 + (i + 1) * sizeof(IconDirectoryEntry) <= group.size(); ++i) {
            const IconDirectoryEntry& entry = directory->entries[i];
            const bool sixteenColours = entry.colourCount == 16 || entry.bitCount == 4;
            big = big || (entry.width == 32 && entry.height == 32 && sixteenColours);
            small16 = small16 || (entry.width == 16 && entry.height == 16 && sixteenColours);
        }
    }
    Check(big, "icon 32x32 in 16 colours");
    Check(small16, "icon 16x16 in 16 colours");

    const std::string manifest = ResourceBytes(module, MAKEINTRESOURCEW(1), RT_MANIFEST);
    Check(manifest.find("Microsoft.Windows.Common-Controls") != std::string::npos,
          "manifest asks for Common Controls v6");
    Check(manifest.find("PerMonitorV2") != std::string::npos, "manifest declares per-monitor DPI awareness");
    Check(manifest.find("activeCodePage") == std::string::npos, "manifest keeps the system code page");
    FreeLibrary(module);

    DWORD ignored = 0;
    std::vector<char> version(GetFileVersionInfoSizeW(exe.c_str(), &ignored));
    wchar_t* product = nullptr;
    UINT length = 0;
    const bool read = !version.empty() &&
                      GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(version.size()), version.data()) &&
                      VerQueryValueW(version.data(), L"\\StringFileInfo\\041104B0\\ProductName",
                                     reinterpret_cast<void**>(&product), &length);
    Check(read && product != nullptr && std::wstring(product) == L"Quillmark", "version resource names the product");
}

}  // namespace

int wmain(int count, wchar_t** arguments) {
    if (count < 3) {
        std::printf("usage: quillmark_layout_check <folder with Quillmark.exe> <screenshot.bmp>\n");
        return 2;
    }
    const std::wstring folder = arguments[1];
    const std::wstring screenshot = arguments[2];

    std::wstring commandLine = L"\"" + folder + L"\\Quillmark.exe\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &started)) {
        std::printf("FAIL could not start %s (error %lu)\n", Utf8(commandLine).c_str(), GetLastError());
        return 1;
    }
    CloseHandle(started.hThread);
    WaitForInputIdle(started.hProcess, 30000);

    HWND main = nullptr;
    const ULONGLONG deadline = GetTickCount64() + 30000;
    while (main == nullptr && GetTickCount64() < deadline) {
        main = FindWindowOf(started.dwProcessId, quillmark::win32::MainWindow::kClassName, nullptr);
        if (main == nullptr && WaitForSingleObject(started.hProcess, 20) == WAIT_OBJECT_0) break;
    }
    Check(main != nullptr, "Quillmark's main window appears");
    if (main == nullptr) {
        TerminateProcess(started.hProcess, 1);
        CloseHandle(started.hProcess);
        return 1;
    }

    Check(TextOf(main) == MainWindowSpec().caption, "window caption \"Quillmark\"");
    const UINT dpi = GetDpiForWindow(main);
    std::printf("info window DPI %u\n", dpi);
    RECT client{};
    GetClientRect(main, &client);
    CheckEqual<LONG>(client.right, Px(MainWindowSpec().clientWidth, dpi), "client width");
    CheckEqual<LONG>(client.bottom, Px(MainWindowSpec().clientHeight, dpi), "client height");
    const LONG style = GetWindowLongW(main, GWL_STYLE);
    Check((style & WS_THICKFRAME) == 0 && (style & WS_MAXIMIZEBOX) == 0, "the window has a fixed size");

    CheckResources(folder + L"\\Quillmark.exe");
    CheckControls(main, dpi);
    CheckTabOrder(main);
    const HWND tooltip = FindWindowOf(started.dwProcessId, TOOLTIPS_CLASSW, main);
    Check(tooltip != nullptr, "the window has a tooltip control");
    if (tooltip != nullptr) {
        CheckEqual<LRESULT>(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 10, "tooltips on the ten field labels");
    }

    // In front and fully painted before the picture is taken.
    SetForegroundWindow(main);
    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    WaitForInputIdle(started.hProcess, 5000);
    Capture capture = CaptureWindow(main);
    // A prefix whose fonts have just changed may paint the labels a moment late.
    for (int tries = 0; tries < 30 && BluePixelsOfLabel(main, capture, 1) <= 20; ++tries) {
        Sleep(100);
        capture = CaptureWindow(main);
    }
    CheckColours(main, capture);
    Check(SaveBmp(capture, screenshot), "screenshot saved");

    // Closing the window ends the program after it has saved its settings.
    PostMessageW(main, WM_CLOSE, 0, 0);
    const bool ended = WaitForSingleObject(started.hProcess, 30000) == WAIT_OBJECT_0;
    Check(ended, "closing the window ends the program");
    DWORD exitCode = 1;
    GetExitCodeProcess(started.hProcess, &exitCode);
    CheckEqual<DWORD>(exitCode, 0, "exit code");
    if (!ended) TerminateProcess(started.hProcess, 1);
    CloseHandle(started.hProcess);
    const std::wstring ini = folder + L"\\Quillmark.ini";
    wchar_t value[64] = {};
    GetPrivateProfileStringW(L"VerInfo", L"Info0", L"(missing)", value, 64, ini.c_str());
    Check(std::wstring(value) == L"Comments", "the settings file holds the first-run field value");

    std::printf("%d failed\n", failures);
    return failures == 0 ? 0 : 1;
}
