#include "ui/ControlTable.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "ui/FieldTable.h"

namespace quillmark {

namespace {

using K = ControlKind;
using L = ControlLook;

constexpr WindowSpec kWindow{L"Quillmark", 5895, 6645};

// A field's label and inputs take their name, index, caption, top, tab
// index and tooltip from the field; their kind, column and size are theirs.
constexpr int kFirstFieldLabelTab = 22;

constexpr ControlSpec FieldLabel(const FieldSpec& field) {
    return {K::Label,      L"lblInfo", field.index,
            field.keyName, 240,        field.labelTop,
            1515,          195,        kFirstFieldLabelTab + field.index,
            true,          false,      L::Default,
            field.tooltip};
}

constexpr ControlSpec StringInput(const FieldSpec& field) {
    return {K::TextBox, field.inputName, field.index, L"Text1", 1980,       field.inputTop, 3435,
            270,        field.inputTab,  true,        false,    L::Default, nullptr};
}

// The three boxes of a version (major, minor, revision), in tab order.
struct VersionPart {
    int left;
    int width;
    const wchar_t* caption;
};
constexpr std::array<VersionPart, 3> kVersionParts{{{2580, 435, L"1"}, {3660, 435, L"0"}, {4680, 735, L"0"}}};
constexpr int kVersionPartHeight = 270;

constexpr std::array kHead{
    ControlSpec{K::Button, L"cmdView", -1, L"確認", 3540, 6120, 1035, 375, 19, false, true, L::Default, nullptr},
    ControlSpec{K::Button, L"cmdOpenExe", -1, L"参照...", 4920, 1200, 855, 315, 3, false, false, L::Default, nullptr},
    ControlSpec{K::Button, L"cmdEnd", -1, L"終了(&X)", 4680, 6120, 1095, 375, 20, false, false, L::Default, nullptr},
    ControlSpec{K::TextBox, L"txtExe", -1, L"", 180, 1200, 4575, 330, 2, false, false, L::Default, nullptr},
    ControlSpec{K::Button, L"cmdOpenHack", -1, L"参照...", 4920, 480, 855, 315, 1, false, false, L::Default, nullptr},
    ControlSpec{K::FileDialog, L"cdlFile", -1, L"", 0, 0, 0, 0, -1, false, false, L::Default, nullptr},
    ControlSpec{K::Frame, L"Frame1", -1, L"バージョン情報", 120, 1620, 5655, 4275, 21, false, false, L::BlueBoldHeading,
                nullptr},
};

constexpr std::array kVersionPartLabels{
    ControlSpec{K::Label, L"Label3", 0, L"Major", 2040, 3120, 435, 270, 37, true, false, L::Default, nullptr},
    ControlSpec{K::Label, L"Label3", 1, L"Minor", 3120, 3120, 435, 270, 38, true, false, L::Default, nullptr},
    ControlSpec{K::Label, L"Label3", 2, L"Rev.", 4200, 3120, 435, 270, 39, true, false, L::Default, nullptr},
    ControlSpec{K::Label, L"Label2", 0, L"Major", 2040, 2760, 435, 270, 36, true, false, L::Default, nullptr},
    ControlSpec{K::Label, L"Label2", 1, L"Minor", 3120, 2760, 435, 270, 34, true, false, L::Default, nullptr},
    ControlSpec{K::Label, L"Label2", 2, L"Rev.", 4200, 2760, 435, 270, 35, true, false, L::Default, nullptr},
};

constexpr std::array kTail{
    ControlSpec{K::TextBox, L"txtResHack", -1, L"", 180, 480, 4575, 315, 0, false, false, L::Default, nullptr},
    ControlSpec{K::Button, L"Command1", -1, L"バージョン情報の追加/変更を実行", 120, 6120, 3315, 375, 18, false, true,
                L::Default, nullptr},
    ControlSpec{K::Label, L"Label1", 1, L"バージョン情報の追加／修正を行う実行ファイルのフルパス", 240, 900, 5535, 255,
                33, false, false, L::BlueBoldHeading, nullptr},
    ControlSpec{K::Label, L"Label1", 0, L"「ResHacker.exe」のフルパス", 240, 180, 5535, 255, 32, false, false,
                L::BlueBoldHeading, nullptr},
};

constexpr std::array<ControlSpec, kVersionParts.size()> VersionBoxes(const FieldSpec& field) {
    std::array<ControlSpec, kVersionParts.size()> boxes{};
    for (std::size_t part = 0; part < kVersionParts.size(); ++part) {
        const VersionPart& box = kVersionParts[part];
        const auto index = static_cast<int>(part);
        boxes[part] = {
            K::TextBox,         field.inputName,        index, box.caption, box.left,   field.inputTop, box.width,
            kVersionPartHeight, field.inputTab + index, true,  false,       L::Default, nullptr};
    }
    return boxes;
}

constexpr std::size_t kStringFieldCount = kFieldCount - 2;

constexpr std::array<ControlSpec, kStringFieldCount> StringInputs() {
    std::array<ControlSpec, kStringFieldCount> inputs{};
    std::size_t next = 0;
    for (const FieldSpec& field : kFieldSpecs) {
        if (!IsVersionField(field.index)) inputs[next++] = StringInput(field);
    }
    return inputs;
}

constexpr std::array<ControlSpec, kFieldCount> FieldLabels() {
    std::array<ControlSpec, kFieldCount> labels{};
    std::transform(kFieldSpecs.begin(), kFieldSpecs.end(), labels.begin(), FieldLabel);
    return labels;
}

template <std::size_t... Sizes>
constexpr auto Joined(const std::array<ControlSpec, Sizes>&... parts) {
    std::array<ControlSpec, (Sizes + ...)> joined{};
    auto next = joined.begin();
    ((next = std::copy(parts.begin(), parts.end(), next)), ...);
    return joined;
}

// The order the controls have always been created in: their window IDs
// follow it.
constexpr auto kControls =
    Joined(kHead, VersionBoxes(kFieldSpecs[kProductVersionField]), VersionBoxes(kFieldSpecs[kFileVersionField]),
           StringInputs(), kVersionPartLabels, FieldLabels(), kTail);

}  // namespace

const WindowSpec& MainWindowSpec() { return kWindow; }

std::span<const ControlSpec> ControlTable() { return kControls; }

}  // namespace quillmark
