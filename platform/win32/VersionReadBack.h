#pragma once

#include "platform/win32/WindowsApi.h"

#include <string>

#include "platform/Platform.h"

namespace quillmark::win32 {

// The file's version resource, each block read by verify's reader: each
// language as the file loaded as a data file holds it, and the block that
// GetFileVersionInfoExW picks for this user.
VersionReadBack ReadVersionResource(const std::wstring& path, const VersionQuery& query);

// The block GetFileVersionInfoExW gives without FILE_VER_GET_NEUTRAL, as
// bytes: picked by the user's display language.
VersionBlockRead ReadDisplayedVersionBlock(const std::wstring& path);

}  // namespace quillmark::win32
