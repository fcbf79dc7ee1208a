#pragma once

#include <string>

namespace quillfen::cli {

// The engine reads a folder that is missing as an empty tree; on the command
// line that would hide a typing mistake. True when `path` names a folder;
// otherwise prints "quillfen-cli: cannot <action> <path>: <reason>" on
// standard error. With `followLink` false, a link to a folder is not one.
bool checkFolderArgument(const std::string& path, const char* action, bool followLink);

} // namespace quillfen::cli
