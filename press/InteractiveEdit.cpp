#include "press/InteractiveEdit.h"

#include "press/CommandLines.h"
#include "press/KeySequence.h"
#include "press/Module1.h"

namespace quillmark {

namespace {

constexpr int kShowNormalFocused = 1;

const std::wstring kNothingChanged = L"実行ファイルは変更していません。";

}  // namespace

bool RunInteractiveEdit(Platform& platform, const std::wstring& filledScript, const PressPaths& paths,
                        const WaitLimits& limits) {
    if (const OpResult emptied = platform.ClipboardEmpty(); !emptied.ok) {
        ReportStop(platform, WithSystemReason(L"クリップボードを空にできませんでした。", emptied.error) + L"\r\n" +
                                 kNothingChanged);
        return false;
    }
    if (const OpResult set = platform.ClipboardSetText(filledScript); !set.ok) {
        ReportStop(platform, WithSystemReason(L"スクリプトをクリップボードに置けませんでした。", set.error) + L"\r\n" +
                                 kNothingChanged);
        return false;
    }

    const LaunchResult editor =
        platform.Launch(InteractiveCommandLine(paths.forEditor.quotedEditorPath, paths.forEditor.quotedResourcePath),
                        kShowNormalFocused);
    if (editor.id == 0) {
        ReportStop(platform, WithSystemReason(L"ResHacker を起動できませんでした。\r\n" + paths.editor, editor.error) +
                                 L"\r\n" + kNothingChanged);
        return false;
    }

    // Keys go to whichever window has the focus: only type once the editor
    // has it.
    if (const WaitOutcome ready = platform.WaitUntilReady(editor.id, limits.readyMs); ready != WaitOutcome::Done) {
        const std::wstring why = ready == WaitOutcome::TimedOut
                                     ? L"ResHacker のウィンドウが " + std::to_wstring(limits.readyMs / 1000) +
                                           L" 秒待っても操作できる状態にならなかった"
                                     : std::wstring(L"ResHacker のウィンドウを待てなかった");
        ReportRunEnd(platform, GiveUpEditorRun(platform, editor.id, why),
                     L"キー操作は送っていません。" + kNothingChanged);
        return false;
    }
    for (const KeyStroke& stroke : EditorKeySequence()) {
        Module1::SendKey(platform, stroke.first, stroke.second);
    }

    // The merge runs read initial.res: it must be saved and closed first.
    if (const RunEnd end = AwaitEditorRun(platform, editor.id, limits.exitMs, L"ResHacker (initial.res の編集)");
        !end.Exited()) {
        ReportRunEnd(platform, end, L"バックアップの作成と実行ファイルの更新は行っていません。");
        return false;
    }
    return true;
}

}  // namespace quillmark
