// What the document needs of the application object and its main window. The application
// registers its implementation here; with none registered (tests, tools) every call is a
// no-op that answers "no": no main window, logging off.
#pragma once

#include <cstdint>

#include "platform/core/Types.h"

class CPwrQuorraDoc;

class CAppServices {
public:
    virtual ~CAppServices() = default;

    // The application's current document; the document passes itself when it is built and
    // nullptr when it goes.
    virtual void SetDocument(CPwrQuorraDoc* doc) = 0;
    // Updates the main frame's status panes; a non-zero argument also refreshes its picture
    // button.
    virtual void RefreshMainFrame(int refreshPicture) = 0;
    // TRUE when data logging was switched on from the command line, or the current
    // document's run has its data-logging switch on.
    virtual BOOL IsLoggingOn() = 0;
    // The main window's handle that a run posts its messages to; 0 when there is none.
    virtual intptr_t GetMainWindowHandle() = 0;
    // Serves the user-interface thread's pending work for a moment (message boxes the
    // worker asked for, posted messages) while the document waits for the worker to end.
    virtual void ServeWorkerRequests() = 0;
};

CAppServices* GetAppServices();
// Installs the application's services; nullptr removes them. Returns the previous ones.
CAppServices* SetAppServices(CAppServices* services);

// The calls above through the installed services, safe when none are installed.
void AppSetDocument(CPwrQuorraDoc* doc);
void AppRefreshMainFrame(int refreshPicture);
BOOL AppIsLoggingOn();
intptr_t AppGetMainWindowHandle();
void AppServeWorkerRequests();
