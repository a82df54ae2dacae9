#pragma once

#include "platform/win32/WindowsApi.h"

#include <string>

namespace quillmark::win32 {

// UTF-16 to and from the system ANSI code page, for the calls that take
// bytes.
std::string ToAnsi(const std::wstring& text);
std::wstring FromAnsi(const std::string& text);
// Whether the text converts to the system ANSI code page with no character
// replaced by a look-alike or the default character.
bool FitsAnsi(const std::wstring& text);

// The system's wording of an error code, without the trailing line break;
// empty when the system has none. Some wordings name the file they are about
// as "%1": `subject` takes its place.
std::wstring ErrorText(DWORD error, const std::wstring& subject = {});

}  // namespace quillmark::win32
