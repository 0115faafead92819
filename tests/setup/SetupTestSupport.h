// Shared fixture of the setup dialog tests: the recording user-interface
// fakes, and logging on into the test's temporary folder so that internal
// codes can be seen.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/ui/Fakes.h"
#include "support/ReportCapture.h"

// The fakes install their own recording sink over the capture's, so the
// dialogs' boxes land in ui.sink.
class DialogTest : public test_support::ReportCaptureTest {
protected:
    // moduleText: the module's text before the code, e.g. "PartsSrc:  CODE ".
    bool Logged(const std::string& moduleText, int code) const {
        return Log().find(moduleText + std::to_string(code) + "\r\n") != std::string::npos;
    }
    bool LoggedAnyCode() const { return Log().find("CODE") != std::string::npos; }
    void ClearLogAndBoxes() {
        RestartLog();
        ui.sink.Clear();
    }

    fw::FakeUi ui;
};
