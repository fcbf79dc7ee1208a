#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quillfen {

// The whole content of a regular file; no value when the path is missing,
// names something other than a regular file (a FIFO would block a reader for
// ever) or cannot be read.
std::optional<std::string> readFileBytes(const std::filesystem::path& path);

// Replaces `target` with `bytes` in one step: the bytes go to a fresh
// temporary file in the same folder, are flushed to disk and renamed over the
// target, so a reader sees either the old or the new content, never a mix.
// On failure the target keeps its previous content, no temporary file is left
// behind and false is returned. The file gets `permissions` when given;
// otherwise a replaced file keeps its permission bits and a new one gets
// those of any new file.
bool writeFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                         std::optional<std::filesystem::perms> permissions = std::nullopt);

} // namespace quillfen
