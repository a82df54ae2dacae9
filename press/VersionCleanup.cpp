#include "press/VersionCleanup.h"

#include "platform/FileFound.h"
#include "press/CommandLines.h"
#include "press/FileChecks.h"

namespace quillmark {

namespace {

// The version resource the version API reads, and the one the merge wrote.
constexpr std::uint16_t kVersionName = 1;

// Each removal is followed by a new search; more earlier work files than
// this is no leftover of ended presses.
constexpr int kMostEarlierWorkFiles = 1000;

// A press ended midway may have left work files of any number: judging one
// of them instead of what the editor writes now would be wrong.
std::optional<WorkFileInTheWay> RemoveEarlierWorkFiles(Platform& platform, const PressRecord& press,
                                                       const std::wstring& workBase) {
    const std::wstring pattern = WorkFilePattern(workBase);
    const std::wstring folder = pattern.substr(0, pattern.find_last_of(L"\\/") + 1);
    std::wstring removed;
    for (int n = 0;; ++n) {
        const std::wstring name = platform.FindFirstNormalFile(pattern);
        if (name.empty()) return std::nullopt;
        const std::wstring path = folder + name;
        // Found again after its removal (still open somewhere), or too many.
        if (path == removed || n == kMostEarlierWorkFiles) {
            return WorkFileInTheWay{path, {}, press.targetPath, press.backupPath};
        }
        if (const OpResult result = platform.RemoveFile(path); !result.ok) {
            return WorkFileInTheWay{path, result.error, press.targetPath, press.backupPath};
        }
        removed = path;
    }
}

// Only the press's own version resource may remain.
void RequireAlone(const PressRecord& press, Proof& proof) {
    const std::vector<std::uint16_t> others = proof.LanguagesBut(press.language);
    if (!others.empty()) proof.findings.push_back(LanguagesLeft{others});
}

DeleteFailed Failure(DeleteFailed::Step step, const std::wstring& reason = {}, const RunEnd& end = {}) {
    DeleteFailed stop;
    stop.step = step;
    stop.reason = reason;
    stop.end = end;
    return stop;
}

Proof ProveTargetAlone(Platform& platform, const PressRecord& press) {
    Proof proof = ProveFile(platform, press, press.targetPath, {press.backupPath, press.before.appended});
    RequireAlone(press, proof);
    return proof;
}

// A step failed. The delete runs are handed the target as their source, so
// it is not taken as untouched: it is what the merge left only when its
// digest still says so. A digest that could not be read proves nothing
// either way: then the target is only read back, and nothing that would
// undo the merge is offered.
void AfterFailedStep(Platform& platform, const PressRecord& press, const std::optional<verify::Sha256::Digest>& merged,
                     DeleteFailed failed, Cleanup& cleanup) {
    const std::optional<verify::Sha256::Digest> digest = merged ? FileDigest(platform, press.targetPath) : std::nullopt;
    if (merged && digest == merged) {
        cleanup.outcome = std::move(failed);
        return;
    }
    Proof now = ProveFile(platform, press, press.targetPath, {press.backupPath, press.before.appended});
    const bool readsRight = now.findings.empty();
    RequireAlone(press, now);
    if (now.findings.empty()) return;  // changed, but into what the press wanted
    if (!digest) {
        failed.uncompared = true;
        failed.readsRight = readsRight;
        failed.readBack = std::move(now.findings);
        cleanup.outcome = std::move(failed);
        return;
    }
    now.findings.insert(now.findings.begin(), TargetChangedDuringDelete{});
    cleanup.outcome = RestoreOffer{press.targetPath, press.backupPath, std::move(now.findings), std::nullopt, true};
}

}  // namespace

Cleanup RemoveLeftoverVersions(Platform& platform, const PressRecord& press, const LeftoverVersions& left,
                               const PressPaths& paths, const WaitLimits& limits, EditorLogs& logs) {
    Cleanup cleanup;
    for (std::size_t n = 1; n <= left.languages.size(); ++n)
        cleanup.workFiles.push_back(WorkFilePath(paths.workBase, n));
    if (auto inTheWay = RemoveEarlierWorkFiles(platform, press, paths.workBase)) {
        cleanup.outcome = std::move(*inTheWay);
        cleanup.workFiles.clear();
        return cleanup;
    }
    const std::optional<verify::Sha256::Digest> merged = FileDigest(platform, press.targetPath);
    const auto failed = [&](DeleteFailed stop) {
        stop.target = press.targetPath;
        stop.backup = press.backupPath;
        AfterFailedStep(platform, press, merged, std::move(stop), cleanup);
        return cleanup;
    };

    std::wstring sourceForEditor = paths.forEditor.targetPath;
    for (std::size_t i = 0; i < left.languages.size(); ++i) {
        const std::wstring workForEditor = WorkFilePath(paths.forEditor.workBase, i + 1);
        const std::wstring commandLine = DeleteVersionCommandLine(paths.forEditor.quotedEditorPath, sourceForEditor,
                                                                  workForEditor, kVersionName, left.languages[i]);
        logs.BeforeRun();
        const LaunchResult started = platform.Launch(commandLine, kShowHidden);
        if (started.id == 0) return failed(Failure(DeleteFailed::Step::Start, started.error));
        const RunEnd end = AwaitEditorRun(platform, started.id, limits.exitMs, EditorRun::Delete);
        const RunLog& log = logs.AfterRun(EditorRun::Delete, commandLine);
        if (!end.Exited()) return failed(Failure(DeleteFailed::Step::Run, {}, end));
        // The editor exits with 0 after its errors too: an "Error:" line in
        // its log is a failure, and so is any other exit code, whatever it
        // wrote.
        if (end.exitCode.value_or(0) != 0) return failed(Failure(DeleteFailed::Step::ExitCode, {}, end));
        if (log.ReportsError()) return failed(Failure(DeleteFailed::Step::EditorError, {}, end));
        sourceForEditor = workForEditor;
    }

    // Everything but the leftovers as the merge left it.
    const std::wstring lastWork = cleanup.workFiles.back();
    Proof made = ProveFile(platform, press, lastWork, {press.targetPath, left.appended});
    RequireAlone(press, made);
    if (!made.findings.empty()) {
        DeleteFailed wrong = Failure(DeleteFailed::Step::WorkFileWrong);
        wrong.workFile = lastWork;
        wrong.findings = std::move(made.findings);
        return failed(std::move(wrong));
    }
    const ReplaceOutcome replaced = platform.ReplaceFileKeepingIdentity(lastWork, press.targetPath);
    if (replaced.kind == ReplaceOutcome::Kind::Unchanged) {
        return failed(Failure(DeleteFailed::Step::Replace, replaced.error));
    }
    // Moved away, or now the only place the result is in: not to be removed.
    std::erase(cleanup.workFiles, lastWork);
    if (replaced.kind == ReplaceOutcome::Kind::ReplacedGone) {
        cleanup.outcome = TargetLeftInWorkFile{press.targetPath, lastWork, press.backupPath, replaced.error};
        return cleanup;
    }
    Proof now = ProveTargetAlone(platform, press);
    if (!now.findings.empty()) {
        // The replacement completed: what reads wrong now is the removal's doing.
        cleanup.outcome = RestoreOffer{press.targetPath, press.backupPath, std::move(now.findings), std::nullopt, true};
    }
    return cleanup;
}

std::optional<PressNotice> RemoveWorkFile(Platform& platform, const std::wstring& path) {
    if (!NormalFileFound(platform, path)) return std::nullopt;  // the run wrote none
    if (const OpResult removed = platform.RemoveFile(path); !removed.ok) return WorkFileLeft{path, removed.error};
    return std::nullopt;
}

}  // namespace quillmark
