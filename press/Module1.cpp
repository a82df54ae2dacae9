#include "press/Module1.h"

namespace quillmark::Module1 {

namespace {

void Key(Platform& platform, std::int32_t code, std::uint32_t flags) {
    platform.KeybdEvent(static_cast<std::uint8_t>(code), 0, flags, 0);
}

}  // namespace

void SendKey(Platform& platform, std::int16_t first, std::optional<std::int32_t> second) {
    Key(platform, first, kKeyDown);
    if (second) {
        Key(platform, *second, kKeyDown);
        Key(platform, *second, kKeyUp);
    }
    Key(platform, first, kKeyUp);
}

}  // namespace quillmark::Module1
