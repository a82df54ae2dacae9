#pragma once

#include <string>

namespace quillmark {

// A failure's description as the system words it (may be empty).
struct OpResult {
    bool ok = false;
    std::wstring error;
};

}  // namespace quillmark
