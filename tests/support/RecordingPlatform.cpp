#include "tests/support/RecordingPlatform.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cwctype>
#include <functional>
#include <stdexcept>

#include "platform/portable/PathLookup.h"
#include "platform/portable/PrivateProfile.h"
#include "platform/portable/ProfileText.h"
#include "ui/ControlTable.h"

namespace quillmark::testing {

namespace {

bool SameFolder(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i]))) return false;
    }
    return true;
}

std::wstring ProcessName(std::uintptr_t process) { return L"#" + std::to_wstring(process - 100); }

std::wstring Word(Severity severity) {
    return severity == Severity::Warning ? L"Warning" : severity == Severity::Information ? L"Information" : L"None";
}

}  // namespace

std::string Utf8(const std::wstring& text) {
    std::string out;
    for (wchar_t wc : text) {
        const auto c = static_cast<char32_t>(wc);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Decodes UTF-8; a sequence cut short (a value truncated by the buffer) is
// dropped, other bad bytes become U+FFFD.
std::wstring Wide(const std::string& utf8) {
    std::wstring out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        if (length == 0) {
            out += L'\uFFFD';
            ++i;
            continue;
        }
        if (i + static_cast<std::size_t>(length) > utf8.size()) break;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k) c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        out += static_cast<wchar_t>(c);
        i += static_cast<std::size_t>(length);
    }
    return out;
}

std::u16string Utf16(const std::wstring& text) { return portable::Utf16FromUtf8(Utf8(text)); }

RecordingPlatform::RecordingPlatform() {
    for (const ControlSpec& spec : ControlTable()) {
        if (spec.kind != ControlKind::FileDialog) {
            controls_[{spec.name, spec.index}] = ControlState{spec.caption, !spec.startsDisabled};
        }
    }
    std::string folderTemplate = (std::filesystem::temp_directory_path() / "quillmark-test-XXXXXX").string();
    if (mkdtemp(folderTemplate.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    profileFolder_ = folderTemplate;
}

RecordingPlatform::~RecordingPlatform() {
    std::error_code ignored;
    std::filesystem::remove_all(profileFolder_, ignored);
}

bool RecordingPlatform::IsEnabled(const ControlRef& control) const {
    return controls_.at({control.name, control.index}).enabled;
}

void RecordingPlatform::Type(const ControlRef& control, const std::wstring& text) { SetText(control, text); }

std::filesystem::path RecordingPlatform::ProfileFileFor(const std::wstring& path) const {
    std::string name;
    for (char c : Utf8(path)) {
        name += (std::isalnum(static_cast<unsigned char>(c)) || c == '.') ? c : '_';
    }
    return profileFolder_ / name;
}

std::vector<std::wstring> RecordingPlatform::CallsStartingWith(const std::wstring& prefix) const {
    std::vector<std::wstring> matching;
    for (const std::wstring& call : calls) {
        if (call.starts_with(prefix)) matching.push_back(call);
    }
    return matching;
}

std::wstring RecordingPlatform::GetText(const ControlRef& control) {
    return controls_.at({control.name, control.index}).text;
}

void RecordingPlatform::SetText(const ControlRef& control, const std::wstring& text) {
    controls_.at({control.name, control.index}).text = text;
    if (control.name.starts_with(L"txt") && events) {
        events(WindowEvent::Change, control);
    }
}

void RecordingPlatform::SetEnabled(const ControlRef& control, bool enabled) {
    controls_.at({control.name, control.index}).enabled = enabled;
}

void RecordingPlatform::ShowMainWindow() {
    visible = true;
    calls.push_back(L"ShowMainWindow");
}

void RecordingPlatform::SetMenuItemEnabled(const std::wstring& item, bool enabled) { menuItemsEnabled[item] = enabled; }

std::vector<std::wstring> RecordingPlatform::CommandLineArguments() { return programArguments; }

void RecordingPlatform::EndProgram() {
    ended = true;
    calls.push_back(L"EndProgram");
}

void RecordingPlatform::BeginBusy() { calls.push_back(L"BeginBusy"); }

void RecordingPlatform::EndBusy() { calls.push_back(L"EndBusy"); }

std::optional<std::wstring> RecordingPlatform::ShowOpenDialog(const OpenDialogRequest& request) {
    calls.push_back(L"OpenDialog filter=" + request.filter + L" hideReadOnly=" + std::to_wstring(request.hideReadOnly) +
                    L" index=" + std::to_wstring(request.filterIndex));
    if (openDialogAnswers.empty()) return std::nullopt;
    auto answer = openDialogAnswers.front();
    openDialogAnswers.pop_front();
    return answer;
}

// "MessageBox Warning YesNo default=No title=... text=...": the default only
// where it is not the first button.
Answer RecordingPlatform::MessageBox(const std::wstring& text, const std::wstring& title, Severity severity,
                                     Buttons buttons, DefaultAnswer byDefault) {
    calls.push_back(L"MessageBox " + Word(severity) + (buttons == Buttons::YesNo ? L" YesNo" : L" Ok") +
                    (byDefault == DefaultAnswer::No ? L" default=No" : L"") + L" title=" + title + L" text=" + text);
    messages.push_back(text);
    if (messageAnswers.empty()) return Answer::Ok;
    const Answer answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
}

std::wstring RecordingPlatform::FindFirstNormalFile(const std::wstring& pattern) {
    const auto [folder, namePattern] = portable::SplitFolderAndName(pattern);
    if (namePattern.empty()) return {};
    for (const FakeEntry& entry : files) {
        const auto [entryFolder, entryName] = portable::SplitFolderAndName(entry.path);
        if (!entry.directory && !entry.hidden && SameFolder(folder, entryFolder) &&
            portable::WildcardMatch(namePattern, entryName)) {
            return entryName;
        }
    }
    // Files written during the test exist too: settings, and what a run wrote.
    if (pattern.find_first_of(L"*?") == std::wstring::npos &&
        (fileBytes.contains(pattern) || std::filesystem::exists(ProfileFileFor(pattern)))) {
        return namePattern;
    }
    for (const auto& [path, bytes] : fileBytes) {
        const auto [written, writtenName] = portable::SplitFolderAndName(path);
        if (SameFolder(folder, written) && portable::WildcardMatch(namePattern, writtenName)) return writtenName;
    }
    return {};
}

std::wstring RecordingPlatform::ProgramFolder() { return programFolder; }

std::wstring RecordingPlatform::ExeBaseName() { return exeBaseName; }

std::wstring RecordingPlatform::AppTitle() { return L"Quillmark"; }

std::optional<std::int32_t> RecordingPlatform::TextToLong(const std::wstring& text) {
    return portable::TextToLong(text, separators);
}

std::optional<double> RecordingPlatform::TextToDouble(const std::wstring& text) {
    return portable::TextToDouble(text, separators);
}

std::wstring RecordingPlatform::GetProfileString(const std::wstring& section, const std::wstring& key, int bufferSize,
                                                 const std::wstring& file) {
    return Wide(portable::Utf8FromUtf16(portable::GetPrivateProfileStringW(
        Utf16(section), Utf16(key), static_cast<std::size_t>(bufferSize), ProfileFileFor(file))));
}

bool RecordingPlatform::WriteProfileString(const std::wstring& section, const std::wstring& key,
                                           const std::wstring& value, const std::wstring& file) {
    calls.push_back(L"WriteProfile [" + section + L"] " + key + L"=" + value);
    if (profileWritesFail) return false;
    return portable::WritePrivateProfileStringW(Utf16(section), Utf16(key), Utf16(value), ProfileFileFor(file));
}

bool RecordingPlatform::FitsAnsiCodePage(const std::wstring& text) {
    return std::all_of(text.begin(), text.end(), inAnsiCodePage);
}

OpResult RecordingPlatform::ConvertProfileToUnicode(const std::wstring& file) {
    calls.push_back(L"ConvertProfileToUnicode " + file);
    if (profileWritesFail || !portable::ConvertProfileToUtf16(ProfileFileFor(file))) {
        return {false, L"アクセスが拒否されました。"};
    }
    return {true, {}};
}

OpResult RecordingPlatform::ClipboardEmpty() {
    calls.push_back(L"ClipboardEmpty");
    if (clipboardEmptyError) return {false, *clipboardEmptyError};
    clipboardText.clear();
    return {true, {}};
}

OpResult RecordingPlatform::ClipboardSetText(const std::wstring& text) {
    calls.push_back(L"ClipboardSetText");
    if (clipboardSetError) return {false, *clipboardSetError};
    clipboardText = text;
    return {true, {}};
}

LaunchResult RecordingPlatform::Launch(const std::wstring& commandLine, int showState) {
    const int number = ++launches_;
    calls.push_back(L"Launch show=" + std::to_wstring(showState) + L" " + commandLine);
    if (failingLaunches.contains(number)) return {0, L"指定されたファイルが見つかりません。"};
    const auto id = static_cast<std::uintptr_t>(100 + number);
    openProcesses_.insert(id);
    commandLines_[id] = commandLine;
    return {id, {}};
}

WaitOutcome RecordingPlatform::WaitUntilReady(std::uintptr_t process, int /*timeoutMs*/) {
    calls.push_back(L"WaitUntilReady " + ProcessName(process));
    if (duringWait) duringWait();
    const auto scripted = readyOutcomes.find(static_cast<int>(process - 100));
    return scripted == readyOutcomes.end() ? WaitOutcome::Done : scripted->second;
}

WaitOutcome RecordingPlatform::WaitForExit(std::uintptr_t process, int /*timeoutMs*/) {
    calls.push_back(L"WaitForExit " + ProcessName(process));
    if (duringWait) duringWait();
    const auto scripted = exitOutcomes.find(static_cast<int>(process - 100));
    const WaitOutcome outcome = scripted == exitOutcomes.end() ? WaitOutcome::Done : scripted->second;
    if (outcome == WaitOutcome::Done && onLaunchExit)
        onLaunchExit(static_cast<int>(process - 100), commandLines_[process]);
    return outcome;
}

std::optional<std::uint32_t> RecordingPlatform::ExitCode(std::uintptr_t process) {
    const auto scripted = exitCodes.find(static_cast<int>(process - 100));
    return scripted == exitCodes.end() ? 0u : scripted->second;
}

void RecordingPlatform::ReleaseProcess(std::uintptr_t process) {
    if (openProcesses_.erase(process) == 0) {
        throw std::logic_error("a process was released twice or never started");
    }
}

bool RecordingPlatform::EndStartedProcess(std::uintptr_t process) {
    calls.push_back(L"EndProcess " + ProcessName(process));
    return !unendableLaunches.contains(static_cast<int>(process - 100));
}

void RecordingPlatform::BlockSessionEnd(const std::wstring& reason) { sessionEndBlockReason = reason; }

void RecordingPlatform::AllowSessionEnd() { sessionEndBlockReason.reset(); }

std::optional<std::wstring> RecordingPlatform::ShortPathName(const std::wstring& path) {
    if (const auto found = shortPaths.find(path); found != shortPaths.end()) return found->second;
    return std::nullopt;
}

// Relative paths against the current folder, short forms back to the long
// ones the script names; what they name from the fake folder and the files.
WholePath RecordingPlatform::MakeWholePath(const std::wstring& path) {
    WholePath whole{path.size() > 1 && (path[1] == L':' || path[0] == L'\\') ? path : currentFolder + L"\\" + path,
                    PathKind::Missing};
    for (const auto& [longPath, shortPath] : shortPaths) {
        if (SameFolder(shortPath, whole.path)) whole.path = longPath;
    }
    std::wstring_view bare = whole.path;
    if (bare.size() > 3 && bare.back() == L'\\') bare.remove_suffix(1);
    for (const FakeEntry& entry : files) {
        if (SameFolder(entry.path, bare)) whole.kind = entry.directory ? PathKind::Folder : PathKind::File;
    }
    if (fileBytes.contains(whole.path)) whole.kind = PathKind::File;
    return whole;
}

std::optional<LocalTime> RecordingPlatform::LastWriteTime(const std::wstring& path) {
    if (const auto found = writeTimes.find(path); found != writeTimes.end()) return found->second;
    return std::nullopt;
}

ReplaceOutcome RecordingPlatform::ReplaceFileKeepingIdentity(const std::wstring& source,
                                                             const std::wstring& destination) {
    calls.push_back(L"Replace " + destination + L" <- " + source);
    if (replaceFailure) {
        if (replaceFailure->kind == ReplaceOutcome::Kind::ReplacedGone) fileBytes.erase(destination);
        return *replaceFailure;
    }
    const auto found = fileBytes.find(source);
    if (found == fileBytes.end()) return {ReplaceOutcome::Kind::Unchanged, L"指定されたファイルが見つかりません。"};
    fileBytes[destination] = std::move(found->second);
    fileBytes.erase(source);
    if (const auto back = versionReadBacks.find(source); back != versionReadBacks.end()) {
        versionReadBacks[destination] = back->second;
        versionReadBacks.erase(back);
    }
    return {};
}

OpResult RecordingPlatform::RemoveFile(const std::wstring& path) {
    calls.push_back(L"Remove " + path);
    if (fileBytes.erase(path) == 0) return {false, L"指定されたファイルが見つかりません。"};
    return {true, {}};
}

OpResult RecordingPlatform::WriteWholeFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
    calls.push_back(L"Write " + path);
    if (const auto error = writeErrors.find(path); error != writeErrors.end()) return {false, error->second};
    fileBytes[path] = bytes;
    return {true, {}};
}

// Not recorded: looking changes nothing. The contents stand in for the time
// of the last write.
std::optional<FileStamp> RecordingPlatform::StampOf(const std::wstring& path) {
    const auto found = fileBytes.find(path);
    if (found == fileBytes.end()) return std::nullopt;
    const std::string bytes(found->second.begin(), found->second.end());
    return FileStamp{std::hash<std::string>{}(bytes), found->second.size()};
}

// The test's files hold the ANSI text as UTF-8.
std::wstring RecordingPlatform::FromAnsiCodePage(const std::vector<std::uint8_t>& bytes) {
    return Wide(std::string(bytes.begin(), bytes.end()));
}

std::wstring RecordingPlatform::LocalAppDataFolder() { return localAppData; }

void RecordingPlatform::KeybdEvent(std::uint8_t virtualKey, KeyDirection direction) {
    calls.push_back(L"Key " + std::to_wstring(virtualKey) + (direction == KeyDirection::Up ? L" Up" : L" Down"));
}

OpResult RecordingPlatform::CopyFileReplacing(const std::wstring& source, const std::wstring& destination) {
    calls.push_back(L"Copy " + source + L" -> " + destination);
    if (copyError) return {false, *copyError};
    if (const auto found = fileBytes.find(source); found != fileBytes.end()) fileBytes[destination] = found->second;
    return {true, {}};
}

FileRead RecordingPlatform::ReadFileRange(const std::wstring& path, std::uint64_t offset, std::size_t maxLength,
                                          std::vector<std::uint8_t> /*storage*/) {
    calls.push_back(L"Read " + path + L" " + std::to_wstring(offset) + L"+" + std::to_wstring(maxLength));
    if (auto locked = lockedReads.find(path); locked != lockedReads.end() && locked->second > 0) {
        --locked->second;
        return {{false, L"プロセスはファイルにアクセスできません。別のプロセスが使用中です。"}, 0, {}};
    }
    const auto found = fileBytes.find(path);
    if (found == fileBytes.end()) return {{false, L"指定されたファイルが見つかりません。"}, 0, {}};
    const std::vector<std::uint8_t>& bytes = found->second;
    const std::size_t from = static_cast<std::size_t>(std::min<std::uint64_t>(offset, bytes.size()));
    const std::size_t length = std::min(maxLength, bytes.size() - from);
    return {{true, {}},
            bytes.size(),
            {bytes.begin() + static_cast<std::ptrdiff_t>(from),
             bytes.begin() + static_cast<std::ptrdiff_t>(from + length)}};
}

OpResult RecordingPlatform::ProbeWrite(const std::wstring& path) {
    calls.push_back(L"ProbeWrite " + path);
    if (const auto error = writeProbeErrors.find(path); error != writeProbeErrors.end()) return {false, error->second};
    return {true, {}};
}

VersionReadBack RecordingPlatform::ReadVersionBack(const std::wstring& path, const VersionQuery& /*query*/) {
    calls.push_back(L"ReadVersionBack " + path);
    if (const auto found = versionReadBacks.find(path); found != versionReadBacks.end()) return found->second;
    return {{false, L"指定されたファイルが見つかりません。"}, {}, {}};
}

VersionBlockRead RecordingPlatform::ReadShownVersionBlock(const std::wstring& path) {
    calls.push_back(L"ReadShownVersionBlock " + path);
    if (const auto found = shownVersionBlocks.find(path); found != shownVersionBlocks.end()) return found->second;
    return {{true, {}}, {}};
}

void RecordingPlatform::ShowPropertiesSheet(const std::wstring& path) { calls.push_back(L"PropertiesSheet " + path); }

std::size_t RecordingPlatform::OpenProcessCount() const { return openProcesses_.size(); }

}  // namespace quillmark::testing
