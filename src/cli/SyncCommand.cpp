#include "cli/SyncCommand.h"

#include "cli/Commands.h"
#include "cli/ProgressLine.h"
#include "cli/SignalWatcher.h"
#include "cli/StoreReading.h"
#include "cli/TerminalText.h"
#include "engine/SyncEngine.h"
#include "records/DiffItem.h"
#include "records/JsonForms.h"
#include "records/TextFormat.h"

#include <cstdio>
#include <exception>
#include <iostream>
#include <optional>

namespace quillfen::cli {
namespace {

SyncResult failedResult(const std::string& message) {
    SyncResult result;
    result.status = SyncStatus::failed;
    result.errorMessage = message;
    return result;
}

// The same lines as the footer of a run's log file.
void printSummary(const SyncResult& result) {
    std::string status = toString(result.status);
    status[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(status[0])));
    std::cout << "Status:      " << status << '\n'
              << "Files:       " << result.filesCopied << " copied, " << result.filesDeleted
              << " deleted, " << result.filesProcessed << " processed\n";
    if (result.failedCount >= 1)
        std::cout << "Failed:      " << result.failedCount << " files\n";
    std::cout << "Transferred: " << formatFileSize(result.bytesTransferred) << '\n'
              << "Duration:    " << result.durationText() << '\n';
}

// A run that ends as failed after its copies (its deletions withheld) has
// finished, but not all of it was done.
int exitStatusOf(const SyncResult& result) {
    if (result.status == SyncStatus::cancelled)
        return kExitCancelled;
    if (result.status == SyncStatus::failed || result.failedCount > 0 ||
        result.verificationFailures > 0)
        return kExitPartialFailure;
    return kExitSuccess;
}

void printError(const std::string& message) {
    std::cerr << "quillfen-cli: " << terminalSafe(message) << '\n';
}

int reportFailure(const std::string& message, bool json, const nlohmann::json& document) {
    printError(message);
    if (json)
        std::cout << writeJson(document) << '\n';
    return kExitRunFailed;
}

// Engine lines go to standard output, or to standard error when standard
// output carries the JSON document.
void connectLog(SyncEngine& engine, const RunRequest& request, ProgressLine& progress) {
    if (request.quiet)
        return;
    std::ostream& stream = request.json ? std::cerr : std::cout;
    engine.onLog = [&stream, &progress](const std::string& line) {
        progress.clear();
        stream << terminalSafe(line) << '\n' << std::flush;
    };
}

} // namespace

int executeSync(const RunRequest& request) {
    std::stop_source stop;
    const SignalWatcher signals(stop, SignalWatcher::FirstSignal::stopsAfterCurrentFile);
    ProgressLine progress;
    SyncEngine engine;
    connectLog(engine, request, progress);
    engine.onProgress = [&progress](const SyncProgress& snapshot) {
        progress.show(snapshot);
    };
    SyncResult result;
    try {
        result =
            engine.sync(request.source, request.destination, request.options, stop.get_token());
    } catch (const std::exception& error) {
        progress.clear();
        const auto failed = failedResult(error.what());
        return reportFailure(error.what(), request.json, toJson(failed));
    }
    progress.clear();
    if (request.json)
        std::cout << writeJson(toJson(result)) << '\n';
    else
        printSummary(result);
    if (result.status == SyncStatus::failed && result.errorMessage)
        printError(*result.errorMessage);
    return exitStatusOf(result);
}

int executePreview(const RunRequest& request) {
    const SignalWatcher signals(std::stop_source(), SignalWatcher::FirstSignal::endsAtOnce);
    SyncEngine engine;
    if (!request.quiet)
        engine.onLog = [](const std::string& line) {
            std::cerr << terminalSafe(line) << '\n';
        };
    std::vector<DiffItem> items;
    try {
        items = engine.preview(request.source, request.destination, request.options);
    } catch (const std::exception& error) {
        const auto failed = failedResult(error.what());
        return reportFailure(error.what(), request.json,
                             {{"items", nlohmann::json::array()}, {"result", toJson(failed)}});
    }
    const auto result = previewResult(items);
    if (request.json) {
        auto list = nlohmann::json::array();
        for (const auto& item : items)
            list.push_back({{"action", toString(item.action)},
                            {"relativePath", item.relativePath},
                            {"size", item.size}});
        std::cout << writeJson({{"items", list}, {"result", toJson(result)}}) << '\n';
        return kExitSuccess;
    }
    for (const auto& item : items) {
        if (item.action == DiffItem::Action::copy)
            std::cout << "copy " << item.size << ' ' << terminalSafe(item.relativePath) << '\n';
        else
            std::cout << "delete " << terminalSafe(item.relativePath) << '\n';
    }
    std::cout << result.filesCopied << " to copy (" << formatFileSize(result.bytesTransferred)
              << "), " << result.filesDeleted << " to delete\n";
    return kExitSuccess;
}

namespace {

// The request of the command line, completed from the store when it names a
// profile; no value (after saying why) when there is no such profile.
std::optional<RunRequest> completeRequest(const std::vector<std::string>& args) {
    RunRequest request = parseRunRequest(args);
    if (request.profile.empty())
        return request;
    if (const auto problem = applyProfile(request, openStoreForReading())) {
        printError(*problem);
        return std::nullopt;
    }
    return request;
}

} // namespace

int runSync(const std::vector<std::string>& args) {
    const auto request = completeRequest(args);
    return request ? executeSync(*request) : kExitRunFailed;
}

int runPreview(const std::vector<std::string>& args) {
    const auto request = completeRequest(args);
    return request ? executePreview(*request) : kExitRunFailed;
}

} // namespace quillfen::cli
