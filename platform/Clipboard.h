#pragma once

#include <string>

#include "platform/OpResult.h"

namespace quillmark {

struct Clipboard {
    virtual ~Clipboard() = default;

    virtual OpResult ClipboardEmpty() = 0;
    virtual OpResult ClipboardSetText(const std::wstring& text) = 0;
};

}  // namespace quillmark
