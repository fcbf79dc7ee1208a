#include "services/LogService.h"

#include "records/TextFormat.h"
#include "storage/AtomicFile.h"
#include "storage/StorageService.h"

#include <ctime>
#include <fcntl.h>
#include <set>
#include <system_error>
#include <unistd.h>

namespace quillfen {
namespace {

std::string headerText(std::string_view started, RunMode mode, std::string_view source,
                       std::string_view destination) {
    std::string text = "Quillfen Log\n";
    text.append("Started:     ").append(started).append("\n");
    text.append("Mode:        ")
        .append(mode == RunMode::preview ? "Preview (dry run)" : "Sync")
        .append("\n");
    text.append("Source:      ").append(source).append("\n");
    text.append("Destination: ").append(destination).append("\n");
    text.append(LogService::kSeparator).append("\n");
    return text;
}

std::string footerText(const SyncResult& result, std::string_view finished) {
    std::string text(LogService::kSeparator);
    text.append("\n").append(result.summaryLines());
    text.append("\nFinished:    ").append(finished);
    return text;
}

} // namespace

LogService::LogService(LogsDirectoryProvider logsDirectory, LiveLogNamesProvider liveLogNames,
                       Clock clock)
    : logsDirectory_(std::move(logsDirectory)), liveLogNames_(std::move(liveLogNames)),
      clock_(std::move(clock)) {}

LogService::LogService(StorageService& storage)
    : LogService([&storage] { return storage.logsDirectory(); },
                 [&storage] {
                     std::vector<std::string> names;
                     for (const auto& entry : storage.history()) {
                         if (entry.logFileName)
                             names.push_back(*entry.logFileName);
                     }
                     return names;
                 }) {}

LogService& LogService::shared() {
    static LogService* const instance = new LogService(StorageService::shared());
    return *instance;
}

LogService::~LogService() {
    for (const auto& [path, fd] : activeHandles_)
        ::close(fd);
}

std::filesystem::path LogService::openLog(const Uuid& id, RunMode mode, std::string_view source,
                                          std::string_view destination) {
    const auto location = logsDirectory_() / (id.toString() + ".log");
    // A log opened again under the same name starts over; the old handle
    // must not leak.
    abandonLog(location);
    if (!writeFileAtomically(location, headerText(timestamp(), mode, source, destination)))
        return location;
    const int fd = ::open(location.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW);
    if (fd >= 0) {
        std::lock_guard lock(mutex_);
        activeHandles_[location.string()] = fd;
    }
    return location;
}

void LogService::writeLine(std::string_view message, const std::filesystem::path& location) {
    std::string line = "[" + timestamp() + "] ";
    line.append(message).append("\n");
    append(location, line, AfterAppending::keepOpen);
}

void LogService::closeLog(const SyncResult& result, const std::filesystem::path& location) {
    append(location, footerText(result, timestamp()), AfterAppending::close);
}

void LogService::abandonLog(const std::filesystem::path& location) {
    append(location, {}, AfterAppending::close);
}

void LogService::removeOrphanedLogs() {
    const auto directory = logsDirectory_();
    std::error_code error;
    std::vector<std::filesystem::path> items;
    for (std::filesystem::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error))
        items.push_back(it->path());
    // Only a complete listing is acted upon.
    if (error)
        return;
    const auto names = liveLogNames_();
    const std::set<std::string> live(names.begin(), names.end());
    for (const auto& item : items) {
        if (live.contains(item.filename().string()) || isOpen(item))
            continue;
        // remove_all removes a symbolic link itself, never what it points to.
        std::filesystem::remove_all(item, error);
    }
}

// A run of many small files writes thousands of lines a second: the text of
// a second is made once.
std::string LogService::timestamp() const {
    const Date date = clock_();
    const auto second = std::chrono::floor<std::chrono::seconds>(date);
    std::lock_guard lock(stampMutex_);
    if (stamp_.empty() || second != stampSecond_) {
        stamp_ = formatLocalDateTime(date);
        stampSecond_ = second;
    }
    return stamp_;
}

void LogService::append(const std::filesystem::path& location, std::string_view text,
                        AfterAppending after) {
    std::lock_guard lock(mutex_);
    const auto handle = activeHandles_.find(location.native());
    if (handle == activeHandles_.end())
        return;
    // One write() per line, so a crash never leaves half a line. A failed
    // append is dropped: the run goes on, and the next line may succeed.
    if (!text.empty()) {
        const ssize_t written = ::write(handle->second, text.data(), text.size());
        static_cast<void>(written);
    }
    if (after == AfterAppending::keepOpen)
        return;
    ::close(handle->second);
    activeHandles_.erase(handle);
}

bool LogService::isOpen(const std::filesystem::path& location) const {
    std::lock_guard lock(mutex_);
    return activeHandles_.contains(location.native());
}

} // namespace quillfen
