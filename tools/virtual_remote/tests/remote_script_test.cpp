#include "tools/virtual_remote/remote_script.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Kind = RemoteStep::Kind;

TEST(RemoteScript, MotionBytes) {
    struct Case {
        int delta;
        uint8_t horizontal;
        uint8_t vertical;
    } cases[] = {
        {0, 0, 0},    {1, 1, 254},   {-1, 254, 1},   {3, 3, 252},
        {-3, 252, 3}, {99, 99, 156}, {-99, 156, 99},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.delta);
        EXPECT_EQ(HorizontalMotionByte(c.delta), c.horizontal);
        EXPECT_EQ(VerticalMotionByte(c.delta), c.vertical);
    }
}

std::vector<RemoteStep> Parse(const std::string& script) {
    std::vector<RemoteStep> steps;
    std::string error;
    EXPECT_TRUE(ParseRemoteScript(script, &steps, &error)) << error;
    return steps;
}

std::vector<std::string> SentReports(const std::vector<RemoteStep>& steps) {
    std::vector<std::string> sent;
    for (const RemoteStep& step : steps) {
        if (step.kind == Kind::SendReport) {
            sent.push_back(FormatReport(step.report));
        }
    }
    return sent;
}

TEST(RemoteScript, CommandsBecomeReports) {
    struct Case {
        const char* script;
        std::vector<std::string> reports;
    } cases[] = {
        {"Power down", {"00 40 00 01 0F"}},
        {"power UP", {"00 40 01 01 0F"}},
        {"DVD down; Setup down; GoTo up", {"00 40 00 23 0F", "00 40 00 2E 0F", "00 40 01 24 0F"}},
        {"press Digit5", {"00 40 00 1B 0F", "00 40 01 1B 0F"}},
        {"pad move 10 -3", {"00 88 0A 03 00"}},
        {"pad left 0 0; pad right -1 1", {"00 89 00 00 00", "00 8A FE FE 00"}},
        {"raw 40 00 23", {"00 40 00 23 0F"}},
        {"raw 0x8a ff 7", {"00 8A FF 07 0F"}},
        {"  ; wait 5;; ", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        EXPECT_EQ(SentReports(Parse(c.script)), c.reports);
    }
}

TEST(RemoteScript, WaitsClientsAndPlugging) {
    auto steps =
        Parse("clients 2; Power down; wait 100; press VCR; unplug; wait 200; plug; clients 1");
    std::vector<std::pair<Kind, int>> expected = {
        {Kind::WaitForClients, 2}, {Kind::SendReport, 0}, {Kind::Wait, 100},
        {Kind::SendReport, 0},     {Kind::Wait, 50},      {Kind::SendReport, 0},
        {Kind::Unplug, 0},         {Kind::Wait, 200},     {Kind::Plug, 0},
        {Kind::WaitForClients, 1},
    };
    ASSERT_EQ(steps.size(), expected.size());
    for (size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(steps[i].kind, expected[i].first);
        EXPECT_EQ(steps[i].amount, expected[i].second);
    }
}

TEST(RemoteScript, WrongCommandsAreNamed) {
    struct Case {
        const char* script;
        const char* message;
    } cases[] = {
        {"Power down; jump 3", "script command 'jump 3': unknown command"},
        {"Power sideways", "script command 'Power sideways': expected 'Power down' or 'Power up'"},
        {"Powerr down", "script command 'Powerr down': unknown command"},
        {"press", "script command 'press': expected 'press BUTTON' with a button's name"},
        {"press Nothing",
         "script command 'press Nothing': expected 'press BUTTON' with a button's name"},
        {"wait", "script command 'wait': expected 'wait MILLISECONDS'"},
        {"wait -5", "script command 'wait -5': expected 'wait MILLISECONDS'"},
        {"wait 10ms", "script command 'wait 10ms': expected 'wait MILLISECONDS'"},
        {"clients x", "script command 'clients x': expected 'clients COUNT'"},
        {"pad move 100 0",
         "script command 'pad move 100 0': pad deltas are whole numbers from -99 to 99"},
        {"pad move 0 -100",
         "script command 'pad move 0 -100': pad deltas are whole numbers from -99 to 99"},
        {"pad jump 1 1", "script command 'pad jump 1 1': expected 'pad move|left|right DX DY'"},
        {"pad move 1", "script command 'pad move 1': expected 'pad move|left|right DX DY'"},
        {"raw 40 00", "script command 'raw 40 00': expected 'raw TYPE B2 B3' in hexadecimal"},
        {"raw 40 00 123",
         "script command 'raw 40 00 123': expected 'raw TYPE B2 B3' in hexadecimal"},
        {"raw 40 00 g1", "script command 'raw 40 00 g1': expected 'raw TYPE B2 B3' in hexadecimal"},
        {"unplug now", "script command 'unplug now': unknown command"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        std::vector<RemoteStep> steps;
        std::string error;
        EXPECT_FALSE(ParseRemoteScript(c.script, &steps, &error));
        EXPECT_EQ(error, c.message);
    }
}

TEST(RemoteScript, CommandLine) {
    RemoteOptions options;
    std::string error;
    ASSERT_TRUE(ParseRemoteOptions(
        {"--script", "press Power", "--product", "0xE006", "--no-window", "--hid"}, &options,
        &error))
        << error;
    EXPECT_TRUE(options.hasScript);
    EXPECT_EQ(options.script, "press Power");
    EXPECT_EQ(options.productId, 0xE006);
    EXPECT_FALSE(options.showWindow);
    EXPECT_TRUE(options.hid);

    RemoteOptions defaults;
    ASSERT_TRUE(ParseRemoteOptions({}, &defaults, &error));
    EXPECT_FALSE(defaults.hasScript);
    EXPECT_EQ(defaults.productId, 0xE001);
    EXPECT_TRUE(defaults.showWindow);
    EXPECT_FALSE(defaults.hid);

    for (std::vector<std::string> wrong : std::vector<std::vector<std::string>>{
             {"--script"}, {"--product", "E00Z"}, {"--product", "0x10000"}, {"--fast"}}) {
        RemoteOptions ignored;
        EXPECT_FALSE(ParseRemoteOptions(wrong, &ignored, &error)) << wrong[0];
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
