// A design document that stands in until the real one is linked: an empty
// new design (no control section chosen, one output) that can neither be
// read from nor written to a file.
#pragma once

#include "app/DocumentHost.h"

class CStandInDocument : public CDocumentHost {
public:
    BOOL OnNewDocument() override { return TRUE; }
    BOOL OnOpenDocument(const std::string& path) override;
    BOOL OnSaveDocument(const std::string& path) override;
    BOOL IsModified() override { return modified_; }
    void SetModifiedFlag(BOOL modified) override { modified_ = modified; }
    BOOL IsAnalysisRunning() override { return FALSE; }
    BOOL GetDataLoggingSwitch() override { return FALSE; }
    WORD GetControlSectionTopology() override { return 999; }
    WORD GetNumberOfOutputs() override { return 1; }

private:
    BOOL modified_ = FALSE;
};

class CStandInDocFactory : public CDocumentFactory {
public:
    std::unique_ptr<CDocumentHost> CreateDocument() override { return std::make_unique<CStandInDocument>(); }
    bool CanOpenFiles() const override { return false; }
    bool CanSaveFiles() const override { return false; }
};
