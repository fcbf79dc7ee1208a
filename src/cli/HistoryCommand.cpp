#include "cli/Commands.h"
#include "cli/StoreReading.h"
#include "cli/TerminalText.h"
#include "records/JsonForms.h"
#include "records/TextFormat.h"

#include <ctime>
#include <iostream>

namespace quillfen::cli {
namespace {

std::string statusText(const std::optional<SyncResult>& result) {
    if (!result)
        return "No result";
    return displayName(result->status);
}

void appendCount(std::string& figures, std::int64_t count, std::string_view word) {
    figures += " · " + std::to_string(count) + " " + std::string(word);
}

std::string figuresText(const SyncResult& result) {
    std::string figures = std::to_string(result.filesProcessed) + " processed";
    appendCount(figures, result.filesCopied, "copied");
    appendCount(figures, result.filesDeleted, "deleted");
    figures += " · " + formatFileSize(result.bytesTransferred);
    if (result.failedCount > 0)
        appendCount(figures, result.failedCount, "failed");
    if (result.filesExcluded > 0)
        appendCount(figures, result.filesExcluded, "excluded");
    if (result.verificationFailures > 0)
        appendCount(figures, result.verificationFailures, "failed verification");
    return figures;
}

void printEntry(const HistoryEntry& entry) {
    std::cout << formatLocalDateTime(entry.startedAt) << "  "
              << (entry.isDryRun ? "Preview" : "Sync") << "  " << statusText(entry.result) << "  "
              << entry.durationText() << "\n  " << terminalSafe(entry.source) << " → "
              << terminalSafe(entry.destination) << '\n';
    if (entry.result) {
        std::cout << "  " << figuresText(*entry.result) << '\n';
        if (entry.result->errorMessage)
            std::cout << "  Error: " << terminalSafe(*entry.result->errorMessage) << '\n';
    }
    if (entry.logFileName)
        std::cout << "  Log: " << terminalSafe(*entry.logFileName) << '\n';
}

} // namespace

int runHistory(const std::vector<std::string>& args) {
    const auto options = parseStoreVerbOptions(args, LimitOption::accepted);
    const auto store = openStoreForReading();
    if (!checkReadable(store, {StorageService::kHistoryFile}))
        return kExitRunFailed;
    auto history = store.history();
    if (options.limit && *options.limit < history.size())
        history.resize(*options.limit);
    if (options.json) {
        std::cout << writeJson(toJson(history)) << '\n';
        return kExitSuccess;
    }
    if (history.empty())
        std::cout << "No history yet\n";
    for (std::size_t index = 0; index < history.size(); ++index) {
        if (index > 0)
            std::cout << '\n';
        printEntry(history[index]);
    }
    return kExitSuccess;
}

} // namespace quillfen::cli
