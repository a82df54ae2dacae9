#pragma once

#include <cstdint>
#include <optional>

#include "platform/Platform.h"

namespace quillmark::Module1 {

// Presses and releases `first`; with a second code, `first` is held as the
// modifier while `second` is pressed and released.
void SendKey(Platform& platform, std::int16_t first, std::optional<std::int32_t> second = std::nullopt);

}  // namespace quillmark::Module1
