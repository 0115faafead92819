// Message reporting for every module: string-table messages in a message
// box or not, internal codes as module name and number, the once-per-load
// file warnings, the log "PwrQuorra.log", and the floating-point status check.
#pragma once

#include <functional>
#include <string>

#include "platform/core/Types.h"

// Window messages from the worker and the reporting to the main frame.
constexpr UINT WM_ANALYSIS_PROGRESS = 0x8001;
constexpr UINT WM_ANALYSIS_DONE = 0x8002;
constexpr UINT WM_ANALYSIS_STOP = 0x8003;
constexpr UINT WM_ANALYSIS_ABORT = 0x8004;

// Shared constants of the analysis modules.
constexpr double TWO_PI = 6.283185307179586476925286766559;
constexpr double RAD_TO_DEG = 57.295779513082320876798154814105;
constexpr double SMALL_TOLERANCE = 5e-10;

void ReportMessage(UINT id, BOOL showBox);
void ReportMessage1(UINT id, int value, BOOL showBox);
void ReportMessage2(UINT id, int value1, int value2, BOOL showBox);
void ReportText(const char* text, BOOL showBox);

void ReportMessageFirstBox(UINT id);
void ReportMessage1FirstBox(UINT id, int value);
void ReportMessage2FirstBox(UINT id, int value1, int value2);
void ResetFirstMessageFlag();

void WarnFileCorrupted();
void WarnFileVersion();
void WarnOlderFileVersion();
void ResetFileWarnings();
// TRUE when a file warning (52080 or 52081) was shown since the last reset.
BOOL FileWarningShown();

void AppendToLog(std::string& text);

BOOL CheckFloatingPointStatus();
void Beep();

double InterpolateLogX(double x0, double x, double x1, double y0, double y1);
int CompareDoubles(const double* a, const double* b);

// The application object's answer to "is data logging on"; an empty function
// means there is no application object, and nothing is logged.
void SetLoggingQuery(std::function<bool()> query);
// Where the log is written (default "PwrQuorra.log" in the current folder).
void SetLogPath(const std::string& path);
// Back to the state of a fresh program start (the next logged report truncates).
void ResetLogStarted();
