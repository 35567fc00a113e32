#include "tellwand/tray_changes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tellwand/tray_icon.h"

namespace {

using Action = TrayChange::Action;

const TrayChange kAdd = TrayChange::Make(Action::kAdd, kIconEnabled, kTipEnabled);
const TrayChange kBusy = TrayChange::Make(Action::kModify, kIconBusy, kTipBusy);
const TrayChange kIdle = TrayChange::Make(Action::kModify, kIconEnabled, kTipEnabled);
const TrayChange kOff = TrayChange::Make(Action::kModify, kIconDisabled, kTipDisabled);
const TrayChange kDelete = TrayChange::Make(Action::kDelete, 0, nullptr);

std::string Name(const TrayChange& change) {
    switch (change.action) {
        case Action::kAdd:
            return std::string("add ") + change.tip;
        case Action::kDelete:
            return "delete";
        case Action::kModify:
            break;
    }
    return change.tip;
}

std::vector<std::string> TakeAll(TrayChangeQueue& queue) {
    std::vector<std::string> sent;
    while (std::optional<TrayChange> change = queue.Take()) {
        sent.push_back(Name(*change));
    }
    return sent;
}

TEST(TrayChanges, WhatReachesTheShellOfChangesThatCameBeforeItWasFree) {
    struct Case {
        const char* what;
        std::vector<TrayChange> pushed;
        std::vector<std::string> sent;
    };
    const Case cases[] = {
        {"one report: its short busy state is still seen",
         {kAdd, kBusy, kIdle},
         {"add VELQ Tellwand", "Got you!", "VELQ Tellwand"}},
        {"a burst of reports: the first state and the latest",
         {kAdd, kBusy, kIdle, kBusy, kIdle, kBusy, kIdle},
         {"add VELQ Tellwand", "Got you!", "VELQ Tellwand"}},
        {"a burst ending disabled ends disabled",
         {kAdd, kBusy, kIdle, kBusy, kOff},
         {"add VELQ Tellwand", "Got you!", "Disabled"}},
        {"the state the shell shows is not sent again",
         {kAdd, kIdle, kIdle},
         {"add VELQ Tellwand"}},
        {"an add is never folded into a change of state",
         {kAdd, kBusy, kIdle, kAdd, kBusy, kOff},
         {"add VELQ Tellwand", "Got you!", "VELQ Tellwand", "add VELQ Tellwand", "Got you!",
          "Disabled"}},
        {"the delete comes last, after the latest state",
         {kAdd, kBusy, kOff, kBusy, kDelete},
         {"add VELQ Tellwand", "Got you!", "delete"}},
    };
    for (const Case& c : cases) {
        TrayChangeQueue queue;
        for (const TrayChange& change : c.pushed) {
            queue.Push(change);
        }
        EXPECT_EQ(TakeAll(queue), c.sent) << c.what;
    }
}

TEST(TrayChanges, ChangesArrivingWhileTheShellWorksAreFoldedAgainstWhatItShows) {
    TrayChangeQueue queue;
    queue.Push(kAdd);
    queue.Push(kBusy);
    EXPECT_EQ(TakeAll(queue), (std::vector<std::string>{"add VELQ Tellwand", "Got you!"}));
    // Back to idle and busy again before the shell was free: busy is what it shows already.
    queue.Push(kIdle);
    queue.Push(kBusy);
    EXPECT_TRUE(queue.NextIsModify());
    EXPECT_EQ(TakeAll(queue), (std::vector<std::string>{"VELQ Tellwand", "Got you!"}));
    queue.Push(kBusy);
    EXPECT_EQ(TakeAll(queue), std::vector<std::string>{});
}

TEST(TrayChanges, ALongTipIsCutInsideItsBuffer) {
    std::string tip(200, 'x');
    TrayChange change = TrayChange::Make(Action::kModify, kIconBusy, tip.c_str());
    EXPECT_EQ(std::string(change.tip), tip.substr(0, kTrayTipSize - 1));
}

}  // namespace
