#include "EditorWindow.h"

#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <vector>

#include "FileIo.h"
#include "ResFile.h"
#include "VersionScript.h"

namespace standin {

namespace {

constexpr WORD kRtVersion = 16;
constexpr int kIdTree = 100;
constexpr int kIdScript = 101;
constexpr int kIdCompile = 102;
constexpr int kCmdSave = 200;
constexpr int kCmdExit = 201;
constexpr int kCmdSelectAll = 202;
constexpr int kTreeWidth = 240;
constexpr int kButtonHeight = 28;
constexpr int kButtonWidth = 140;

const wchar_t* TypeName(WORD type) {
    switch (type) {
        case 1:
            return L"Cursor";
        case 2:
            return L"Bitmap";
        case 3:
            return L"Icon";
        case 4:
            return L"Menu";
        case 5:
            return L"Dialog";
        case 6:
            return L"String Table";
        case 9:
            return L"Accelerators";
        case 10:
            return L"RCData";
        case 11:
            return L"Message Table";
        case 12:
            return L"Cursor Group";
        case 14:
            return L"Icon Group";
        case kRtVersion:
            return L"Version Info";
        case 24:
            return L"Manifest";
        default:
            return nullptr;
    }
}

std::wstring TypeLabel(const ResId& type) {
    if (!type.isOrdinal) return type.name;
    const wchar_t* known = TypeName(type.ordinal);
    return known != nullptr ? known : std::to_wstring(type.ordinal);
}

std::wstring Describe(const ResEntry& e) {
    return TypeLabel(e.type) + L"/" + e.name.Text() + L"/" + std::to_wstring(e.language);
}

class Editor {
public:
    Editor(std::wstring path, std::vector<ResEntry> entries, const Faults& faults, const Log& log)
        : path_(std::move(path)), entries_(std::move(entries)), faults_(faults), log_(log) {}

    int Run(int showCommand);

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Handle(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    void CreateControls(HWND hwnd);
    void FillTree();
    void Layout(int width, int height);
    void OnSelectionChanged(const NMTREEVIEWW& change);
    void Compile();
    void Save();
    void StepRight();
    void PasteAnsi();

    std::wstring path_;
    std::vector<ResEntry> entries_;
    const Faults& faults_;
    const Log& log_;
    HWND window_ = nullptr;
    HWND tree_ = nullptr;
    HWND script_ = nullptr;
    HWND compile_ = nullptr;
    HWND lastFocus_ = nullptr;
    HTREEITEM root_ = nullptr;
    int selectedEntry_ = -1;  // the resource whose script the edit box shows
    HTREEITEM selectedNameItem_ = nullptr;
};

// Tree items carry the entry index for language items and -1 otherwise.
HTREEITEM AddItem(HWND tree, HTREEITEM parent, const std::wstring& text, LPARAM entry) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    insert.item.lParam = entry;
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void Editor::FillTree() {
    SendMessageW(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    root_ = nullptr;
    // Type, then name, then language, in the order of the file.
    std::vector<bool> placed(entries_.size(), false);
    for (std::size_t t = 0; t < entries_.size(); ++t) {
        if (placed[t]) continue;
        HTREEITEM typeItem = AddItem(tree_, TVI_ROOT, TypeLabel(entries_[t].type), -1);
        if (root_ == nullptr) root_ = typeItem;
        for (std::size_t n = t; n < entries_.size(); ++n) {
            if (placed[n] || !entries_[n].type.SameAs(entries_[t].type)) continue;
            HTREEITEM nameItem = AddItem(tree_, typeItem, entries_[n].name.Text(), -1);
            for (std::size_t l = n; l < entries_.size(); ++l) {
                if (placed[l] || !entries_[l].type.SameAs(entries_[t].type) ||
                    !entries_[l].name.SameAs(entries_[n].name)) {
                    continue;
                }
                AddItem(tree_, nameItem, std::to_wstring(entries_[l].language), static_cast<LPARAM>(l));
                placed[l] = true;
            }
        }
    }
}

void Editor::CreateControls(HWND hwnd) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
    tree_ = CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS, 0, 0,
        10, 10, hwnd, reinterpret_cast<HMENU>(kIdTree), instance, nullptr);
    script_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                  ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN | ES_NOHIDESEL,
                              0, 0, 10, 10, hwnd, reinterpret_cast<HMENU>(kIdScript), instance, nullptr);
    compile_ = CreateWindowExW(0, L"BUTTON", L"&Compile Script", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0,
                               0, 10, 10, hwnd, reinterpret_cast<HMENU>(kIdCompile), instance, nullptr);
    for (HWND control : {tree_, script_, compile_}) SendMessageW(control, WM_SETFONT, font, FALSE);
    SendMessageW(script_, EM_SETLIMITTEXT, 0x100000, 0);
    FillTree();
}

void Editor::StepRight() {
    const auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_CARET, 0));
    const auto child =
        reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
    if (item == nullptr || child == nullptr) return;
    const auto state = SendMessageW(tree_, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED);
    if ((state & TVIS_EXPANDED) == 0) {
        SendMessageW(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
    } else {
        SendMessageW(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(child));
    }
}

// An editor built for the ANSI code page pastes CF_TEXT, which the system
// makes from the Unicode text: what the code page lacks arrives changed.
void Editor::PasteAnsi() {
    std::wstring text;
    if (OpenClipboard(window_)) {
        HANDLE data = GetClipboardData(CF_TEXT);
        const char* narrow = data != nullptr ? static_cast<const char*>(GlobalLock(data)) : nullptr;
        const int length = narrow != nullptr ? MultiByteToWideChar(CP_ACP, 0, narrow, -1, nullptr, 0) : 0;
        if (length > 0) {
            text.resize(static_cast<std::size_t>(length));
            MultiByteToWideChar(CP_ACP, 0, narrow, -1, text.data(), length);
            text.resize(static_cast<std::size_t>(length - 1));
        }
        if (narrow != nullptr) GlobalUnlock(data);
        CloseClipboard();
    }
    SendMessageW(script_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    log_.Line(L"paste", L"CF_TEXT in code page " + std::to_wstring(GetACP()) + L": " + Log::Escape(text));
}

void Editor::Layout(int width, int height) {
    const int right = width - kTreeWidth - 4;
    MoveWindow(tree_, 0, 0, kTreeWidth, height, TRUE);
    MoveWindow(script_, kTreeWidth + 4, 0, right > 0 ? right : 1, height - kButtonHeight - 8, TRUE);
    MoveWindow(compile_, width - kButtonWidth - 4, height - kButtonHeight - 4, kButtonWidth, kButtonHeight, TRUE);
}

void Editor::OnSelectionChanged(const NMTREEVIEWW& change) {
    const LPARAM entry = change.itemNew.lParam;
    if (change.itemNew.hItem == nullptr || entry < 0 || static_cast<std::size_t>(entry) >= entries_.size()) {
        wchar_t text[256] = {};
        TVITEMW item{};
        item.mask = TVIF_TEXT;
        item.hItem = change.itemNew.hItem;
        item.pszText = text;
        item.cchTextMax = 255;
        SendMessageW(tree_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        log_.Line(L"select", std::wstring(L"group ") + text);
        selectedEntry_ = -1;
        SetWindowTextW(script_, L"");
        return;
    }
    selectedEntry_ = static_cast<int>(entry);
    selectedNameItem_ = reinterpret_cast<HTREEITEM>(
        SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(change.itemNew.hItem)));
    const ResEntry& e = entries_[static_cast<std::size_t>(entry)];
    std::wstring text;
    if (e.type.isOrdinal && e.type.ordinal == kRtVersion) {
        text = DecompileVersionInfo(e.name, e.data).value_or(L"// the version resource cannot be read\r\n");
    } else {
        text = L"// " + std::to_wstring(e.data.size()) + L" bytes of binary data\r\n";
    }
    SetWindowTextW(script_, text.c_str());
    log_.Line(L"select", L"resource " + Describe(e));
}

void Editor::Compile() {
    const int length = GetWindowTextLengthW(script_);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(script_, text.data(), length + 1)));
    log_.Line(L"script", Log::Escape(text));
    if (selectedEntry_ < 0) {
        log_.Line(L"compile-error", L"no resource is selected");
        return;
    }
    if (faults_.compileEmpties) {
        // As the real editor under Wine: no error, but nothing left to save.
        entries_.clear();
        selectedEntry_ = -1;
        selectedNameItem_ = nullptr;
        FillTree();
        SetWindowTextW(script_, L"");
        log_.Line(L"compile-emptied", L"fault compile-empties: the tree and the script are empty");
        return;
    }
    ResEntry& e = entries_[static_cast<std::size_t>(selectedEntry_)];
    if (!e.type.isOrdinal || e.type.ordinal != kRtVersion) {
        log_.Line(L"compile-error", L"only version resources compile here: " + Describe(e));
        return;
    }
    const CompileResult result = CompileVersionScript(text);
    if (!result.version) {
        // No message box: it would swallow the keys that are still coming.
        log_.Line(L"compile-error", L"line " + std::to_wstring(result.errorLine) + L": " + result.error);
        return;
    }
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (static_cast<int>(i) != selectedEntry_ && entries_[i].type.SameAs(e.type) &&
            entries_[i].name.SameAs(result.version->name) && entries_[i].language == e.language) {
            log_.Line(L"compile-error", L"another resource is already named " + result.version->name.Text());
            return;
        }
    }
    const bool renamed = e.name.Text() != result.version->name.Text();
    e.name = result.version->name;
    e.data = result.version->data;
    if (renamed && selectedNameItem_ != nullptr) {
        std::wstring label = e.name.Text();
        TVITEMW item{};
        item.mask = TVIF_TEXT;
        item.hItem = selectedNameItem_;
        item.pszText = label.data();
        SendMessageW(tree_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    log_.Line(L"compile-ok", Describe(e) + L" " + std::to_wstring(e.data.size()) + L" bytes");
}

void Editor::Save() {
    if (faults_.noSave) {
        log_.Line(L"save-skipped", path_ + L" left as it was (fault no-save)");
        return;
    }
    if (WriteFileBytes(path_, SerializeResFile(entries_))) {
        log_.Line(L"save-ok", path_ + L" (" + std::to_wstring(entries_.size()) + L" resources)");
    } else {
        log_.Line(L"save-error", path_ + L": " + LastErrorText());
    }
}

LRESULT CALLBACK Editor::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<Editor*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->window_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Editor*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return self != nullptr ? self->Handle(hwnd, msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT Editor::Handle(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            CreateControls(hwnd);
            return 0;
        case WM_SIZE:
            Layout(LOWORD(lp), HIWORD(lp));
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wp) == WA_INACTIVE) lastFocus_ = GetFocus();
            break;
        case WM_SETFOCUS:
            SetFocus(lastFocus_ != nullptr && IsChild(hwnd, lastFocus_) ? lastFocus_ : tree_);
            return 0;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lp);
            if (header->hwndFrom == tree_ && header->code == TVN_SELCHANGEDW) {
                OnSelectionChanged(*reinterpret_cast<const NMTREEVIEWW*>(lp));
            }
            return 0;
        }
        case WM_COMMAND:
            switch (LOWORD(wp)) {
                case kIdCompile:
                    if (HIWORD(wp) == BN_CLICKED) Compile();
                    return 0;
                case kCmdSelectAll:
                    SendMessageW(script_, EM_SETSEL, 0, -1);
                    log_.Line(L"selectall", std::to_wstring(GetWindowTextLengthW(script_)) + L" characters");
                    return 0;
                case kCmdSave:
                    Save();
                    return 0;
                case kCmdExit:
                    PostMessageW(hwnd, WM_CLOSE, 0, 0);
                    return 0;
                default:
                    break;
            }
            break;
        case WM_CLOSE:
            log_.Line(L"close", L"window closed");
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

HMENU BuildMenu() {
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, kCmdSave, L"&Save\tCtrl+S");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, kCmdExit, L"E&xit\tAlt+F4");
    HMENU edit = CreatePopupMenu();
    AppendMenuW(edit, MF_STRING, kCmdSelectAll, L"Select &All");
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), L"&Edit");
    return bar;
}

int Editor::Run(int showCommand) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"StandinResHacker";
    if (RegisterClassExW(&wc) == 0) {
        log_.Line(L"error", L"RegisterClassEx failed: " + LastErrorText());
        return 2;
    }
    const std::wstring title = L"Resource Hacker stand-in - " + path_;
    HWND hwnd = CreateWindowExW(WS_EX_CONTROLPARENT, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW,
                                CW_USEDEFAULT, CW_USEDEFAULT, 800, 560, nullptr, BuildMenu(), instance, this);
    if (hwnd == nullptr) {
        log_.Line(L"error", L"CreateWindowEx failed: " + LastErrorText());
        return 2;
    }
    ACCEL keys[] = {{FCONTROL | FVIRTKEY, 'S', kCmdSave}};
    HACCEL accelerators = CreateAcceleratorTableW(keys, 1);

    ShowWindow(hwnd, showCommand);
    UpdateWindow(hwnd);
    SetForegroundWindow(hwnd);
    // The tree starts with the keyboard focus on its collapsed first item.
    SendMessageW(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(root_));
    SetFocus(tree_);
    log_.Line(L"ready", L"window shown, focus on the tree");
    log_.Mark(L"ready");

    MSG msg{};
    bool keySeen = false;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        // How long the caller took to start typing once the window was up.
        if (!keySeen && (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN)) {
            keySeen = true;
            log_.Mark(L"first-key");
        }
        // Wine's tree view now and then ignores every Right press of a run
        // on a busy machine; the stand-in walks its tree itself, as the
        // control does: expand a closed item, else go to its first child.
        if (msg.message == WM_KEYDOWN && msg.hwnd == tree_ && msg.wParam == VK_RIGHT) {
            StepRight();
            continue;
        }
        if (faults_.ansi && msg.message == WM_KEYDOWN && msg.hwnd == script_ && msg.wParam == 'V' &&
            GetKeyState(VK_CONTROL) < 0) {
            PasteAnsi();
            continue;
        }
        if (TranslateAcceleratorW(hwnd, accelerators, &msg)) continue;
        if (IsDialogMessageW(hwnd, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    DestroyAcceleratorTable(accelerators);
    return 0;
}

}  // namespace

int RunEditor(const std::wstring& resPath, int showCommand, const Faults& faults, const Log& log) {
    const auto bytes = ReadFileBytes(resPath);
    if (!bytes) {
        log.Line(L"open-error", resPath + L": " + LastErrorText());
        return 2;
    }
    std::wstring error;
    auto entries = ParseResFile(*bytes, error);
    if (!entries) {
        log.Line(L"open-error", resPath + L": " + error);
        return 2;
    }
    log.Line(L"open", resPath + L" (" + std::to_wstring(entries->size()) + L" resources)");
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    Editor editor(resPath, std::move(*entries), faults, log);
    return editor.Run(showCommand);
}

}  // namespace standin
