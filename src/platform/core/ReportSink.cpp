#include "platform/core/ReportSink.h"

#include <atomic>

namespace fw {

namespace {

class SilentSink : public ReportSink {
public:
    void MessageBox(const std::string&) override {}
    bool AskYesNo(const std::string&) override { return false; }
    void Beep() override {}
    bool PostToMainWindow(uint32_t, intptr_t, intptr_t) override { return false; }
};

SilentSink g_silent;
std::atomic<ReportSink*> g_sink{&g_silent};

}  // namespace

ReportSink& GetReportSink() { return *g_sink.load(); }

ReportSink* SetReportSink(ReportSink* sink) {
    ReportSink* prev = g_sink.exchange(sink ? sink : &g_silent);
    return prev == &g_silent ? nullptr : prev;
}

}  // namespace fw
