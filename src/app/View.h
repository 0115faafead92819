// The design's view: the window of the open design, and the design's
// printing object. File > Print Summary and Print Summary Preview print the
// one-page design summary inside half-inch margins.
#pragma once

#include "platform/ui/Services.h"

class CPwrQuorraApp;
class CDocumentHost;

class CPwrQuorraView : public fw::Printable {
public:
    explicit CPwrQuorraView(CPwrQuorraApp& app) : app_(app) {}

    // The open design, unchecked (nullptr when none).
    CDocumentHost* GetDocument() const;

    // No page numbers to choose and no printer file: the summary is one page.
    bool OnPreparePrinting(fw::PrintInfo& info) override;
    void OnPrint(fw::Canvas& dc, fw::PrintInfo& info) override;

    // File > Print Summary (the print dialog, then the page) and File >
    // Print Summary Preview.
    void OnFilePrint();
    void OnFilePrintPreview();

private:
    CPwrQuorraApp& app_;
};

// The view of the open design; nullptr while no design window is open.
CPwrQuorraView* GetActivePwrQuorraView();
