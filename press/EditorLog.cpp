#include "press/EditorLog.h"

#include "press/FileChecks.h"
#include "verify/EditorLog.h"

namespace quillmark {

namespace {

constexpr const wchar_t* kEditorLogName = L"ResHacker.log";
constexpr const wchar_t* kVirtualStore = L"\\VirtualStore\\";
// A log of one run is a few lines; a larger one is not the editor's.
constexpr std::uint64_t kLargestLog = 64 * 1024;

bool IsDrivePath(const std::wstring& path) {
    return path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
}

}  // namespace

bool RunLog::ReportsError() const {
    for (const std::wstring& line : results) {
        if (verify::IsErrorLine(line)) return true;
    }
    return false;
}

std::vector<std::wstring> EditorLogPaths(const std::wstring& editorPath, const std::wstring& localAppData) {
    const std::wstring folder = editorPath.substr(0, editorPath.find_last_of(L"\\/") + 1);
    std::vector<std::wstring> paths{folder + kEditorLogName};
    if (!localAppData.empty() && IsDrivePath(folder)) {
        paths.push_back(localAppData + kVirtualStore + folder.substr(3) + kEditorLogName);
    }
    return paths;
}

LogWatch WatchEditorLog(Platform& platform, const std::vector<std::wstring>& paths) {
    LogWatch watch;
    for (const std::wstring& path : paths) watch.before.emplace_back(path, platform.StampOf(path));
    return watch;
}

RunLog ReadRunLog(Platform& platform, const LogWatch& watch, EditorRun run, const std::wstring& commandLine) {
    RunLog log{run, RunLog::State::Missing, {}};
    for (const auto& [path, before] : watch.before) {
        const std::optional<FileStamp> now = platform.StampOf(path);
        if (!now) continue;
        if (now == before) {
            if (log.state == RunLog::State::Missing) log.state = RunLog::State::NotRewritten;
            continue;
        }
        const auto read = ReadWholeFile(platform, path, kLargestLog);
        if (std::holds_alternative<ReadFailure>(read)) {
            log.state = RunLog::State::Unreadable;
            continue;
        }
        verify::EditorLogText text =
            verify::ParseEditorLog(platform.FromAnsiCodePage(std::get<std::vector<std::uint8_t>>(read)));
        if (!verify::LoggedCommandIs(text.commandLine, commandLine)) {
            log.state = RunLog::State::OtherCommand;
            continue;
        }
        return {run, RunLog::State::Read, std::move(text.results)};
    }
    return log;
}

EditorLogs::EditorLogs(Platform& platform, const std::wstring& editorPath)
    : platform_(platform), paths_(EditorLogPaths(editorPath, platform.LocalAppDataFolder())) {}

void EditorLogs::BeforeRun() { watch_ = WatchEditorLog(platform_, paths_); }

const RunLog& EditorLogs::AfterRun(EditorRun run, const std::wstring& commandLine) {
    runs_.push_back(ReadRunLog(platform_, watch_, run, commandLine));
    return runs_.back();
}

}  // namespace quillmark
