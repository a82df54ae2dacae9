#include "press/VersionCleanup.h"

#include <string>
#include <vector>

#include "press/CommandLines.h"
#include "press/ProofMessages.h"

namespace quillmark {

namespace {

constexpr int kHidden = 0;
// The version resource the version API reads, and the one the merge wrote.
constexpr std::uint16_t kVersionName = 1;

// Removes what a run left, whatever happened; says so when one stays.
class WorkFiles {
public:
    explicit WorkFiles(Platform& platform) : platform_(platform) {}
    ~WorkFiles() {
        for (const std::wstring& path : paths_) {
            if (platform_.FindFirstNormalFile(path).empty()) continue;  // the run wrote none
            if (const OpResult removed = platform_.RemoveFile(path); !removed.ok) {
                ReportStop(platform_, WorkFileLeftMessage(path, removed.error));
            }
        }
    }
    WorkFiles(const WorkFiles&) = delete;
    WorkFiles& operator=(const WorkFiles&) = delete;

    void Add(const std::wstring& path) { paths_.push_back(path); }
    // Moved away: nothing to remove any more.
    void Forget(const std::wstring& path) { std::erase(paths_, path); }

private:
    Platform& platform_;
    std::vector<std::wstring> paths_;
};

// Only the press's own version resource may remain.
void RequireAlone(const PressRecord& press, Proof& proof) {
    std::vector<std::uint16_t> others;
    for (const std::uint16_t language : proof.languages) {
        if (language != press.language) others.push_back(language);
    }
    if (!others.empty()) proof.lines.push_back(LeftoverLanguagesLine(others));
}

}  // namespace

void RemoveLeftoverVersions(Platform& platform, const PressRecord& press, const LeftoverVersions& left,
                            const EditorPaths& editor, const WaitLimits& limits) {
    WorkFiles work(platform);
    std::wstring sourceForEditor = editor.targetPath;
    std::wstring lastWork;
    for (std::size_t i = 0; i < left.languages.size(); ++i) {
        lastWork = WorkFilePath(press.targetPath, i + 1);
        const std::wstring workForEditor = WorkFilePath(editor.targetPath, i + 1);
        work.Add(lastWork);
        const LaunchResult started =
            platform.Launch(DeleteVersionCommandLine(editor.quotedEditorPath, sourceForEditor, workForEditor,
                                                     kVersionName, left.languages[i]),
                            kHidden);
        if (started.id == 0) {
            ReportStop(platform, DeleteFailedMessage(
                                     press.targetPath, press.backupPath,
                                     WithSystemReason(L"ResHacker (-delete) を起動できませんでした。", started.error)));
            return;
        }
        if (const RunEnd end = AwaitEditorRun(platform, started.id, limits.exitMs, L"ResHacker (-delete)");
            !end.Exited()) {
            ReportStop(platform, DeleteFailedMessage(press.targetPath, press.backupPath, end.what));
            return;
        }
        sourceForEditor = workForEditor;
    }

    // Everything but the leftovers as the merge left it.
    Proof made = ProveFile(platform, press, lastWork, {press.targetPath, left.appended});
    RequireAlone(press, made);
    if (!made.lines.empty()) {
        OfferRestore(platform, press, made.lines, DeleteResultWrongLead());
        return;
    }
    if (const OpResult moved = platform.MoveFileReplacing(lastWork, press.targetPath); !moved.ok) {
        ReportStop(platform,
                   DeleteFailedMessage(press.targetPath, press.backupPath,
                                       WithSystemReason(L"実行ファイルを置き換えられませんでした。", moved.error)));
        return;
    }
    work.Forget(lastWork);
    Proof now = ProveFile(platform, press, press.targetPath, {press.backupPath, press.before.appended});
    RequireAlone(press, now);
    if (!now.lines.empty()) OfferRestore(platform, press, now.lines);
}

}  // namespace quillmark
