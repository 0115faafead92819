#include "circuit/AppServices.h"

#include <atomic>

namespace {
std::atomic<CAppServices*> g_appServices{nullptr};
}  // namespace

CAppServices* GetAppServices() { return g_appServices.load(); }

CAppServices* SetAppServices(CAppServices* services) { return g_appServices.exchange(services); }

void AppSetDocument(CPwrQuorraDoc* doc) {
    if (CAppServices* app = GetAppServices()) app->SetDocument(doc);
}

void AppRefreshMainFrame(int refreshPicture) {
    if (CAppServices* app = GetAppServices()) app->RefreshMainFrame(refreshPicture);
}

BOOL AppIsLoggingOn() {
    CAppServices* app = GetAppServices();
    return (app && app->IsLoggingOn()) ? TRUE : FALSE;
}

intptr_t AppGetMainWindowHandle() {
    CAppServices* app = GetAppServices();
    return app ? app->GetMainWindowHandle() : 0;
}

void AppServeWorkerRequests() {
    if (CAppServices* app = GetAppServices()) app->ServeWorkerRequests();
}
