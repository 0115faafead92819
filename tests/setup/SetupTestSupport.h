// Shared fixture of the setup dialog tests: the recording user-interface
// fakes, and logging on into the test's temporary folder so that internal
// codes can be seen.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/ui/Fakes.h"
#include "records/Utils.h"

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        logPath_ = ::testing::TempDir() + "/PwrQuorra_setup_tests.log";
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
    std::string Log() const {
        std::ifstream f(logPath_, std::ios::binary);
        std::stringstream ss;
        ss << f.rdbuf();
        return ss.str();
    }
    // moduleText: the module's text before the code, e.g. "PartsSrc:  CODE ".
    bool Logged(const std::string& moduleText, int code) const {
        return Log().find(moduleText + std::to_string(code) + "\r\n") != std::string::npos;
    }
    bool LoggedAnyCode() const { return Log().find("CODE") != std::string::npos; }
    void ClearLogAndBoxes() {
        std::remove(logPath_.c_str());
        ResetLogStarted();
        ui.sink.Clear();
    }

    fw::FakeUi ui;
    std::string logPath_;
};
