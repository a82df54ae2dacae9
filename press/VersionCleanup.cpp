#include "press/VersionCleanup.h"

#include "press/CommandLines.h"
#include "press/PressMessages.h"

namespace quillmark {

namespace {

// The version resource the version API reads, and the one the merge wrote.
constexpr std::uint16_t kVersionName = 1;

// Only the press's own version resource may remain.
void RequireAlone(const PressRecord& press, Proof& proof) {
    const std::vector<std::uint16_t> others = proof.LanguagesBut(press.language);
    if (!others.empty()) proof.lines.push_back(LeftoverLanguagesLine(others));
}

}  // namespace

Cleanup RemoveLeftoverVersions(Platform& platform, const PressRecord& press, const LeftoverVersions& left,
                               const EditorPaths& editor, const WaitLimits& limits) {
    Cleanup cleanup;
    const auto failed = [&](DeleteFailed::Step step, const std::wstring& reason, const RunEnd& end = {}) {
        cleanup.outcome = DeleteFailed{step, press.targetPath, press.backupPath, reason, end};
        return cleanup;
    };
    std::wstring sourceForEditor = editor.targetPath;
    std::wstring lastWork;
    for (std::size_t i = 0; i < left.languages.size(); ++i) {
        lastWork = WorkFilePath(press.targetPath, i + 1);
        const std::wstring workForEditor = WorkFilePath(editor.targetPath, i + 1);
        cleanup.workFiles.push_back(lastWork);
        const LaunchResult started =
            platform.Launch(DeleteVersionCommandLine(editor.quotedEditorPath, sourceForEditor, workForEditor,
                                                     kVersionName, left.languages[i]),
                            kShowHidden);
        if (started.id == 0) return failed(DeleteFailed::Step::Start, started.error);
        if (const RunEnd end = AwaitEditorRun(platform, started.id, limits.exitMs, EditorRun::Delete); !end.Exited()) {
            return failed(DeleteFailed::Step::Run, {}, end);
        }
        sourceForEditor = workForEditor;
    }

    // Everything but the leftovers as the merge left it.
    Proof made = ProveFile(platform, press, lastWork, {press.targetPath, left.appended});
    RequireAlone(press, made);
    if (!made.lines.empty()) {
        cleanup.outcome = RestoreOffer{press.targetPath, press.backupPath, std::move(made.lines), std::nullopt, true};
        return cleanup;
    }
    if (const OpResult moved = platform.MoveFileReplacing(lastWork, press.targetPath); !moved.ok) {
        return failed(DeleteFailed::Step::Replace, moved.error);
    }
    // Moved away: nothing to remove any more.
    std::erase(cleanup.workFiles, lastWork);
    Proof now = ProveFile(platform, press, press.targetPath, {press.backupPath, press.before.appended});
    RequireAlone(press, now);
    if (!now.lines.empty()) {
        cleanup.outcome = RestoreOffer{press.targetPath, press.backupPath, std::move(now.lines), std::nullopt, false};
    }
    return cleanup;
}

std::optional<PressNotice> RemoveWorkFile(Platform& platform, const std::wstring& path) {
    if (platform.FindFirstNormalFile(path).empty()) return std::nullopt;  // the run wrote none
    if (const OpResult removed = platform.RemoveFile(path); !removed.ok) return WorkFileLeft{path, removed.error};
    return std::nullopt;
}

}  // namespace quillmark
