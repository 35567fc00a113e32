#include "tellwand/tray_changes.h"

#include <algorithm>

void TrayChangeQueue::SetState(TrayState state) {
    state_ = state;
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
    TrayState wanted = Wanted();
    if (!pending_.empty()) {
        TrayChange change{pending_.front(), wanted};
        pending_.pop_front();
        if (change.action == TrayChange::Action::kDelete) {
            shown_.reset();
        } else {
            shown_ = wanted;
        }
        return change;
    }
    if (!shown_ || *shown_ == wanted) {
        return std::nullopt;
    }
    shown_ = wanted;
    return TrayChange{TrayChange::Action::kModify, wanted};
}

std::optional<TrayTime> TrayChangeQueue::NextDue() const {
    if (!pending_.empty() || (shown_ && *shown_ != Wanted())) {
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

// "Got you!" shows only over the enabled state.
TrayState TrayChangeQueue::Wanted() const {
    bool busy = busy_ == Busy::kShown && state_ == TrayState::kEnabled;
    return busy ? TrayState::kBusy : state_;
}
