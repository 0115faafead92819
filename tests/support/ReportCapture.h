// A fixture that sees what reporting does: message boxes go to a recording
// sink, and every report is logged into a file of this process's own so that
// internal codes can be read back. The log's name carries the process id:
// test programs run in parallel never share a log.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/core/ReportSink.h"
#include "records/Utils.h"
#include "support/ReadFile.h"

namespace test_support {

inline std::string ProcessLogPath(const std::string& stem = "PwrQuorra_test") {
    return ::testing::TempDir() + stem + "_" + std::to_string(::getpid()) + ".log";
}

// How often needle stands in text (a logged line, a box).
inline int CountOf(const std::string& text, const std::string& needle) {
    int n = 0;
    for (size_t p = text.find(needle); p != std::string::npos; p = text.find(needle, p + needle.size())) ++n;
    return n;
}

// The log without the time line it starts with.
inline std::string AfterTimeLine(const std::string& log) {
    const size_t eol = log.find("\r\n");
    return eol == std::string::npos ? log : log.substr(eol + 2);
}

class ReportCaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::remove(logPath_.c_str());
        SetLogPath(logPath_);
        ResetLogStarted();
        ResetFileWarnings();
        SetLoggingQuery([] { return true; });
    }
    void TearDown() override {
        SetLoggingQuery(nullptr);
        std::remove(logPath_.c_str());
    }

    std::string Log() const { return ReadAll(logPath_); }
    // The next report starts a new log with its own time line.
    void RestartLog() {
        std::remove(logPath_.c_str());
        ResetLogStarted();
    }
    // As at the start of a new load: once-per-load warnings armed again, no
    // boxes seen, a new log.
    void NewLoad() {
        ResetFileWarnings();
        sink_.Clear();
        RestartLog();
    }

    fw::RecordingSink sink_;
    fw::ScopedReportSink scoped_{&sink_};
    const std::string logPath_ = ProcessLogPath();
};

}  // namespace test_support
