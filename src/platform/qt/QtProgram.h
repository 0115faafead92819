// The program on Qt: the services installed, the application object started
// with the window binding's idle time, key and mouse presses and posted
// messages wired to it, and the loop run.
#pragma once

#include <QObject>
#include <memory>
#include <string>

#include "app/Morvane.h"
#include "platform/qt/QtServices.h"

namespace fw::qt {

class QtFrame;

class Program : public QObject {
public:
    // A QApplication must exist.
    explicit Program(CDocumentFactory& factory);
    ~Program() override;

    // The raw command line: the program's arguments joined by blanks.
    static std::string CommandLineOf(const QStringList& arguments);

    // The application's start-up; false when the program ends at once (a
    // second instance, or a frame that could not be made).
    bool Start(const std::string& commandLine, const std::string& profilePath);
    // Runs the loop until the frame is gone; returns the exit code.
    int Exec();

    CPwrQuorraApp& App() { return app_; }
    QtUi& Ui() { return ui_; }
    QtFrame* FrameWindow() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QtUi ui_;
    CPwrQuorraApp app_;
    bool started_ = false;
};

// main(): the whole program with the given documents.
int RunProgram(int argc, char** argv, CDocumentFactory& factory);

}  // namespace fw::qt
