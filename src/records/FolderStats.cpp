#include "records/FolderStats.h"

#include "records/TextFormat.h"

namespace quillfen {
namespace {

// "1 folder", "12 folders", "12+ folders" (a lower bound when counting stopped).
std::string countText(std::int64_t count, bool isPartial, const char* singular) {
    if (count == 1)
        return std::string("1 ") + singular;
    return std::to_string(count) + (isPartial ? "+" : "") + " " + singular + "s";
}

} // namespace

std::string FolderStats::summary() const {
    return (isPartial ? "~" : "") + formatFileSize(bytes) + " \u00B7 " +
           countText(folders, isPartial, "folder") + " \u00B7 " +
           countText(files, isPartial, "file");
}

} // namespace quillfen
