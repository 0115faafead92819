// Where reports go: message boxes, questions, the beep, and messages posted
// to the main window. The program installs the window system's sink; tests
// install a RecordingSink.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace fw {

class ReportSink {
public:
    virtual ~ReportSink() = default;
    // A modal message box with an OK button.
    virtual void MessageBox(const std::string& text) = 0;
    // A Yes/No question; true for Yes.
    virtual bool AskYesNo(const std::string& text) = 0;
    // An OK/Cancel question; true for OK. Sinks without such a box ask Yes/No.
    virtual bool AskOkCancel(const std::string& text) { return AskYesNo(text); }
    virtual void Beep() = 0;
    // Posts a window message to the main window, when there is one; false otherwise.
    virtual bool PostToMainWindow(uint32_t message, intptr_t wParam, intptr_t lParam) = 0;
};

// The installed sink (a silent one until something is installed).
ReportSink& GetReportSink();
// Installs a sink; nullptr restores the silent one. Returns the previous sink.
ReportSink* SetReportSink(ReportSink* sink);

// Records everything, answers questions from a script (default Yes).
class RecordingSink : public ReportSink {
public:
    struct Post {
        uint32_t message;
        intptr_t wParam;
        intptr_t lParam;
    };
    void MessageBox(const std::string& text) override {
        std::lock_guard<std::mutex> lock(m_);
        boxes.push_back(text);
    }
    bool AskYesNo(const std::string& text) override {
        std::lock_guard<std::mutex> lock(m_);
        questions.push_back(text);
        if (answers.empty()) return defaultAnswer;
        bool a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
    void Beep() override {
        std::lock_guard<std::mutex> lock(m_);
        ++beeps;
    }
    bool PostToMainWindow(uint32_t message, intptr_t wParam, intptr_t lParam) override {
        std::lock_guard<std::mutex> lock(m_);
        posts.push_back({message, wParam, lParam});
        return hasMainWindow;
    }
    // The posts so far, safe to read while a worker posts.
    std::vector<Post> PostsSoFar() {
        std::lock_guard<std::mutex> lock(m_);
        return posts;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(m_);
        boxes.clear();
        questions.clear();
        posts.clear();
        beeps = 0;
    }

    std::vector<std::string> boxes;
    std::vector<std::string> questions;
    std::vector<bool> answers;
    bool defaultAnswer = true;
    std::vector<Post> posts;
    int beeps = 0;
    bool hasMainWindow = true;

private:
    std::mutex m_;
};

// Installs a sink for the lifetime of the object (tests).
class ScopedReportSink {
public:
    explicit ScopedReportSink(ReportSink* sink) : previous_(SetReportSink(sink)) {}
    ~ScopedReportSink() { SetReportSink(previous_); }
    ScopedReportSink(const ScopedReportSink&) = delete;
    ScopedReportSink& operator=(const ScopedReportSink&) = delete;

private:
    ReportSink* previous_;
};

}  // namespace fw
