#pragma once

#include <string>

#include "platform/Platform.h"
#include "settings/inifile_IO.h"

namespace quillmark {

// The folder as the platform reports it, ending in exactly one backslash.
std::wstring ProgramFolderPath(const std::wstring& reportedFolder);

// A path counts as found at start-up when the lookup names a file of at
// least three characters.
bool FoundAtStartUp(Platform& platform, const std::wstring& path);

// Fills the path boxes and the fields from the settings file, or with the
// first-run values when there is none.
void RestoreSettings(Platform& platform, inifile_IO& settings);

}  // namespace quillmark
