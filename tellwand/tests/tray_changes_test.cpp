#include "tellwand/tray_changes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "tellwand/tray_icon.h"

namespace {

using Action = TrayChange::Action;

enum class Event { kAdd, kDelete, kBegin, kEnd, kEnable, kDisable };

struct Timed {
    int ms;
    Event event;
};

struct Sent {
    int ms;
    std::string what;
};

std::string Name(const TrayChange& change) {
    switch (change.action) {
        case Action::kAdd:
            return std::string("add ") + TipOf(change.state);
        case Action::kDelete:
            return "delete";
        case Action::kModify:
            break;
    }
    return TipOf(change.state);
}

void Apply(TrayChangeQueue& queue, Event event, TrayTime now) {
    switch (event) {
        case Event::kAdd:
            return queue.Add();
        case Event::kDelete:
            return queue.Delete();
        case Event::kBegin:
            return queue.ReportBegins(now);
        case Event::kEnd:
            return queue.ReportEnds(now);
        case Event::kEnable:
            return queue.SetState(TrayState::kEnabled);
        case Event::kDisable:
            return queue.SetState(TrayState::kDisabled);
    }
}

// Runs the queue as the icon thread does, a millisecond at a time: the thread looks only when
// what it waits for is due or when a caller woke it for something due sooner.
std::vector<Sent> RunIconThread(std::vector<Timed> events, int untilMs) {
    std::sort(events.begin(), events.end(),
              [](const Timed& a, const Timed& b) { return a.ms < b.ms; });
    TrayChangeQueue queue;
    queue.SetState(TrayState::kEnabled);
    const TrayTime start{};
    auto at = [&](int ms) { return start + std::chrono::milliseconds(ms); };
    TrayTime threadLooksAt = TrayTime::max();
    std::vector<Sent> sent;
    std::size_t next = 0;
    for (int ms = 0; ms <= untilMs; ++ms) {
        for (; next < events.size() && events[next].ms == ms; ++next) {
            Apply(queue, events[next].event, at(ms));
            std::optional<TrayTime> due = queue.NextDue();
            if (due && *due < threadLooksAt) {
                threadLooksAt = *due;
            }
        }
        if (at(ms) < threadLooksAt) {
            continue;
        }
        while (std::optional<TrayChange> change = queue.Take(at(ms))) {
            sent.push_back({ms, Name(*change)});
        }
        threadLooksAt = queue.NextDue().value_or(TrayTime::max());
    }
    return sent;
}

std::vector<std::string> Texts(const std::vector<Sent>& sent) {
    std::vector<std::string> texts;
    for (const Sent& s : sent) {
        texts.push_back(std::to_string(s.ms) + " " + s.what);
    }
    return texts;
}

// Reports `gapMs` apart, each `lengthMs` long, the first at 10 ms.
std::vector<Timed> Reports(int count, int gapMs, int lengthMs) {
    std::vector<Timed> events = {{0, Event::kAdd}};
    for (int i = 0; i < count; ++i) {
        events.push_back({10 + i * gapMs, Event::kBegin});
        events.push_back({10 + i * gapMs + lengthMs, Event::kEnd});
    }
    return events;
}

TEST(TrayChanges, WhatReachesTheShellAndWhen) {
    struct Case {
        const char* what;
        std::vector<Timed> events;
        std::vector<std::string> sent;
    };
    const Case cases[] = {
        {"one press: \"Got you!\" after its keys, seen for 100 ms",
         Reports(1, 0, 1),
         {"0 add VELQ Tellwand", "14 Got you!", "114 VELQ Tellwand"}},
        {"a slow report (a launch button): \"Got you!\" as long as it lasts",
         Reports(1, 0, 1000),
         {"0 add VELQ Tellwand", "14 Got you!", "1060 VELQ Tellwand"}},
        {"50 pad reports: one change as the burst begins, one as it ends",
         Reports(50, 10, 1),
         {"0 add VELQ Tellwand", "14 Got you!", "551 VELQ Tellwand"}},
        {"presses a second apart: each one seen",
         Reports(2, 1000, 60),
         {"0 add VELQ Tellwand", "14 Got you!", "120 VELQ Tellwand", "1014 Got you!",
          "1120 VELQ Tellwand"}},
        {"Disable during a report: the report ends disabled",
         {{0, Event::kAdd}, {10, Event::kBegin}, {30, Event::kDisable}, {1010, Event::kEnd}},
         {"0 add VELQ Tellwand", "14 Got you!", "30 Disabled"}},
        {"Disable and Enable during a report: busy again until it ends",
         {{0, Event::kAdd},
          {10, Event::kBegin},
          {30, Event::kDisable},
          {40, Event::kEnable},
          {500, Event::kEnd}},
         {"0 add VELQ Tellwand", "14 Got you!", "30 Disabled", "40 Got you!", "550 VELQ Tellwand"}},
        {"a report that raced Disable shows nothing",
         {{0, Event::kAdd}, {5, Event::kDisable}, {10, Event::kBegin}, {11, Event::kEnd}},
         {"0 add VELQ Tellwand", "5 Disabled"}},
        {"the taskbar restarted during a report: the icon comes back as it is",
         {{0, Event::kAdd}, {10, Event::kBegin}, {50, Event::kAdd}, {60, Event::kEnd}},
         {"0 add VELQ Tellwand", "14 Got you!", "50 add Got you!", "114 VELQ Tellwand"}},
        {"the delete comes at once and nothing follows it",
         {{0, Event::kAdd}, {10, Event::kBegin}, {20, Event::kDelete}, {21, Event::kEnd}},
         {"0 add VELQ Tellwand", "14 Got you!", "20 delete"}},
        {"reports before the icon is added show in the add",
         {{10, Event::kBegin}, {12, Event::kAdd}, {13, Event::kEnd}},
         {"12 add VELQ Tellwand", "14 Got you!", "114 VELQ Tellwand"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Texts(RunIconThread(c.events, 3000)), c.sent) << c.what;
    }
}

// Reports of every rhythm: each shows "Got you!" within 20 ms of its start, the shell gets at
// most two changes in any 100 ms, and the icon ends idle.
TEST(TrayChanges, AnyRhythmOfReportsIsSeenAndCostsAtMostTwoChangesPer100Ms) {
    std::mt19937 random(26);
    for (int round = 0; round < 20; ++round) {
        std::vector<Timed> events = {{0, Event::kAdd}};
        std::vector<int> starts;
        int ms = 1;
        for (int report = 0; report < 60; ++report) {
            ms += 1 + static_cast<int>(random() % 150);
            starts.push_back(ms);
            events.push_back({ms, Event::kBegin});
            ms += static_cast<int>(random() % 80);
            events.push_back({ms, Event::kEnd});
        }
        std::vector<Sent> sent = RunIconThread(events, ms + 500);
        SCOPED_TRACE(::testing::Message() << "round " << round);
        for (std::size_t i = 2; i < sent.size(); ++i) {
            EXPECT_GE(sent[i].ms - sent[i - 2].ms, 100) << "change at " << sent[i].ms;
        }
        for (int start : starts) {
            auto shownBy = std::find_if(sent.rbegin(), sent.rend(),
                                        [&](const Sent& s) { return s.ms <= start + 20; });
            ASSERT_NE(shownBy, sent.rend());
            EXPECT_EQ(shownBy->what, kTipBusy) << "report at " << start;
        }
        EXPECT_EQ(sent.back().what, kTipEnabled);
    }
}

}  // namespace
