#pragma once
// A program of an end-to-end test started with its trace on, into the test's folder. When it
// goes while the test has failed, its trace is printed: a red test shows what the program did.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "testing/e2e_win32.h"
#include "testing/file_bytes.h"

class TracedProcess : public ChildProcess {
  public:
    TracedProcess() = default;
    ~TracedProcess() {
        Kill();
        if (::testing::Test::HasFailure()) {
            PrintTrace();
        }
    }

    // As ChildProcess::Start, with "--trace=<folder><program>.log" first on the command line.
    bool Start(const std::string& program, const std::string& arguments,
               const std::string& folder) {
        std::string name = program.substr(program.rfind('\\') + 1);
        trace_ = folder + name.substr(0, name.rfind('.')) + ".log";
        std::string traced = "\"--trace=" + trace_ + "\"";
        return ChildProcess::Start(program, arguments.empty() ? traced : traced + " " + arguments,
                                   folder);
    }

    // The trace so far (the program writes it on a thread of its own, a moment later).
    std::string Trace() const { return ReadFileBytes(trace_); }

    // Waits until the trace holds each text, in this order.
    bool WaitForTraceLines(const std::vector<std::string>& texts, DWORD timeoutMs = 5000) const {
        return PumpUntil([&] { return HoldsInOrder(Trace(), texts); }, timeoutMs);
    }

    void PrintTrace() const {
        std::printf("---- trace %s ----\n%s---- end of trace ----\n", trace_.c_str(),
                    Trace().c_str());
    }

  private:
    static bool HoldsInOrder(const std::string& text, const std::vector<std::string>& texts) {
        std::size_t at = 0;
        for (const std::string& wanted : texts) {
            at = text.find(wanted, at);
            if (at == std::string::npos) {
                return false;
            }
        }
        return true;
    }

    std::string trace_;
};
