#include "services/WatchService.h"

#include <QSocketNotifier>

namespace quillfen {
namespace {

// Each slice of the initial walk keeps the event loop busy for about this
// long, so a huge tree never freezes the window.
constexpr std::chrono::milliseconds kWalkSlice{20};

void makeSingleShot(QTimer& timer, std::chrono::milliseconds interval) {
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(interval);
}

} // namespace

WatchService::WatchService(std::chrono::milliseconds latency, std::chrono::milliseconds quietPeriod,
                           QObject* parent)
    : QObject(parent), latency_(latency), quietPeriod_(quietPeriod) {
    makeSingleShot(walkTimer_, std::chrono::milliseconds(0));
    makeSingleShot(latencyTimer_, latency_);
    makeSingleShot(quietTimer_, quietPeriod_);
    connect(&walkTimer_, &QTimer::timeout, this, &WatchService::walkSome);
    connect(&latencyTimer_, &QTimer::timeout, this, &WatchService::deliverBatch);
    connect(&quietTimer_, &QTimer::timeout, this, &WatchService::quietPeriodEnded);
}

WatchService::~WatchService() {
    stop();
}

void WatchService::setIgnoredFolder(const std::filesystem::path& folder) {
    ignoredFolder_ = folder;
}

void WatchService::start(const std::filesystem::path& path) {
    stop();
    if (!tree_.open(path, ignoredFolder_))
        return;
    notifier_ = std::make_unique<QSocketNotifier>(tree_.fd(), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &WatchService::readEvents);
    walkTimer_.start();
}

void WatchService::stop() {
    walkTimer_.stop();
    latencyTimer_.stop();
    quietTimer_.stop();
    notifier_.reset();
    tree_.close();
}

bool WatchService::isWatching() const {
    return notifier_ && tree_.isRootWatched();
}

void WatchService::readEvents() {
    const bool wasWatching = isWatching();
    bool changed = tree_.readEvents();
    if (tree_.hasPendingWalk() && !walkTimer_.isActive())
        walkTimer_.start();
    // Like a latency-based event stream: the first change opens a batch that
    // is delivered once the latency has passed, whatever follows meanwhile.
    if (changed && !latencyTimer_.isActive())
        latencyTimer_.start();
    if (wasWatching && !isWatching())
        emit watchLost();
}

void WatchService::walkSome() {
    if (tree_.walkSome(kWalkSlice))
        walkTimer_.start();
}

void WatchService::deliverBatch() {
    quietTimer_.start();
}

void WatchService::quietPeriodEnded() {
    if (onChange)
        onChange();
}

} // namespace quillfen
