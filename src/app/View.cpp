#include "app/View.h"

#include <cctype>
#include <cstdlib>
#include <ctime>

#include "app/CircuitPage.h"
#include "app/MainFrm.h"
#include "app/Morvane.h"
#include "app/SummaryPage.h"
#include "graphs/GraphPageRun.h"

CDocumentHost* CPwrQuorraView::GetDocument() const { return app_.GetDocument(); }

void CPwrQuorraView::OnDesignWindow(bool open) {
    // A file opened over a design replaces it without closing the window:
    // the old design's curves must not stay on the page under the new name.
    const uint64_t serial = open ? app_.GetDocumentSerial() : 0;
    if (open == pageCreated_ && serial == pageSerial_) return;
    if (pageCreated_) RunGraphPage().DestroyPage();
    pageCreated_ = open;
    pageSerial_ = serial;
    if (open) OnInitialUpdate();
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

// A name a file can carry: no folder separators or line breaks.
std::string FileNamePart(std::string text) {
    for (char& c : text)
        if (c == '/' || c == '\\' || c == '\r' || c == '\n' || c == '\t') c = ' ';
    std::string out;
    for (char c : text)
        if (!(c == ' ' && (out.empty() || out.back() == ' '))) out += c;
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

}  // namespace

std::string CPwrQuorraView::PrintFileFor(const std::string& job) const {
    std::string folder = app_.FileDialogFolder();
    if (folder.empty()) {
        const char* home = std::getenv("HOME");
        folder = home ? home : ".";
    }
    if (folder.back() != '/') folder += '/';
    const CDocumentHost* doc = GetDocument();
    std::string design = doc ? FileNamePart(PlainTitle(*doc)) : std::string();
    if (design.size() > 4) {
        std::string ext = design.substr(design.size() - 4);
        for (char& c : ext) c = char(std::toupper(static_cast<unsigned char>(c)));
        if (ext == ".SEF") design.resize(design.size() - 4);
    }
    const std::string name = FileNamePart(job);
    return folder + (design.empty() ? name : name.empty() ? design : design + " - " + name) + ".pdf";
}

void CPwrQuorraView::ProposePrintFile(const std::string& job) const { fw::Printing().ProposeOutputFile(PrintFileFor(job)); }

void CPwrQuorraView::PrintItem(int bitmapId, int titleId, int output) {
    printBitmapId_ = bitmapId;
    printTitleId_ = titleId;
    printOutput_ = output;
    ProposePrintFile(CircuitPageTitle(titleId, output));
    fw::Printing().Print(*this, JobName(GetDocument()), true);
    printBitmapId_ = kPrintSummary;
}

void CPwrQuorraView::OnFilePrint() {
    ProposePrintFile("Summary");
    fw::Printing().Print(*this, JobName(GetDocument()), true);
}

void CPwrQuorraView::OnFilePrintPreview() { fw::Printing().PrintPreview(*this, JobName(GetDocument())); }

CPwrQuorraView* GetActivePwrQuorraView() {
    CPwrQuorraApp* app = CPwrQuorraApp::Get();
    CMainFrame* frame = app ? app->GetMainFrame() : nullptr;
    return frame ? frame->GetActiveView() : nullptr;
}
