#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Platform.h"
#include "press/EditorRuns.h"

namespace quillmark {

// Where the editor's log of a command-line run may be: beside the editor,
// and where Windows puts what a 32-bit program without a manifest writes
// to a folder it may not write (%LOCALAPPDATA%\VirtualStore\...).
std::vector<std::wstring> EditorLogPaths(const std::wstring& editorPath, const std::wstring& localAppData);

// The logs as they were just before a run.
struct LogWatch {
    std::vector<std::pair<std::wstring, std::optional<FileStamp>>> before;
};

LogWatch WatchEditorLog(Platform& platform, const std::vector<std::wstring>& paths);

// What the run that `commandLine` started logged: the log that changed
// since `watch` and names that command line, read in the ANSI code page.
RunLog ReadRunLog(Platform& platform, const LogWatch& watch, EditorRun run, const std::wstring& commandLine);

// The hidden runs of one press, each with what it logged.
class EditorLogs {
public:
    EditorLogs(Platform& platform, const std::wstring& editorPath);
    // Notes the logs before a run...
    void BeforeRun();
    // ...and reads what the run logged, once it has ended.
    const RunLog& AfterRun(EditorRun run, const std::wstring& commandLine);
    const std::vector<RunLog>& Runs() const { return runs_; }

private:
    Platform& platform_;
    std::vector<std::wstring> paths_;
    LogWatch watch_;
    std::vector<RunLog> runs_;
};

}  // namespace quillmark
