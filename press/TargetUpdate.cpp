#include "press/TargetUpdate.h"

#include <array>

#include "press/CommandLines.h"

namespace quillmark {

namespace {

struct MergeRun {
    const wchar_t* verb;
    EditorRun run;
};

constexpr std::array<MergeRun, 2> kMergeRuns{{
    {kAddSkipVerb, EditorRun::AddSkip},
    {kModifyVerb, EditorRun::Modify},
}};

}  // namespace

std::variant<UpdateOutcome, PressStop> RunTargetUpdate(Platform& platform, const PressPaths& paths,
                                                       const WaitLimits& limits, EditorLogs& logs) {
    if (const OpResult copied = platform.CopyFileReplacing(paths.target, paths.backup); !copied.ok) {
        return BackupNotMade{paths.target, paths.backup, copied.error};
    }
    const EditorPaths& editor = paths.forEditor;
    for (const MergeRun& merge : kMergeRuns) {
        const std::wstring commandLine = MergeCommandLine(editor.quotedEditorPath, merge.verb, editor.backupPath,
                                                          editor.targetPath, editor.quotedResourcePath);
        logs.BeforeRun();
        const LaunchResult started = platform.Launch(commandLine, kShowHidden);
        if (started.id == 0) return MergeNotStarted{merge.run, paths.backup, started.error};
        const RunEnd end = AwaitEditorRun(platform, started.id, limits.exitMs, merge.run);
        logs.AfterRun(merge.run, commandLine);
        // It may still write the target: reading it back now proves nothing.
        if (end.kind == RunEnd::Kind::StillRunning) return MergeStillRunning{end, paths.backup};
        if (end.kind == RunEnd::Kind::EndedByUs) return UpdateOutcome{end};
    }
    return UpdateOutcome{};
}

}  // namespace quillmark
