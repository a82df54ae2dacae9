#pragma once

#include "platform/Platform.h"
#include "settings/inifile_IO.h"

namespace quillmark {

// Writes both paths and the ten fields, in the order of the file's layout.
// A version row whose boxes do not hold numbers keeps its stored value.
void SaveSettings(Platform& platform, inifile_IO& settings);

}  // namespace quillmark
