#include "cli/ArgumentParser.h"
#include "cli/Commands.h"
#include "cli/FolderArgument.h"
#include "cli/TerminalText.h"
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

    if (!checkFolderArgument(folder, "scan", LinkToFolder::accepted))
        return kExitRunFailed;

    // With -0 the names are for another program and stay exact; otherwise
    // they are for a terminal.
    const auto shown = [nulSeparated](const std::string& path) {
        return nulSeparated ? path : terminalSafe(path);
    };
    ScanResult result;
    try {
        result = SyncEngine().scanFiles(folder, patterns, [&shown](const std::string& path) {
            writeRecord(stderr, "Excluded: " + shown(path), '\n');
        });
    } catch (const FileSystemError& error) {
        std::fprintf(stderr, "quillfen-cli: %s\n", terminalSafe(error.what()).c_str());
        return kExitRunFailed;
    }
    const char terminator = nulSeparated ? '\0' : '\n';
    for (const auto& file : result.files)
        writeRecord(stdout, shown(file), terminator);
    for (const auto& unreadable : result.unreadableFolders)
        writeRecord(stderr, "Unreadable: " + shown(unreadable), '\n');
    std::fflush(stdout);
    return result.unreadableFolders.empty() ? kExitSuccess : kExitPartialFailure;
}

} // namespace quillfen::cli
