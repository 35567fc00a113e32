#include "base/trace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string>* g_received = nullptr;

void Receive(const char* message, std::size_t length) {
    g_received->emplace_back(message, length);
}

TEST(Trace, FormatsAndSendsOnlyWhileASinkIsInstalled) {
    std::vector<std::string> received;
    g_received = &received;
    Trace("before %d", 1);
    EXPECT_FALSE(TraceOn());

    SetTraceSink(Receive);
    const unsigned char report[] = {0x00, 0x40, 0x01, 0x1F, 0x0F};
    Trace("report %s button %d", HexBytes(report, sizeof report).c_str(), 7);
    Trace("%s", std::string(2000, 'x').c_str());
    SetTraceSink(nullptr);
    Trace("after");

    EXPECT_EQ(received,
              (std::vector<std::string>{"report 00 40 01 1F 0F button 7", std::string(511, 'x')}));
}

TEST(Trace, TheSwitchOrThePerUserSettingChooseTheFile) {
    struct Row {
        std::vector<std::string> parameters;
        bool setting;
        const char* file;
    };
    const Row rows[] = {
        {{}, false, ""},
        {{"15"}, false, ""},
        {{"--tracer", "trace", "-trace", "/tracing=x"}, false, ""},
        {{}, true, "D"},
        {{"--trace"}, false, "D"},
        {{"/TRACE="}, false, "D"},
        {{"15", "--trace=C:\\t w\\w.log"}, false, "C:\\t w\\w.log"},
        {{"/Trace=x.log", "15"}, true, "x.log"},
        {{"--trace=a.log", "--trace=b.log"}, false, "b.log"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ChooseTraceFile(row.parameters, row.setting, "D"), row.file)
            << ::testing::PrintToString(row.parameters) << " setting " << row.setting;
    }
}

}  // namespace
