#pragma once

#include "records/Date.h"
#include "records/SyncResult.h"
#include "records/Uuid.h"
#include "services/RunKind.h"

#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen {

class StorageService;

// One plain-text log file per run: a header when the run starts, a
// timestamped line for each engine message, a footer with the result.
//
// Log files are bytes: paths and messages are written exactly as they come,
// so a file name that is not valid UTF-8 appears in the log as the name it
// really is. Every line goes to the file in one append, so a crash can cut a
// log short but never leaves half a line.
class LogService {
public:
    using LogsDirectoryProvider = std::function<std::filesystem::path()>;
    using LiveLogNamesProvider = std::function<std::vector<std::string>()>;
    using Clock = std::function<Date()>;

    static constexpr std::string_view kSeparator = "----------------------------------------";

    // `logsDirectory` gives (and creates) the Logs folder; `liveLogNames`
    // gives the log file names that the history still refers to.
    LogService(LogsDirectoryProvider logsDirectory, LiveLogNamesProvider liveLogNames,
               Clock clock = &now);
    // Over a store's Logs folder and history.
    explicit LogService(StorageService& storage);
    // Open logs are closed without a footer.
    ~LogService();
    LogService(const LogService&) = delete;
    LogService& operator=(const LogService&) = delete;

    // The process-wide instance over StorageService::shared(), made on first
    // use. It is never destroyed: quitting does not wait for a run's worker
    // thread, which may still be writing its last lines during exit.
    static LogService& shared();

    // Writes the header as a new file (replacing one of that name) and keeps
    // it open for appending. Returns the location even when writing failed.
    std::filesystem::path openLog(const Uuid& id, RunMode mode, std::string_view source,
                                  std::string_view destination);
    // Appends one timestamped line; safe from any thread. Nothing happens
    // when the location has no open log.
    void writeLine(std::string_view message, const std::filesystem::path& location);
    // Appends the footer and closes the log; a second call does nothing.
    void closeLog(const SyncResult& result, const std::filesystem::path& location);
    // Closes the log without a footer.
    void abandonLog(const std::filesystem::path& location);
    // Removes from the Logs folder everything, files and folders, that is
    // neither named by the history nor open.
    void removeOrphanedLogs();

private:
    enum class AfterAppending { keepOpen, close };

    std::string timestamp() const;
    void append(const std::filesystem::path& location, std::string_view text, AfterAppending after);
    bool isOpen(const std::filesystem::path& location) const;

    LogsDirectoryProvider logsDirectory_;
    LiveLogNamesProvider liveLogNames_;
    Clock clock_;
    mutable std::mutex stampMutex_; // guards the two below
    mutable Date stampSecond_;
    mutable std::string stamp_;
    mutable std::mutex mutex_;
    // Full path text → append-only file descriptor.
    std::map<std::string, int> activeHandles_;
};

} // namespace quillfen
