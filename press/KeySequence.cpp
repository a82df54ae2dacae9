#include "press/KeySequence.h"

#include <array>

namespace quillmark {

namespace {

constexpr std::int16_t kRight = 0x27;
constexpr std::int16_t kTab = 0x09;
constexpr std::int16_t kAlt = 0x12;
constexpr std::int16_t kControl = 0x11;
constexpr std::int16_t kDelete = 0x2E;
constexpr std::int16_t kKeyA = 0x41;
constexpr std::int32_t kKeyC = 0x43;
constexpr std::int32_t kKeyE = 0x45;
constexpr std::int32_t kKeyS = 0x53;
constexpr std::int32_t kKeyV = 0x56;
constexpr std::int32_t kF4 = 0x73;

constexpr std::array<KeyStroke, 13> kSequence{{
    {kRight, std::nullopt},  // five Rights and a Tab reach the script text
    {kRight, std::nullopt},
    {kRight, std::nullopt},
    {kRight, std::nullopt},
    {kRight, std::nullopt},
    {kTab, std::nullopt},
    {kAlt, kKeyE},  // Edit menu, then Select All
    {kKeyA, std::nullopt},
    {kDelete, std::nullopt},
    {kControl, kKeyV},  // paste the script
    {kAlt, kKeyC},      // compile
    {kControl, kKeyS},  // save initial.res
    {kAlt, kF4},        // close the editor
}};

}  // namespace

std::span<const KeyStroke> EditorKeySequence() { return kSequence; }

}  // namespace quillmark
