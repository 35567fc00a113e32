#pragma once
// The tray icon's changes on their way to the shell, which takes milliseconds for each, decided
// against the clock. A report shows "Got you!" a moment after it begins, once its first key
// events are out, for at least kBusyAtLeast or as long as reports keep coming; then the icon
// goes back to the state that holds at that time. So a burst of reports (the pad sends dozens a
// second) costs the shell one change as it begins and one as it ends, and a state the shell
// shows already is not sent again.

#include <chrono>
#include <deque>
#include <optional>

#include "tellwand/tray_icon.h"

using TrayClock = std::chrono::steady_clock;
using TrayTime = TrayClock::time_point;

// From a report's start to "Got you!": its first keys go out first, and it is still seen
// within 20 ms on a system whose waits end on a 15.6 ms tick.
constexpr auto kBusyDelay = std::chrono::milliseconds(4);
// Long enough to be seen, however short the report.
constexpr auto kBusyAtLeast = std::chrono::milliseconds(100);
// Reports closer than this keep "Got you!" up as one burst.
constexpr auto kBurstGap = std::chrono::milliseconds(50);

struct TrayChange {
    enum class Action { kAdd, kModify, kDelete };
    Action action = Action::kModify;
    TrayState state = TrayState::kEnabled;
};

class TrayChangeQueue {
  public:
    // The icon's state between reports: enabled or disabled. "Got you!" shows only over the
    // enabled state.
    void SetState(TrayState state);
    void Add();
    void Delete();
    void ReportBegins(TrayTime now);
    void ReportEnds(TrayTime now);

    // The next change the shell needs at `now`; none when the shell shows what it must.
    std::optional<TrayChange> Take(TrayTime now);
    // When Take will next have a change (a time already past: at once); none until one of the
    // calls above.
    std::optional<TrayTime> NextDue() const;

  private:
    enum class Busy { kNone, kDue, kShown };
    void FollowReports(TrayTime now);
    TrayState Wanted() const;

    std::deque<TrayChange::Action> pending_;  // adds and deletes, in order
    TrayState state_ = TrayState::kEnabled;
    std::optional<TrayState> shown_;  // none while the icon is not there
    Busy busy_ = Busy::kNone;
    bool reportRunning_ = false;
    TrayTime busyDueAt_;
    TrayTime busyUntil_;
    TrayTime lastReportEnd_;
};
