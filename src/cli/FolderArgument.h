#pragma once

#include <string>

namespace quillfen::cli {

// Whether a symbolic link to a folder counts as the folder.
enum class LinkToFolder { accepted, refused };

// The engine reads a folder that is missing as an empty tree; on the command
// line that would hide a typing mistake. True when `path` names a folder;
// otherwise prints "quillfen-cli: cannot <action> <path>: <reason>" on
// standard error.
bool checkFolderArgument(const std::string& path, const char* action, LinkToFolder link);

} // namespace quillfen::cli
