#include "ui/WindowFonts.h"

namespace quillmark {

namespace {

constexpr int kNormal = 400;
constexpr int kBold = 700;
constexpr int kShiftJis = 128;

constexpr FontRequest kBody{L"MS UI Gothic", 9, kNormal, kShiftJis, FontFallback::MessageFont};
constexpr FontRequest kHeading{L"ＭＳ Ｐゴシック", 9, kBold, kShiftJis, FontFallback::MessageFace};

}  // namespace

const FontRequest& FontFor(ControlLook look) { return look == ControlLook::BlueBoldHeading ? kHeading : kBody; }

}  // namespace quillmark
