#include "app/View.h"

#include <ctime>

#include "app/MainFrm.h"
#include "app/Morvane.h"
#include "app/SummaryPage.h"

CDocumentHost* CPwrQuorraView::GetDocument() const { return app_.GetDocument(); }

bool CPwrQuorraView::OnPreparePrinting(fw::PrintInfo& info) {
    info.hidePrintToFile = true;
    info.noPageNumbers = true;
    return true;
}

void CPwrQuorraView::OnPrint(fw::Canvas& dc, fw::PrintInfo& info) {
    // Half-inch margins in the device's own units.
    const int mx = static_cast<int>(0.5 * dc.PixelsPerInchX());
    const int my = static_cast<int>(0.5 * dc.PixelsPerInchY());
    fw::Rect area = info.drawArea;
    area.Deflate(mx, my);
    CDocumentHost* doc = GetDocument();
    if (!doc) return;
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    PrintDesignSummary(dc, area, doc->GetPathName(), doc->Design(), local);
}

void CPwrQuorraView::OnFilePrint() {
    CDocumentHost* doc = GetDocument();
    fw::Printing().Print(*this, doc ? doc->GetTitle() : std::string(), true);
}

void CPwrQuorraView::OnFilePrintPreview() {
    CDocumentHost* doc = GetDocument();
    fw::Printing().PrintPreview(*this, doc ? doc->GetTitle() : std::string());
}

CPwrQuorraView* GetActivePwrQuorraView() {
    CPwrQuorraApp* app = CPwrQuorraApp::Get();
    CMainFrame* frame = app ? app->GetMainFrame() : nullptr;
    return frame ? frame->GetActiveView() : nullptr;
}
