#include "tellwand/tray_changes.h"

#include <cstring>

namespace {

bool IsModify(const TrayChange& change) {
    return change.action == TrayChange::Action::kModify;
}

}  // namespace

TrayChange TrayChange::Make(Action action, int icon, const char* tip) {
    TrayChange change;
    change.action = action;
    change.icon = icon;
    if (tip != nullptr) {
        std::strncpy(change.tip, tip, sizeof change.tip - 1);
    }
    return change;
}

bool TrayChange::SameState(const TrayChange& other) const {
    return icon == other.icon && std::strcmp(tip, other.tip) == 0;
}

void TrayChangeQueue::Push(const TrayChange& change) {
    if (IsModify(change) && !pending_.empty() && IsModify(pending_.back())) {
        if (pending_.back().SameState(change)) {
            return;
        }
        // Two states waiting already: the first stays to be seen, the latest replaces the rest.
        if (pending_.size() >= 2 && IsModify(pending_[pending_.size() - 2])) {
            pending_.back() = change;
            return;
        }
    }
    pending_.push_back(change);
}

std::optional<TrayChange> TrayChangeQueue::Take() {
    while (!pending_.empty()) {
        TrayChange change = pending_.front();
        pending_.pop_front();
        if (IsModify(change) && shown_ && shown_->SameState(change)) {
            continue;
        }
        if (change.action == TrayChange::Action::kDelete) {
            shown_.reset();
        } else {
            shown_ = change;
        }
        return change;
    }
    return std::nullopt;
}

bool TrayChangeQueue::NextIsModify() const {
    return !pending_.empty() && IsModify(pending_.front());
}
