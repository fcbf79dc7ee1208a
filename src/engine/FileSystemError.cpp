#include "engine/FileSystemError.h"

#include <cstring>

namespace quillfen {

FileSystemError::FileSystemError(int errorNumber, const std::filesystem::path& path)
    : std::runtime_error(path.string() + ": " + std::strerror(errorNumber)),
      errorNumber_(errorNumber), path_(path) {}

} // namespace quillfen
