#include "records/Utils.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <locale.h>
#include <time.h>
#include <mutex>

#include "platform/core/Archive.h"
#include "platform/core/Format.h"
#include "platform/core/FpStatus.h"
#include "platform/core/ReportSink.h"
#include "resources/StringTable.h"

namespace {

constexpr UINT kUnrecoverableError = 52148;
constexpr UINT kUtilsModule = 56082;
constexpr UINT kValuesLine = 56083;
constexpr int kCodeUnknownId = 10002;

// The log is written under a lock so that two threads cannot both truncate it.
std::mutex g_logMutex;
bool g_logStarted = false;
std::string g_logPath = "PwrQuorra.log";
std::function<bool()> g_loggingQuery;

std::atomic<int> g_fileWarningShown{0};
std::atomic<int> g_olderVersionShown{0};
std::atomic<int> g_firstBoxShown{0};

bool LoggingOn() {
    std::function<bool()> q;
    {
        std::lock_guard<std::mutex> lock(g_logMutex);
        q = g_loggingQuery;
    }
    return q && q();
}

void Deliver(std::string text, BOOL showBox) {
    if (showBox) fw::GetReportSink().MessageBox(text);
    if (LoggingOn()) AppendToLog(text);
}

// An id without text is the program's own fault: said in a box whatever the caller asked,
// with the id and the first value it carried, so that it is found and mended rather than
// leaving the user with nothing.
void ReportUnknownId(UINT id, int v1) {
    const std::string text = fw::Substitute(res::FindString(kUtilsModule), std::to_string(kCodeUnknownId)) + "\n" +
                             fw::Substitute(res::FindString(kValuesLine), std::to_string(id), std::to_string(v1));
    std::fprintf(stderr, "internal error: string %u has no text\n", id);
    Deliver(text, TRUE);
}

void Report(UINT id, int nValues, int v1, int v2, BOOL showBox) {
    const char* raw = res::FindString(id);
    if (!raw) {
        ReportUnknownId(id, v1);
        return;
    }
    std::string text = raw;
    if (nValues >= 1) {
        text = fw::Substitute(text, std::to_string(v1), nValues >= 2 ? std::to_string(v2) : std::string("%2"));
    }
    if (showBox) fw::GetReportSink().MessageBox(text);
    if (nValues == 0 && id == kUnrecoverableError) fw::GetReportSink().PostToMainWindow(WM_ANALYSIS_ABORT, 0, 0);
    if (LoggingOn()) AppendToLog(text);
}

// A NaN or an infinity read from a design file took its field's default: said once per load,
// as other damage is.
[[maybe_unused]] const bool g_nonFiniteHooked = (fw::Archive::SetNonFiniteHook(&WarnFileCorrupted), true);

BOOL TakeFirstBox() {
    return g_firstBoxShown.exchange(1) ? FALSE : TRUE;
}

}  // namespace

void ReportMessage(UINT id, BOOL showBox) { Report(id, 0, 0, 0, showBox); }
void ReportMessage1(UINT id, int value, BOOL showBox) { Report(id, 1, value, 0, showBox); }
void ReportMessage2(UINT id, int value1, int value2, BOOL showBox) { Report(id, 2, value1, value2, showBox); }
void ReportText(const char* text, BOOL showBox) { Deliver(text ? text : "", showBox); }

void ReportMessageFirstBox(UINT id) { ReportMessage(id, TakeFirstBox()); }
void ReportMessage1FirstBox(UINT id, int value) { ReportMessage1(id, value, TakeFirstBox()); }
void ReportMessage2FirstBox(UINT id, int value1, int value2) { ReportMessage2(id, value1, value2, TakeFirstBox()); }
void ResetFirstMessageFlag() { g_firstBoxShown = 0; }

void WarnFileCorrupted() {
    if (g_fileWarningShown) return;
    ReportMessage(52080, TRUE);
    g_fileWarningShown = 1;
}

void WarnFileVersion() {
    if (g_fileWarningShown) return;
    ReportMessage(52081, TRUE);
    g_fileWarningShown = 1;
}

void WarnOlderFileVersion() {
    if (g_olderVersionShown) return;
    ReportMessage(54035, TRUE);
    g_olderVersionShown = 1;
}

void ResetFileWarnings() {
    g_fileWarningShown = 0;
    g_olderVersionShown = 0;
}

BOOL FileWarningShown() { return g_fileWarningShown ? TRUE : FALSE; }

void AppendToLog(std::string& text) {
    std::lock_guard<std::mutex> lock(g_logMutex);
    FILE* f = nullptr;
    if (!g_logStarted) {
        f = std::fopen(g_logPath.c_str(), "wb");
        if (!f) return;
        g_logStarted = true;
        char stamp[128] = {0};
        std::time_t now = std::time(nullptr);
        std::tm tmNow{};
        localtime_r(&now, &tmNow);
        // English date and time whatever locale the toolkit adopted.
        static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(0));
        if (cLocale) strftime_l(stamp, sizeof stamp, "%c", &tmNow, cLocale);
        else std::strftime(stamp, sizeof stamp, "%c", &tmNow);
        std::string line = std::string(stamp) + " \r\n";
        std::fwrite(line.data(), 1, line.size(), f);
    } else {
        f = std::fopen(g_logPath.c_str(), "ab");
        if (!f) return;
    }
    text += "\r\n";
    std::fwrite(text.data(), 1, text.size(), f);
    std::fflush(f);
    std::fclose(f);
}

BOOL CheckFloatingPointStatus() {
    unsigned s = fw::ReadAndClearFpStatus();
    UINT id = 0;
    if (s & fw::kFpZeroDivide) id = 52168;
    else if (s & fw::kFpOverflow) id = 52125;
    else if (s & fw::kFpUnderflow) id = 52146;
    else if (s & fw::kFpInvalid) id = 52086;
    if (!id) return FALSE;
    ReportMessage(id, FALSE);
    return TRUE;
}

void Beep() { fw::GetReportSink().Beep(); }

double InterpolateLogX(double x0, double x, double x1, double y0, double y1) {
    return y0 + (std::log(x) - std::log(x0)) / (std::log(x1) - std::log(x0)) * (y1 - y0);
}

int CompareDoubles(const double* a, const double* b) {
    if (*a < *b) return -1;
    if (*a > *b) return 1;
    return 0;
}

void SetLoggingQuery(std::function<bool()> query) {
    std::lock_guard<std::mutex> lock(g_logMutex);
    g_loggingQuery = std::move(query);
}

void SetLogPath(const std::string& path) {
    std::lock_guard<std::mutex> lock(g_logMutex);
    g_logPath = path;
}

void ResetLogStarted() {
    std::lock_guard<std::mutex> lock(g_logMutex);
    g_logStarted = false;
}
