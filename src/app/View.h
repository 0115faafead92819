// The design's view: the window of the open design, and the design's
// printing object. File > Print Summary and Print Summary Preview print the
// one-page design summary inside half-inch margins; a picture dialog's Print
// prints one section's circuit picture the same way (PrintItem).
#pragma once

#include <string>

#include "platform/ui/Services.h"

class CPwrQuorraApp;
class CDocumentHost;
class CPwrQuorraView;

// The circuit picture page, drawn by its own module: the framed header,
// which moves the rectangle's top below it, and the section's picture in
// what is left.
class CCircuitPagePrinter {
public:
    virtual ~CCircuitPagePrinter() = default;
    virtual void PrintHeader(fw::Canvas& dc, fw::Rect& area, const CPwrQuorraView& view) = 0;
    virtual void PrintPicture(fw::Canvas& dc, const fw::Rect& area, const CPwrQuorraView& view) = 0;
};

class CPwrQuorraView : public fw::Printable {
public:
    // What printBitmapId holds while the summary is the page to print.
    static constexpr int kPrintSummary = 999;

    explicit CPwrQuorraView(CPwrQuorraApp& app) : app_(app) {}

    // The open design, unchecked (nullptr when none).
    CDocumentHost* GetDocument() const;

    // The design's window opened or closed, or another design took its
    // place: the graph page is made on the view's first update and destroyed
    // with the design, so a new design starts on empty graphs.
    void OnDesignWindow(bool open);
    void OnInitialUpdate();

    // No page numbers to choose and no printer file: the summary is one page.
    bool OnPreparePrinting(fw::PrintInfo& info) override;
    void OnPrint(fw::Canvas& dc, fw::PrintInfo& info) override;

    // File > Print Summary (the print dialog, then the page) and File >
    // Print Summary Preview.
    void OnFilePrint();
    void OnFilePrintPreview();
    // The file a print job proposes when it prints to a file: the design's
    // name and the job's in the design's folder (or the folder last used,
    // or the home folder), so one job never offers another's file.
    std::string PrintFileFor(const std::string& job) const;
    void ProposePrintFile(const std::string& job) const;

    // A picture dialog's Print: the section's picture (bitmap id), its
    // variant title (string id) and output number (1-4), through the print
    // dialog; afterwards the view prints the summary again.
    void PrintItem(int bitmapId, int titleId, int output);
    int GetPrintBitmapId() const { return printBitmapId_; }
    int GetPrintTitleId() const { return printTitleId_; }
    int GetPrintOutput() const { return printOutput_; }
    // Who draws the circuit picture page (not owned; nullptr: none yet, and
    // a picture printout stays empty).
    static void SetCircuitPagePrinter(CCircuitPagePrinter* printer);

private:
    CPwrQuorraApp& app_;
    int printBitmapId_ = kPrintSummary;
    int printTitleId_ = 0;
    int printOutput_ = 0;
    bool pageCreated_ = false;
    uint64_t pageSerial_ = 0;  // the design the page was made for
};

// The view of the open design; nullptr while no design window is open.
CPwrQuorraView* GetActivePwrQuorraView();
