#pragma once

#include <filesystem>
#include <string>

namespace quillmark::portable {

// Copies a file, replacing an existing destination. Empty on success,
// otherwise the system's reason.
std::string CopyFileReplacing(const std::filesystem::path& source, const std::filesystem::path& destination);

}  // namespace quillmark::portable
