#include "cli/ArgumentParser.h"
#include "cli/Commands.h"
#include "cli/FolderArgument.h"
#include "engine/SyncEngine.h"
#include "records/JsonForms.h"

#include <iostream>

namespace quillfen::cli {

int runStats(const std::vector<std::string>& args) {
    bool json = false;
    ArgumentParser parser;
    parser.addFlag("--json", json);
    const std::string folder = parser.parse(args, {"FOLDER"}).front();
    // Counting does not follow a link in place of the folder; refuse it rather
    // than print zeros.
    if (!checkFolderArgument(folder, "count", LinkToFolder::refused))
        return kExitRunFailed;

    const FolderStats stats = SyncEngine::computeFolderStats(folder);
    if (json) {
        std::cout << writeJson({{"files", stats.files},
                                {"folders", stats.folders},
                                {"bytes", stats.bytes},
                                {"isPartial", stats.isPartial}})
                  << '\n';
    } else {
        std::cout << stats.summary() << '\n'
                  << "Files: " << stats.files << '\n'
                  << "Folders: " << stats.folders << '\n'
                  << "Bytes: " << stats.bytes << '\n'
                  << "Partial: " << (stats.isPartial ? "yes" : "no") << '\n';
    }
    return kExitSuccess;
}

} // namespace quillfen::cli
