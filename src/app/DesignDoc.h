// The design document as the application's open design: the file
// operations, the flags and the records all come from CPwrQuorraDoc, which
// also keeps its own title (with the modified mark) and path.
#pragma once

#include "app/AnalEngineLink.h"
#include "app/DocumentHost.h"
#include "circuit/Doc.h"
#include "graphs/GraphMgr.h"

class CDesignDocument : public CDocumentHost {
public:
    // Every run of the design plots into the program's graph manager, run by the engine.
    CDesignDocument() {
        m_doc.GetThreadParams().pGraphSink = &GraphMgr();
        InstallAnalysisEngine(m_doc);
    }

    BOOL OnNewDocument() override { return m_doc.OnNewDocument(); }
    BOOL OnOpenDocument(const std::string& path) override { return m_doc.OnOpenDocument(path); }
    BOOL OnSaveDocument(const std::string& path) override { return m_doc.OnSaveDocument(path); }
    BOOL SaveCopyAs(const std::string& path) override { return m_doc.SaveCopyAs(path); }
    BOOL IsModified() override { return m_doc.IsModified(); }
    void SetModifiedFlag(BOOL modified) override { m_doc.SetModifiedFlag(modified); }
    BOOL IsAnalysisRunning() override { return m_doc.IsAnalysisRunning(); }
    BOOL GetDataLoggingSwitch() override { return m_doc.GetUSData()->GetDataLogging(); }
    CPwrQuorraDoc& Design() override { return m_doc; }

    const std::string& GetTitle() const override { return m_doc.GetTitle(); }
    void SetTitle(const std::string& title) override { m_doc.SetTitle(title); }
    const std::string& GetPathName() const override { return m_doc.GetPathName(); }
    // The document sets its path itself when it reads or writes a file, and
    // clears it when the file held another kind of design.
    void SetPathName(const std::string&) override {}

private:
    CPwrQuorraDoc m_doc;
};

class CDesignDocFactory : public CDocumentFactory {
public:
    std::unique_ptr<CDocumentHost> CreateDocument() override { return std::make_unique<CDesignDocument>(); }
    bool CanOpenFiles() const override { return true; }
    bool CanSaveFiles() const override { return true; }
};
