#include "services/ScheduleService.h"

#include "services/ScheduleCalculator.h"

#include <QPointer>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/timerfd.h>
#include <unistd.h>

namespace quillfen {
namespace {

using namespace std::chrono;

timespec toTimespec(Date date) {
    const auto sinceEpoch = date.time_since_epoch();
    const auto whole = floor<seconds>(sinceEpoch);
    timespec value{};
    value.tv_sec = static_cast<time_t>(whole.count());
    value.tv_nsec = static_cast<long>(duration_cast<nanoseconds>(sinceEpoch - whole).count());
    return value;
}

} // namespace

ScheduleService::ScheduleService(system_clock::duration clockOffset, QObject* parent)
    : QObject(parent), clockOffset_(clockOffset),
      timerFd_(::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC)) {
    if (timerFd_ < 0) {
        std::fprintf(stderr, "Quillfen: the schedule timer is unavailable: %s\n",
                     std::strerror(errno));
        return;
    }
    notifier_ = new QSocketNotifier(timerFd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &ScheduleService::timerReadable);
}

ScheduleService::~ScheduleService() {
    delete notifier_;
    if (timerFd_ >= 0)
        ::close(timerFd_);
}

void ScheduleService::configure(const AppPreferences& preferences, std::function<void()> onFire) {
    arm(preferences, std::move(onFire), currentTime());
}

void ScheduleService::stop() {
    ++arrangement_;
    onFire_ = nullptr;
    setTimer(std::nullopt);
}

std::optional<double> ScheduleService::nextFireInterval(const AppPreferences& preferences) const {
    return ScheduleCalculator::nextFireInterval(preferences, currentTime());
}

Date ScheduleService::currentTime() const {
    return now() + clockOffset_;
}

void ScheduleService::arm(const AppPreferences& preferences, std::function<void()> onFire,
                          Date now) {
    ++arrangement_;
    onFire_ = nullptr;
    std::optional<Date> fireDate;
    if (preferences.scheduleFrequency != ScheduleFrequency::never && preferences.scheduledProfileId)
        fireDate = ScheduleCalculator::nextFireDate(preferences, now);
    if (fireDate) {
        onFire_ = std::move(onFire);
        armedPreferences_ = preferences;
    }
    setTimer(fireDate);
}

void ScheduleService::setTimer(std::optional<Date> fireDate) {
    itimerspec setting{};
    int flags = 0;
    if (fireDate && timerFd_ >= 0) {
        setting.it_value = toTimespec(*fireDate - clockOffset_);
        flags = TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET;
    }
    // Setting a timer also discards an expiry not yet read, so a stopped
    // timer can never fire late.
    if (timerFd_ < 0 || ::timerfd_settime(timerFd_, flags, &setting, nullptr) != 0)
        fireDate = std::nullopt;
    if (fireDate == nextFireDate_)
        return;
    nextFireDate_ = fireDate;
    emit nextFireDateChanged();
}

void ScheduleService::timerReadable() {
    std::uint64_t expirations = 0;
    const ssize_t got = ::read(timerFd_, &expirations, sizeof expirations);
    if (got == static_cast<ssize_t>(sizeof expirations) && expirations > 0) {
        fire();
    } else if (got < 0 && errno == ECANCELED && nextFireDate_) {
        // The clock was set: the same wall-clock time is now a different
        // instant, so work it out again.
        arm(armedPreferences_, onFire_, currentTime());
    }
}

void ScheduleService::fire() {
    const std::uint64_t arrangement = arrangement_;
    const AppPreferences preferences = armedPreferences_;
    const auto callback = onFire_;
    // The timer fired at this instant or after it; counting from no earlier
    // makes sure one occurrence never fires twice.
    const Date firedAt = std::max(currentTime(), nextFireDate_.value_or(Date{}));
    QPointer<ScheduleService> self(this);
    if (callback)
        callback();
    if (self && arrangement_ == arrangement)
        arm(preferences, callback, firedAt);
}

} // namespace quillfen
