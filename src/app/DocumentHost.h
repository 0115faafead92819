// The open design as the application shell sees it: the file operations that
// start-up, File New, Open and Save make, the flags that the shell asks from
// any thread, and the design's records (Design()) that the frame's commands,
// dialogs and the printed summary read and edit. DesignDoc.h wraps the
// design document; tests script the file operations and flags with a host of
// their own over a real document.
//
// The application keeps the title and path for hosts that do not keep them
// (the framework's document state); the design document keeps its own.
#pragma once

#include <memory>
#include <string>

#include "platform/core/Types.h"

class CPwrQuorraDoc;

class CDocumentHost {
public:
    virtual ~CDocumentHost() = default;

    // Makes the document an empty new design; FALSE when it could not (the
    // document has said why).
    virtual BOOL OnNewDocument() = 0;
    // Reads the design file; FALSE when it could not (the document has said
    // why, and it is discarded).
    virtual BOOL OnOpenDocument(const std::string& path) = 0;
    // Writes the design file; FALSE when it could not (the document has said
    // why, and the file on disk is as it was).
    virtual BOOL OnSaveDocument(const std::string& path) = 0;
    // Writes the design file under another name, keeping the design's path
    // and title (a design never saved stays untitled).
    virtual BOOL SaveCopyAs(const std::string& path) { return OnSaveDocument(path); }

    // Changed since it was made, opened or saved.
    virtual BOOL IsModified() = 0;
    virtual void SetModifiedFlag(BOOL modified = TRUE) = 0;

    // The next two are also asked from the analysis worker thread (through
    // the logging query): they must only read flags.
    // 1 from the start of an analysis until it has ended or was stopped.
    virtual BOOL IsAnalysisRunning() = 0;
    // The "Enable Data Logging" switch of the design's User Specified Data.
    virtual BOOL GetDataLoggingSwitch() = 0;

    // For the status bar: the control section's variant (999: none chosen)
    // and the requirements' number of outputs; from the design by default.
    virtual WORD GetControlSectionTopology();
    virtual WORD GetNumberOfOutputs();

    // The design's records and operations.
    virtual CPwrQuorraDoc& Design() = 0;

    virtual const std::string& GetTitle() const { return title_; }
    virtual void SetTitle(const std::string& title) { title_ = title; }
    virtual const std::string& GetPathName() const { return path_; }
    virtual void SetPathName(const std::string& path) { path_ = path; }

private:
    std::string title_;
    std::string path_;
};

// The design's title without the trailing "*" that marks unsaved changes:
// the name that file dialogs, print jobs and questions offer.
inline std::string PlainTitle(const CDocumentHost& doc) {
    std::string title = doc.GetTitle();
    if (!title.empty() && title.back() == '*') title.pop_back();
    return title;
}

// Makes documents, and tells which file operations they have.
class CDocumentFactory {
public:
    virtual ~CDocumentFactory() = default;
    virtual std::unique_ptr<CDocumentHost> CreateDocument() = 0;
    // Without these, File Open and Save are unavailable.
    virtual bool CanOpenFiles() const = 0;
    virtual bool CanSaveFiles() const = 0;
};
