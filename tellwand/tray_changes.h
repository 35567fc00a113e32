#pragma once
// The tray icon's changes on their way to the shell, which takes milliseconds for each. Changes
// of the icon's state are folded: a burst (the pad sends dozens of reports a second, each
// showing the busy icon and then the idle one) reaches the shell as its first state and its
// latest, so the short busy state is still seen and the icon ends where it must; a state the
// shell already shows is not sent again.

#include <cstddef>
#include <deque>
#include <optional>

constexpr std::size_t kTrayTipSize = 64;

struct TrayChange {
    enum class Action { kAdd, kModify, kDelete };
    Action action = Action::kModify;
    int icon = 0;
    char tip[kTrayTipSize] = {};

    static TrayChange Make(Action action, int icon, const char* tip);
    bool SameState(const TrayChange& other) const;
};

class TrayChangeQueue {
  public:
    void Push(const TrayChange& change);
    // The next change the shell needs, taken off the queue; none when the queue holds nothing
    // the shell does not already show.
    std::optional<TrayChange> Take();
    bool NextIsModify() const;

  private:
    std::deque<TrayChange> pending_;
    std::optional<TrayChange> shown_;
};
