// A design document whose file operations and flags are scripted (over a
// real design's records), and a fixture that starts the application object
// against the recording fakes.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/MainFrm.h"
#include "app/Morvane.h"
#include "app/Splash.h"
#include "circuit/Doc.h"
#include "platform/ui/Fakes.h"
#include "records/Utils.h"

struct FakeDocState {
    std::vector<std::string> calls;
    bool openResult = true;
    bool saveResult = true;
    BOOL running = FALSE;
    BOOL loggingSwitch = FALSE;
    WORD topology = 999;
    WORD outputs = 1;
    BOOL modified = FALSE;
    // Runs while a file is read (where a load's message boxes come).
    std::function<void()> duringOpen;
};

class FakeDocument : public CDocumentHost {
public:
    explicit FakeDocument(FakeDocState& s) : s_(s) { design_.InitDefaults(); }
    BOOL OnNewDocument() override {
        s_.calls.push_back("new");
        return TRUE;
    }
    BOOL OnOpenDocument(const std::string& path) override {
        s_.calls.push_back("open " + path);
        if (s_.duringOpen) s_.duringOpen();
        return s_.openResult;
    }
    BOOL OnSaveDocument(const std::string& path) override {
        s_.calls.push_back("save " + path);
        return s_.saveResult;
    }
    BOOL IsModified() override { return s_.modified; }
    void SetModifiedFlag(BOOL m) override { s_.modified = m; }
    BOOL IsAnalysisRunning() override { return s_.running; }
    BOOL GetDataLoggingSwitch() override { return s_.loggingSwitch; }
    WORD GetControlSectionTopology() override { return s_.topology; }
    WORD GetNumberOfOutputs() override { return s_.outputs; }
    CPwrQuorraDoc& Design() override { return design_; }

private:
    FakeDocState& s_;
    CPwrQuorraDoc design_;
};

class FakeDocFactory : public CDocumentFactory {
public:
    explicit FakeDocFactory(FakeDocState& s) : s_(s) {}
    std::unique_ptr<CDocumentHost> CreateDocument() override { return std::make_unique<FakeDocument>(s_); }
    bool CanOpenFiles() const override { return canOpen; }
    bool CanSaveFiles() const override { return canSave; }
    bool canOpen = true;
    bool canSave = true;

private:
    FakeDocState& s_;
};

class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Tests run in parallel processes: each its own log.
        logPath_ = ::testing::TempDir() + "/PwrQuorra_app_test_" + std::to_string(getpid()) + ".log";
        std::remove(logPath_.c_str());
        SetLogPath(logPath_);
        ResetLogStarted();
        app_.SetDocumentFactory(&factory_);
    }
    void TearDown() override {
        SetLoggingQuery(nullptr);
        std::remove(logPath_.c_str());
        SetLogPath("PwrQuorra.log");
    }
    BOOL Start(const std::string& commandLine) {
        app_.SetCommandLine(commandLine);
        return app_.InitInstance();
    }
    std::string Log() {
        std::ifstream f(logPath_, std::ios::binary);
        std::stringstream ss;
        ss << f.rdbuf();
        return ss.str();
    }
    CMainFrame& Frame() { return *app_.GetMainFrame(); }

    fw::FakeUi ui_;
    FakeDocState doc_;
    FakeDocFactory factory_{doc_};
    std::string logPath_;
    CPwrQuorraApp app_;
};
