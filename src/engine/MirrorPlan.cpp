#include "engine/MirrorPlan.h"

namespace quillfen {

MirrorPlan::MirrorPlan(const ScanResult& source, const std::vector<std::string>& keptFolders)
    : sourceFiles_(source.files.begin(), source.files.end()),
      keptFolders_(source.unreadableFolders.begin(), source.unreadableFolders.end()) {
    keptFolders_.insert(keptFolders.begin(), keptFolders.end());
}

bool MirrorPlan::isExtra(std::string_view destinationPath) const {
    if (sourceFiles_.contains(destinationPath))
        return false;
    if (keptFolders_.empty())
        return true;
    for (auto slash = destinationPath.find('/'); slash != std::string_view::npos;
         slash = destinationPath.find('/', slash + 1)) {
        if (keptFolders_.contains(destinationPath.substr(0, slash)))
            return false;
    }
    return true;
}

} // namespace quillfen
