#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace quillmark {

// A path box and the path a drop puts into it.
struct DroppedPath {
    ControlRef box;
    std::wstring path;

    bool operator==(const DroppedPath&) const = default;
};

// Where files dropped on the window go: the first normal file among them
// into the path box under the drop, or, dropped elsewhere, into the editor
// box when it is named ResHacker.exe and into the target box otherwise.
// Nothing when no dropped path is a normal file.
std::optional<DroppedPath> FileDropTarget(const std::vector<std::wstring>& files, const ControlRef& underDrop,
                                          const std::function<bool(const std::wstring& path)>& isNormalFile);

}  // namespace quillmark
