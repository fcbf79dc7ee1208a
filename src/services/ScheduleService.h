#pragma once

#include <QObject>

// Qt 6.4's moc cannot parse libstdc++'s <compare> (reached through Uuid.h)
// when it comes first; moc needs none of these declarations.
#ifndef Q_MOC_RUN
#include "records/AppPreferences.h"
#include "records/Date.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#endif

class QSocketNotifier;

namespace quillfen {

// Fires a callback at the next time the user's schedule names and then arms
// itself for the following occurrence, while the process runs.
//
// The timer is an absolute wall-clock timerfd on the main event loop, not a
// QTimer: a monotonic timer stops while the machine sleeps and would fire
// hours late after a night in suspend. An occurrence that passed during
// suspend fires on resume; a change of the system clock re-arms without
// firing.
class ScheduleService : public QObject {
    Q_OBJECT

public:
    // `clockOffset` shifts the service's idea of the current time against the
    // system clock; tests use it to stand a second before an occurrence.
    explicit ScheduleService(std::chrono::system_clock::duration clockOffset = {},
                             QObject* parent = nullptr);
    ~ScheduleService() override;

    // Cancels whatever is armed, then arms for the next occurrence when the
    // preferences name a frequency and a profile.
    void configure(const AppPreferences& preferences, std::function<void()> onFire);
    // Cancels the timer and drops the callback.
    void stop();

    // Seconds from now to the next occurrence; no value when there is none.
    std::optional<double> nextFireInterval(const AppPreferences& preferences) const;
    // When the armed timer fires; no value while nothing is armed.
    std::optional<Date> nextFireDate() const { return nextFireDate_; }

signals:
    // The next fire date was set, moved or cleared.
    void nextFireDateChanged();

private:
    Date currentTime() const;
    void arm(const AppPreferences& preferences, std::function<void()> onFire, Date now);
    void setTimer(std::optional<Date> fireDate);
    void timerReadable();
    void fire();

    std::chrono::system_clock::duration clockOffset_;
    int timerFd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    std::function<void()> onFire_;
    AppPreferences armedPreferences_;
    std::optional<Date> nextFireDate_;
    // Bumped by every configure and stop, so a callback that rearranges the
    // schedule is not overridden by the re-arm that follows it.
    std::uint64_t arrangement_ = 0;
};

} // namespace quillfen
