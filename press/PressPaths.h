#pragma once

#include <string>
#include <variant>

#include "platform/Platform.h"

namespace quillmark {

// The paths as the editor is handed them, each in a form that an editor
// built for the ANSI code page receives unchanged.
struct EditorPaths {
    std::wstring quotedEditorPath;
    std::wstring quotedResourcePath;
    std::wstring targetPath;
    std::wstring backupPath;
};

// The files a press works on, and the editor's forms of them.
struct PressPaths {
    std::wstring editor;  // as the user gave it
    std::wstring target;  // as the user gave it
    std::wstring backup;  // the copy the press makes, beside the target
    EditorPaths forEditor;
};

// A path that no form gets to the editor unchanged, and its characters
// that the ANSI code page lacks.
struct PathOutsideAnsi {
    std::wstring path;
    std::wstring characters;
};

// Each path as it is, or else its short (8.3) form, whichever the ANSI code
// page holds; the backup, which does not exist yet, by its folder's form
// and a name that converts. Checked before anything is touched.
std::variant<PressPaths, PathOutsideAnsi> PressPathsFor(Platform& platform, const std::wstring& editorPath,
                                                        const std::wstring& programFolder,
                                                        const std::wstring& targetPath);

}  // namespace quillmark
