#include <gtest/gtest.h>
#include <shlobj.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/trace.h"
#include "base/trace_win32.h"
#include "testing/temp_folder_win32.h"

namespace {

std::vector<std::string> FileLines(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(file, line)) {
        EXPECT_EQ(line.back(), '\r') << line;
        line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// "<stamp> [<thread>] <message>"; the message of each line, in the file's order.
std::vector<std::string> Messages(const std::string& path) {
    static const std::regex kLine(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} \[\d+\] (.*))");
    std::vector<std::string> messages;
    for (const std::string& line : FileLines(path)) {
        std::smatch match;
        EXPECT_TRUE(std::regex_match(line, match, kLine)) << line;
        messages.push_back(match[1]);
    }
    return messages;
}

TEST(TraceFile, LinesOfSeveralThreadsArriveWholeAndEachThreadsInOrder) {
    TempFolder folder;
    std::string path = folder.path() + "Tellwand.log";
    ASSERT_TRUE(StartTraceFile(path));
    constexpr int kThreads = 4;
    constexpr int kLines = 300;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < kLines; ++i) {
                Trace("thread %d line %d", t, i);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    StopTracing();

    int next[kThreads] = {};
    std::vector<std::string> messages = Messages(path);
    ASSERT_EQ(messages.size(), static_cast<std::size_t>(kThreads * kLines));
    for (const std::string& message : messages) {
        int t = -1;
        int i = -1;
        ASSERT_EQ(std::sscanf(message.c_str(), "thread %d line %d", &t, &i), 2) << message;
        ASSERT_TRUE(t >= 0 && t < kThreads);
        EXPECT_EQ(i, next[t]++) << message;
    }
}

TEST(TraceFile, AFullFileIsKeptOnceAsDotOneAndNoLineIsLostBetween) {
    // Paced, the cap is met between writes; all at once, the writer takes chunks larger than
    // a whole file.
    for (bool paced : {true, false}) {
        SCOPED_TRACE(paced ? "paced" : "all at once");
        TempFolder folder;
        std::string path = folder.path() + "WandEdit.log";
        constexpr std::size_t kCap = 4096;
        ASSERT_TRUE(StartTraceFile(path, kCap));
        for (int i = 0; i < 400; ++i) {
            Trace("line %d", i);
            if (paced && i % 50 == 0) {
                Sleep(5);
            }
        }
        StopTracing();

        std::vector<std::string> kept = Messages(path + ".1");
        std::vector<std::string> current = Messages(path);
        ASSERT_FALSE(kept.empty());
        ASSERT_FALSE(current.empty());
        int lastKept = -1;
        int firstCurrent = -1;
        std::sscanf(kept.back().c_str(), "line %d", &lastKept);
        std::sscanf(current.front().c_str(), "line %d", &firstCurrent);
        EXPECT_EQ(firstCurrent, lastKept + 1);
        std::sscanf(current.back().c_str(), "line %d", &lastKept);
        EXPECT_EQ(lastKept, 399);
        for (const std::string& file : {path, path + ".1"}) {
            WIN32_FILE_ATTRIBUTE_DATA data = {};
            ASSERT_TRUE(GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data));
            EXPECT_LE(data.nFileSizeLow, kCap) << file;
        }
        EXPECT_FALSE(FileExists(path + ".1.1"));
        EXPECT_FALSE(FileExists(path + ".2"));
    }
}

TEST(TraceFile, AnErrorCarriesItsCodeAndTheSystemsTextAndStaysTheLastError) {
    TempFolder folder;
    std::string path = folder.path() + "Tellwand.log";
    ASSERT_TRUE(StartTraceFile(path));
    SetLastError(ERROR_FILE_NOT_FOUND);
    TraceLastError("CreateFileA of the receiver");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    TraceError("ReadFile", ERROR_ACCESS_DENIED);
    StopTracing();

    std::vector<std::string> messages = Messages(path);
    ASSERT_EQ(messages.size(), 2u);
    const std::string prefixes[] = {"CreateFileA of the receiver failed: error 2 (0x00000002) ",
                                    "ReadFile failed: error 5 (0x00000005) "};
    std::string texts[2];
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(messages[i].rfind(prefixes[i], 0), 0u) << messages[i];
        texts[i] = messages[i].substr(prefixes[i].size());
        EXPECT_FALSE(texts[i].empty());
        EXPECT_NE(texts[i], "(no text for it)");
        EXPECT_EQ(texts[i].find_first_of("\r\n"), std::string::npos);
    }
    EXPECT_NE(texts[0], texts[1]);
}

void SetTraceSetting(bool on) {
    if (!on) {
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kTraceSettingKey, kTraceSettingValue);
        return;
    }
    DWORD one = 1;
    RegSetKeyValueA(HKEY_CURRENT_USER, kTraceSettingKey, kTraceSettingValue, REG_DWORD, &one,
                    sizeof one);
}

TEST(TraceFile, TheDefaultFileIsWrittenOnlyWhenTheSwitchOrTheSettingAsks) {
    char appData[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, appData), S_OK);
    const std::string defaultFile = std::string(appData) + "\\VELQ Tellwand\\TraceTest.log";
    struct Row {
        std::vector<std::string> parameters;
        bool setting;
        bool written;
    };
    const Row rows[] = {
        {{}, false, false},         {{"15", "-s"}, false, false},
        {{"--trace"}, false, true}, {{"/trace"}, false, true},
        {{}, true, true},
    };
    for (const Row& row : rows) {
        DeleteFileA(defaultFile.c_str());
        SetTraceSetting(row.setting);
        StartTracing("TraceTest", row.parameters);
        SetTraceSetting(false);
        Trace("a line");
        StopTracing();
        EXPECT_EQ(FileExists(defaultFile), row.written)
            << ::testing::PrintToString(row.parameters) << " setting " << row.setting;
    }
    DeleteFileA(defaultFile.c_str());
    RemoveDirectoryA((std::string(appData) + "\\VELQ Tellwand").c_str());  // when it is empty
}

}  // namespace
