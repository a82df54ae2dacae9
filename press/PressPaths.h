#pragma once

#include <string>
#include <variant>

#include "platform/Platform.h"
#include "press/PressStop.h"

namespace quillmark {

// The paths as the editor is handed them, each in a form that an editor
// built for the ANSI code page receives unchanged.
struct EditorPaths {
    std::wstring quotedEditorPath;
    std::wstring quotedResourcePath;
    std::wstring targetPath;
    std::wstring backupPath;
    std::wstring workBase;  // the same file names as PressPaths::workBase
};

// The files a press works on, and the editor's forms of them.
struct PressPaths {
    std::wstring editor;  // as the user gave it
    std::wstring target;  // as the user gave it
    std::wstring backup;  // the copy the press makes, beside the target
    // Beside the target: what the names of the work files of the removal of
    // other languages start with.
    std::wstring workBase;
    EditorPaths forEditor;
};

// A target path the editor's command lines can take, and its backup's.
struct TargetPath {
    std::wstring target;
    std::wstring backup;
};

// The one check of the target path itself: no comma (the editor splits its
// operands there), and long enough to name a backup after.
std::variant<TargetPath, PressStop> CheckTargetPath(const std::wstring& targetPath);

// Each path as it is, or else its short (8.3) form, whichever the ANSI code
// page holds; the backup, which does not exist yet, by its folder's form
// and a name that converts. Checked before anything is touched.
std::variant<PressPaths, PressStop> PressPathsFor(Platform& platform, const std::wstring& editorPath,
                                                  const std::wstring& programFolder, const TargetPath& target);

}  // namespace quillmark
