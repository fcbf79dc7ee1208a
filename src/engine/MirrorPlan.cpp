#include "engine/MirrorPlan.h"

namespace quillfen {

MirrorPlan::MirrorPlan(const ScanResult& source)
    : sourceFiles_(source.files.begin(), source.files.end()),
      unreadableFolders_(source.unreadableFolders.begin(), source.unreadableFolders.end()) {}

bool MirrorPlan::isExtra(std::string_view destinationPath) const {
    if (sourceFiles_.contains(destinationPath))
        return false;
    if (unreadableFolders_.empty())
        return true;
    for (auto slash = destinationPath.find('/'); slash != std::string_view::npos;
         slash = destinationPath.find('/', slash + 1)) {
        if (unreadableFolders_.contains(destinationPath.substr(0, slash)))
            return false;
    }
    return true;
}

} // namespace quillfen
