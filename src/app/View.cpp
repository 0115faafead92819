#include "app/View.h"

#include <ctime>

#include "app/MainFrm.h"
#include "app/Morvane.h"
#include "app/SummaryPage.h"
#include "graphs/GraphPageRun.h"

CDocumentHost* CPwrQuorraView::GetDocument() const { return app_.GetDocument(); }

void CPwrQuorraView::OnDesignWindow(bool open) {
    if (open == pageCreated_) return;
    pageCreated_ = open;
    if (open) OnInitialUpdate();
    else RunGraphPage().DestroyPage();
}

void CPwrQuorraView::OnInitialUpdate() { RunGraphPage().CreatePage(); }

bool CPwrQuorraView::OnPreparePrinting(fw::PrintInfo& info) {
    info.hidePrintToFile = true;
    info.noPageNumbers = true;
    return true;
}

namespace {

CCircuitPagePrinter* g_circuitPage = nullptr;

}  // namespace

void CPwrQuorraView::SetCircuitPagePrinter(CCircuitPagePrinter* printer) { g_circuitPage = printer; }

void CPwrQuorraView::OnPrint(fw::Canvas& dc, fw::PrintInfo& info) {
    // Half-inch margins in the device's own units.
    const int mx = static_cast<int>(0.5 * dc.PixelsPerInchX());
    const int my = static_cast<int>(0.5 * dc.PixelsPerInchY());
    fw::Rect area = info.drawArea;
    area.Deflate(mx, my);
    if (printBitmapId_ != kPrintSummary) {
        if (!g_circuitPage) return;
        g_circuitPage->PrintHeader(dc, area, *this);
        area.top += my;
        g_circuitPage->PrintPicture(dc, area, *this);
        return;
    }
    CDocumentHost* doc = GetDocument();
    if (!doc) return;
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    PrintDesignSummary(dc, area, doc->GetPathName(), doc->Design(), local);
}

namespace {

// A printer-file dialog offers the job's name as the file name.
std::string JobName(const CDocumentHost* doc) { return doc ? PlainTitle(*doc) : std::string(); }

}  // namespace

void CPwrQuorraView::PrintItem(int bitmapId, int titleId, int output) {
    printBitmapId_ = bitmapId;
    printTitleId_ = titleId;
    printOutput_ = output;
    OnFilePrint();
    printBitmapId_ = kPrintSummary;
}

void CPwrQuorraView::OnFilePrint() { fw::Printing().Print(*this, JobName(GetDocument()), true); }

void CPwrQuorraView::OnFilePrintPreview() { fw::Printing().PrintPreview(*this, JobName(GetDocument())); }

CPwrQuorraView* GetActivePwrQuorraView() {
    CPwrQuorraApp* app = CPwrQuorraApp::Get();
    CMainFrame* frame = app ? app->GetMainFrame() : nullptr;
    return frame ? frame->GetActiveView() : nullptr;
}
