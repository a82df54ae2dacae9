#include "reshacker/TargetUpdate.h"

#include <array>

#include "reshacker/CommandLines.h"

namespace quillmark {

namespace {

constexpr int kHidden = 0;

struct MergeRun {
    const wchar_t* verb;
    const wchar_t* name;
    const wchar_t* whatDidNotHappenOnStop;
};

constexpr std::array<MergeRun, 2> kMergeRuns{{
    {kAddSkipVerb, L"ResHacker (-addskip)", L"2 回目の処理 (-modify) は行っていません。"},
    {kModifyVerb, L"ResHacker (-modify)", L"実行ファイルの状態を確認してください。"},
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

std::optional<std::wstring> RunTargetUpdate(Platform& platform, const std::wstring& targetPath,
                                            const EditorPaths& paths, const WaitLimits& limits) {
    const std::optional<std::wstring> backupPath = BackupPathFor(targetPath);
    if (!backupPath) {
        ReportStop(platform, *TargetPathProblem(targetPath));
        return std::nullopt;
    }
    if (const OpResult copied = platform.CopyFileReplacing(targetPath, *backupPath); !copied.ok) {
        ReportStop(platform,
                   WithSystemReason(L"バックアップを作成できませんでした。\r\n" + targetPath + L"\r\n→ " + *backupPath,
                                    copied.error) +
                       L"\r\n実行ファイルは変更していません。");
        return std::nullopt;
    }
    const std::wstring whereTheOriginalIs = L"\r\n元のファイルはバックアップにあります。\r\n" + *backupPath;
    for (const MergeRun& run : kMergeRuns) {
        const LaunchResult started = platform.Launch(
            MergeCommandLine(paths.quotedEditorPath, run.verb, *backupPath, targetPath, paths.quotedResourcePath),
            kHidden);
        if (started.id == 0) {
            ReportStop(platform,
                       WithSystemReason(std::wstring(run.name) + L" を起動できませんでした。", started.error) +
                           L"\r\n" + run.whatDidNotHappenOnStop + whereTheOriginalIs);
            return std::nullopt;
        }
        if (!WaitForEditorExit(platform, started.id, limits, run.name,
                               run.whatDidNotHappenOnStop + whereTheOriginalIs)) {
            return std::nullopt;
        }
    }
    return backupPath;
}

}  // namespace quillmark
