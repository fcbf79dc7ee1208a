#include "cli/ArgumentParser.h"
#include "cli/Commands.h"
#include "cli/FolderArgument.h"
#include "engine/FileSystemError.h"
#include "engine/SyncEngine.h"
#include "records/ExclusionPattern.h"

#include <cstdio>
#include <string>

namespace quillfen::cli {
namespace {

void writeRecord(std::FILE* stream, const std::string& text, char terminator) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fputc(terminator, stream);
}

} // namespace

int runScan(const std::vector<std::string>& args) {
    bool builtin = false;
    bool nulSeparated = false;
    std::vector<std::string> excludes;
    ArgumentParser parser;
    parser.addFlag("--builtin", builtin);
    parser.addFlag("-0", nulSeparated);
    parser.addList("--exclude", excludes);
    const std::string folder = parser.parse(args, {"FOLDER"}).front();

    std::vector<std::string> patterns;
    if (builtin)
        patterns = enabledPatternTexts(builtInPatterns());
    patterns.insert(patterns.end(), excludes.begin(), excludes.end());

    if (!checkFolderArgument(folder, "scan", true))
        return kExitRunFailed;

    ScanResult result;
    try {
        result = SyncEngine().scanFiles(folder, patterns, [](const std::string& path) {
            writeRecord(stderr, "Excluded: " + path, '\n');
        });
    } catch (const FileSystemError& error) {
        std::fprintf(stderr, "quillfen-cli: %s\n", error.what());
        return kExitRunFailed;
    }
    const char terminator = nulSeparated ? '\0' : '\n';
    for (const auto& file : result.files)
        writeRecord(stdout, file, terminator);
    for (const auto& unreadable : result.unreadableFolders)
        writeRecord(stderr, "Unreadable: " + unreadable, '\n');
    std::fflush(stdout);
    return result.unreadableFolders.empty() ? kExitSuccess : kExitPartialFailure;
}

} // namespace quillfen::cli
