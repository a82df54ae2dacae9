#include "app/FileDrop.h"

#include <algorithm>
#include <string_view>

namespace quillmark {

namespace {

constexpr const wchar_t* kEditorBox = L"txtResHack";
constexpr const wchar_t* kTargetBox = L"txtExe";
constexpr std::wstring_view kEditorFileName = L"ResHacker.exe";

wchar_t AsciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

// File names compare as Windows compares them: letter case aside.
bool IsEditorFile(const std::wstring& path) {
    const std::size_t separator = path.find_last_of(L"\\/");
    const std::wstring_view name =
        separator == std::wstring::npos ? std::wstring_view(path) : std::wstring_view(path).substr(separator + 1);
    return std::equal(name.begin(), name.end(), kEditorFileName.begin(), kEditorFileName.end(),
                      [](wchar_t a, wchar_t b) { return AsciiLower(a) == AsciiLower(b); });
}

// The system's splitting reads the backslash before a closing quote as an
// escaped quote: "D:\" arrives as D:". The user meant the backslash.
std::wstring UnescapedArgument(const std::wstring& argument) {
    if (argument.empty() || argument.back() != L'"') return argument;
    return argument.substr(0, argument.size() - 1) + L"\\";
}

}  // namespace

std::optional<DroppedPath> FileDropTarget(const std::vector<std::wstring>& files, const ControlRef& underDrop,
                                          const std::function<bool(const std::wstring& path)>& isNormalFile) {
    const auto file = std::find_if(files.begin(), files.end(), isNormalFile);
    if (file == files.end()) return std::nullopt;
    DroppedPath dropped;
    dropped.box.name = underDrop.name == kEditorBox || underDrop.name == kTargetBox ? underDrop.name
                       : IsEditorFile(*file)                                        ? std::wstring(kEditorBox)
                                                                                    : std::wstring(kTargetBox);
    dropped.path = *file;
    return dropped;
}

CommandLineFiles CommandLineTargets(const std::vector<std::wstring>& arguments,
                                    const std::function<WholePath(const std::wstring& argument)>& makeWhole) {
    CommandLineFiles given;
    for (const std::wstring& argument : arguments) {
        if (argument.empty()) continue;
        const WholePath whole = makeWhole(UnescapedArgument(argument));
        if (whole.kind != PathKind::File) {
            given.unused.push_back({whole.path, whole.kind});
            continue;
        }
        std::optional<std::wstring>& box = IsEditorFile(whole.path) ? given.editor : given.target;
        if (!box) box = whole.path;
    }
    return given;
}

}  // namespace quillmark
