#pragma once

#include "platform/win32/WindowsApi.h"

#include "platform/OpResult.h"
#include "platform/win32/SystemText.h"

namespace quillmark::win32 {

inline OpResult Succeeded() { return {true, {}}; }

// A failure in the system's own words.
inline OpResult Failed(DWORD error) { return {false, ErrorText(error)}; }

}  // namespace quillmark::win32
