#include "reshacker/InteractiveEdit.h"

#include "reshacker/CommandLines.h"
#include "reshacker/KeySequence.h"
#include "reshacker/Module1.h"

namespace quillmark {

namespace {

constexpr int kShowNormalFocused = 1;

const std::wstring kNothingChanged = L"実行ファイルは変更していません。";

}  // namespace

std::optional<EditorPaths> RunInteractiveEdit(Platform& platform, const std::wstring& filledScript,
                                              const std::wstring& editorPath, const std::wstring& programFolder,
                                              const WaitLimits& limits) {
    if (const OpResult emptied = platform.ClipboardEmpty(); !emptied.ok) {
        ReportStop(platform, WithSystemReason(L"クリップボードを空にできませんでした。", emptied.error) + L"\r\n" +
                                 kNothingChanged);
        return std::nullopt;
    }
    if (const OpResult set = platform.ClipboardSetText(filledScript); !set.ok) {
        ReportStop(platform, WithSystemReason(L"スクリプトをクリップボードに置けませんでした。", set.error) + L"\r\n" +
                                 kNothingChanged);
        return std::nullopt;
    }

    EditorPaths paths{Quoted(editorPath), QuotedResourcePath(programFolder)};
    const LaunchResult editor =
        platform.Launch(InteractiveCommandLine(paths.quotedEditorPath, paths.quotedResourcePath), kShowNormalFocused);
    if (editor.id == 0) {
        ReportStop(platform, WithSystemReason(L"ResHacker を起動できませんでした。\r\n" + editorPath, editor.error) +
                                 L"\r\n" + kNothingChanged);
        return std::nullopt;
    }

    // Keys go to whichever window has the focus: only type once the editor
    // has it.
    if (const WaitOutcome ready = platform.WaitUntilReady(editor.id, limits.readyMs); ready != WaitOutcome::Done) {
        platform.ReleaseProcess(editor.id);
        const std::wstring why = ready == WaitOutcome::TimedOut
                                     ? L"ResHacker のウィンドウが " + std::to_wstring(limits.readyMs / 1000) +
                                           L" 秒待っても操作できる状態になりませんでした。"
                                     : std::wstring(L"ResHacker のウィンドウを待てませんでした。");
        ReportStop(platform, why + L"\r\nキー操作は送っていません。" + kNothingChanged);
        return std::nullopt;
    }
    for (const KeyStroke& stroke : EditorKeySequence()) {
        Module1::SendKey(platform, stroke.first, stroke.second);
    }

    // The merge runs read initial.res: it must be saved and closed first.
    if (!WaitForEditorExit(platform, editor.id, limits, L"ResHacker (initial.res の編集)",
                           L"バックアップの作成と実行ファイルの更新は行っていません。")) {
        return std::nullopt;
    }
    return paths;
}

}  // namespace quillmark
