#include "press/TargetUpdate.h"

#include <array>

#include "press/CommandLines.h"

namespace quillmark {

namespace {

constexpr int kHidden = 0;

struct MergeRun {
    const wchar_t* verb;
    const wchar_t* name;
    const wchar_t* whatDidNotHappenOnStop;
    const wchar_t* whatDidNotHappenWhenEnded;  // the read-back follows
};

constexpr std::array<MergeRun, 2> kMergeRuns{{
    {kAddSkipVerb, L"ResHacker (-addskip)", L"2 回目の処理 (-modify) は行っていません。",
     L"\r\n2 回目の処理 (-modify) は行っていません。"},
    {kModifyVerb, L"ResHacker (-modify)", L"実行ファイルの状態を確認してください。", L""},
}};

}  // namespace

std::optional<std::wstring> TargetPathProblem(const std::wstring& targetPath) {
    if (targetPath.find(L',') != std::wstring::npos) {
        return L"実行ファイルのパスに「,」が含まれているため、ResHacker に渡せません。\r\n" + targetPath +
               L"\r\n「,」を含まないフォルダー名とファイル名にしてから実行してください。";
    }
    if (!BackupPathFor(targetPath)) {
        return L"実行ファイルのパスが短すぎるため、バックアップのファイル名を作れません。\r\n" + targetPath;
    }
    return std::nullopt;
}

UpdateOutcome RunTargetUpdate(Platform& platform, const PressPaths& paths, const WaitLimits& limits) {
    const UpdateOutcome stopped{UpdateOutcome::Kind::Stopped, {}};
    if (const OpResult copied = platform.CopyFileReplacing(paths.target, paths.backup); !copied.ok) {
        ReportStop(platform, WithSystemReason(
                                 L"バックアップを作成できませんでした。\r\n" + paths.target + L"\r\n→ " + paths.backup,
                                 copied.error) +
                                 L"\r\n実行ファイルは変更していません。");
        return stopped;
    }
    const std::wstring whereTheOriginalIs = L"\r\n元のファイルはバックアップにあります。\r\n" + paths.backup;
    const EditorPaths& editor = paths.forEditor;
    for (const MergeRun& run : kMergeRuns) {
        const LaunchResult started =
            platform.Launch(MergeCommandLine(editor.quotedEditorPath, run.verb, editor.backupPath, editor.targetPath,
                                             editor.quotedResourcePath),
                            kHidden);
        if (started.id == 0) {
            ReportStop(platform,
                       WithSystemReason(std::wstring(run.name) + L" を起動できませんでした。", started.error) +
                           L"\r\n" + run.whatDidNotHappenOnStop + whereTheOriginalIs);
            return stopped;
        }
        const RunEnd end = AwaitEditorRun(platform, started.id, limits.exitMs, run.name);
        if (end.kind == RunEnd::Kind::StillRunning) {
            // It may still write the target: reading it back now proves nothing.
            ReportRunEnd(platform, end, run.whatDidNotHappenOnStop + whereTheOriginalIs);
            return stopped;
        }
        if (end.kind == RunEnd::Kind::EndedByUs) {
            return {UpdateOutcome::Kind::RunEnded, end.what + run.whatDidNotHappenWhenEnded};
        }
    }
    return {};
}

}  // namespace quillmark
