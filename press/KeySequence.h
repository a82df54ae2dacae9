#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace quillmark {

// One SendKey call: a key, or a modifier held while a second key is pressed.
struct KeyStroke {
    std::int16_t first;
    std::optional<std::int32_t> second;
};

// The keys that take the editor from the freshly opened initial.res to the
// version script, replace it by the clipboard's text, compile, save and
// close.
std::span<const KeyStroke> EditorKeySequence();

}  // namespace quillmark
