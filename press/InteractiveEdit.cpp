#include "press/InteractiveEdit.h"

#include "press/CommandLines.h"
#include "press/KeySequence.h"
#include "press/Module1.h"

namespace quillmark {

std::optional<PressStop> RunInteractiveEdit(Platform& platform, const std::wstring& filledScript,
                                            const PressPaths& paths, const WaitLimits& limits) {
    if (const OpResult emptied = platform.ClipboardEmpty(); !emptied.ok) {
        return ClipboardRefused{ClipboardRefused::Step::Empty, emptied.error};
    }
    if (const OpResult set = platform.ClipboardSetText(filledScript); !set.ok) {
        return ClipboardRefused{ClipboardRefused::Step::SetText, set.error};
    }

    const LaunchResult editor =
        platform.Launch(InteractiveCommandLine(paths.forEditor.quotedEditorPath, paths.forEditor.quotedResourcePath),
                        kShowNormalFocused);
    if (editor.id == 0) return EditorNotStarted{paths.editor, editor.error};

    // Keys go to whichever window has the focus: only type once the editor
    // has it.
    if (const WaitOutcome ready = platform.WaitUntilReady(editor.id, limits.readyMs); ready != WaitOutcome::Done) {
        return EditorGivenUp{GiveUpEditorRun(
            platform, editor.id, {RunEnd::Kind::Exited, EditorRun::Edit, true, ready, limits.readyMs, std::nullopt})};
    }
    for (const KeyStroke& stroke : EditorKeySequence()) {
        Module1::SendKey(platform, stroke.first, stroke.second);
    }

    // The merge runs read initial.res: it must be saved and closed first.
    if (const RunEnd end = AwaitEditorRun(platform, editor.id, limits.exitMs, EditorRun::Edit); !end.Exited()) {
        return EditorGivenUp{end};
    }
    return std::nullopt;
}

}  // namespace quillmark
