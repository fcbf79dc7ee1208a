#pragma once

#include "services/InotifyTree.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace quillfen {

// Calls `onChange` once after changes anywhere in a folder tree have stopped
// for a quiet period. Changes are collected for `latency` and handled as one
// batch; each batch restarts the quiet period. Everything happens on the
// thread that owns the object (the main thread), so `onChange` is called there.
class WatchService : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds kDefaultLatency{2000};
    static constexpr std::chrono::milliseconds kDefaultQuietPeriod{5000};

    explicit WatchService(std::chrono::milliseconds latency = kDefaultLatency,
                          std::chrono::milliseconds quietPeriod = kDefaultQuietPeriod,
                          QObject* parent = nullptr);
    ~WatchService() override;

    // Changes at or below this folder (the application's own data folder) are
    // never reported, so a source that contains it does not re-trigger on
    // every run's log and history. Takes effect at the next start().
    void setIgnoredFolder(const std::filesystem::path& folder);

    // Stops any current watch, then watches the tree at `path`. Only changes
    // made from now on are reported. Stays idle when the folder cannot be
    // watched.
    void start(const std::filesystem::path& path);
    // Ends the watch; a pending quiet period is dropped without a callback.
    void stop();
    bool isWatching() const;

    // Set by the owner; start() and stop() leave it alone.
    std::function<void()> onChange;

signals:
    // The watched folder went away (removed, or its file system unmounted):
    // isWatching() is now false. start() and stop() never emit it.
    void watchLost();

private:
    void readEvents();
    void walkSome();
    void deliverBatch();
    void quietPeriodEnded();

    std::chrono::milliseconds latency_;
    std::chrono::milliseconds quietPeriod_;
    std::filesystem::path ignoredFolder_;
    InotifyTree tree_;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer walkTimer_;
    QTimer latencyTimer_;
    QTimer quietTimer_;
};

} // namespace quillfen
