#include "press/Module1.h"

namespace quillmark::Module1 {

namespace {

void Key(Platform& platform, std::int32_t code, KeyDirection direction) {
    platform.KeybdEvent(static_cast<std::uint8_t>(code), direction);
}

}  // namespace

void SendKey(Platform& platform, std::int16_t first, std::optional<std::int32_t> second) {
    Key(platform, first, KeyDirection::Down);
    if (second) {
        Key(platform, *second, KeyDirection::Down);
        Key(platform, *second, KeyDirection::Up);
    }
    Key(platform, first, KeyDirection::Up);
}

}  // namespace quillmark::Module1
