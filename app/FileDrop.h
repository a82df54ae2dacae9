#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "press/PressStop.h"

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

// The files named on the command line, sorted for the two path boxes: the
// first file named ResHacker.exe for the editor box, the first other file
// for the target box; further files are passed over. What names no file
// (missing, a folder) is listed, with why.
struct CommandLineFiles {
    std::optional<std::wstring> editor;
    std::optional<std::wstring> target;
    std::vector<UnusedArgument> unused;
};

// `makeWhole` turns an argument into a whole path and says what it names.
CommandLineFiles CommandLineTargets(const std::vector<std::wstring>& arguments,
                                    const std::function<WholePath(const std::wstring& argument)>& makeWhole);

}  // namespace quillmark
