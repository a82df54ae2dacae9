#pragma once

#include <span>

namespace quillmark {

// The ten version-information fields. The index is shared by lblInfo,
// txtInfo and every walk over the fields.
struct FieldSpec {
    int index;
    const wchar_t* keyName;  // caption of lblInfo(index)
    const wchar_t* tooltip;  // the Japanese field name
    int labelTop;            // twips, inside the frame
    int inputTop;
    const wchar_t* inputName;  // txtInfo, txtFileVer or txtProductVer
    int inputTab;              // tab index of the (first) input
};

inline constexpr int kFieldCount = 10;
inline constexpr int kFileVersionField = 6;
inline constexpr int kProductVersionField = 7;

std::span<const FieldSpec, kFieldCount> FieldTable();

inline bool IsVersionField(int index) { return index == kFileVersionField || index == kProductVersionField; }

}  // namespace quillmark
