#include "platform/portable/FileCopy.h"

#include <system_error>

namespace quillmark::portable {

std::string CopyFileReplacing(const std::filesystem::path& source, const std::filesystem::path& destination) {
    std::error_code error;
    std::filesystem::copy_file(source, destination, std::filesystem::copy_options::overwrite_existing, error);
    return error ? error.message() : std::string();
}

}  // namespace quillmark::portable
