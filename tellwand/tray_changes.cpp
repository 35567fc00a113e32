#include "tellwand/tray_changes.h"

#include <algorithm>

TrayChange TrayChange::Make(Action action, TrayState state) {
    TrayChange change;
    change.action = action;
    change.state = state;
    return change;
}

void TrayChangeQueue::SetState(TrayState state) {
    state_ = TrayChange::Make(TrayChange::Action::kModify, state);
}

void TrayChangeQueue::Add() {
    pending_.push_back(TrayChange::Action::kAdd);
}

void TrayChangeQueue::Delete() {
    pending_.push_back(TrayChange::Action::kDelete);
}

void TrayChangeQueue::ReportBegins(TrayTime now) {
    reportRunning_ = true;
    if (busy_ == Busy::kNone) {
        busy_ = Busy::kDue;
        busyDueAt_ = now + kBusyDelay;
    }
}

void TrayChangeQueue::ReportEnds(TrayTime now) {
    reportRunning_ = false;
    lastReportEnd_ = now;
}

std::optional<TrayChange> TrayChangeQueue::Take(TrayTime now) {
    FollowReports(now);
    if (!pending_.empty()) {
        TrayChange change = Wanted();
        change.action = pending_.front();
        pending_.pop_front();
        if (change.action == TrayChange::Action::kDelete) {
            shown_.reset();
        } else {
            shown_ = change;
        }
        return change;
    }
    TrayChange wanted = Wanted();
    if (!shown_ || shown_->SameState(wanted)) {
        return std::nullopt;
    }
    shown_ = wanted;
    return wanted;
}

std::optional<TrayTime> TrayChangeQueue::NextDue() const {
    if (!pending_.empty() || (shown_ && !shown_->SameState(Wanted()))) {
        return TrayTime::min();
    }
    if (busy_ == Busy::kDue) {
        return busyDueAt_;
    }
    if (busy_ == Busy::kShown && !reportRunning_) {
        return std::max(busyUntil_, lastReportEnd_ + kBurstGap);
    }
    return std::nullopt;
}

// "Got you!" comes once it is due and goes once it was seen long enough and the burst is over.
void TrayChangeQueue::FollowReports(TrayTime now) {
    if (busy_ == Busy::kDue && now >= busyDueAt_) {
        busy_ = Busy::kShown;
        busyUntil_ = now + kBusyAtLeast;
    }
    if (busy_ == Busy::kShown && !reportRunning_ && now >= busyUntil_ &&
        now >= lastReportEnd_ + kBurstGap) {
        busy_ = Busy::kNone;
    }
}

bool TrayChangeQueue::ShowsBusy() const {
    return busy_ == Busy::kShown && state_.state == TrayState::kEnabled;
}

TrayChange TrayChangeQueue::Wanted() const {
    return ShowsBusy() ? TrayChange::Make(TrayChange::Action::kModify, TrayState::kBusy) : state_;
}
