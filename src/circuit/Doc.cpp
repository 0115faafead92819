#include "circuit/Doc.h"

#include <ctime>
#include <utility>

#include "circuit/AppServices.h"
#include "platform/core/Format.h"
#include "records/Record.h"
#include "records/Utils.h"
#include "resources/StringTable.h"

namespace {

constexpr const char* kUntitled = "untitled";

// Makes a document the current one while it checks, loads or summarises itself, so that
// the sections reach this document's records even when another document was current.
class CurrentDocScope {
public:
    explicit CurrentDocScope(CDocServices* doc) : previous_(GetCurrentDoc()) { SetCurrentDoc(doc); }
    ~CurrentDocScope() { SetCurrentDoc(previous_); }
    CurrentDocScope(const CurrentDocScope&) = delete;
    CurrentDocScope& operator=(const CurrentDocScope&) = delete;

private:
    CDocServices* previous_;
};

std::string FileNameOf(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string SummaryDateText(const std::tm& t) {
    static const char* const kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    static const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                          "July",    "August",   "September", "October", "November", "December"};
    const char* day = (t.tm_wday >= 0 && t.tm_wday < 7) ? kDays[t.tm_wday] : "";
    const char* month = (t.tm_mon >= 0 && t.tm_mon < 12) ? kMonths[t.tm_mon] : "";
    return fw::Format("%s, %s %02d, %d", day, month, t.tm_mday, t.tm_year + 1900);
}

std::string SummaryTimeText(const std::tm& t) {
    return fw::Format("%02d:%02d:%02d %s", t.tm_hour, t.tm_min, t.tm_sec, t.tm_hour < 12 ? "AM" : "PM");
}

// ---------------------------------------------------------------------------------------------
// The archived records

CDesignRecords::CDesignRecords() {
    for (WORD n = 0; n < 4; ++n) {
        m_SecondarySection[n].SetOutputNumber(n);
        m_OutputChoke[n].SetOutputNumber(n);
        m_1StgOutputFilter[n].SetOutputNumber(n);
        m_2StgOutputFilter[n].SetOutputNumber(n);
        m_LoadNetwork[n].SetOutputNumber(n);
    }
}

void CDesignRecords::Serialize(fw::Archive& ar) {
    m_Signature.Serialize(ar);
    m_Requirements.Serialize(ar);
    m_LineFilter.Serialize(ar);
    m_LineRectifier.Serialize(ar);
    m_InputCapacitor.Serialize(ar);
    m_PrimarySection.Serialize(ar);
    for (auto& s : m_SecondarySection) s.Serialize(ar);
    for (auto& s : m_OutputChoke) s.Serialize(ar);
    m_OutputChokeMutualInd.Serialize(ar);
    for (auto& s : m_1StgOutputFilter) s.Serialize(ar);
    for (auto& s : m_2StgOutputFilter) s.Serialize(ar);
    for (auto& s : m_LoadNetwork) s.Serialize(ar);
    m_VoltageFeedbackNetwork.Serialize(ar);
    m_VoltageErrorAmp.Serialize(ar);
    m_OptoIsolator.Serialize(ar);
    m_ControlSection.Serialize(ar);
    m_CurrentFeedbackNetwork.Serialize(ar);
    m_CurrentLimitNetwork.Serialize(ar);
    m_MiscData.Serialize(ar);
    m_USData.Serialize(ar);
    m_AnalysisConfig.Serialize(ar);
}

// ---------------------------------------------------------------------------------------------
// Life of the document

CPwrQuorraDoc::CPwrQuorraDoc() : m_pDesign(std::make_unique<CDesignRecords>()) {
    m_analysis.SetServeProc([] { AppServeWorkerRequests(); });
    SetCurrentDoc(this);
    AppSetDocument(this);
}

CPwrQuorraDoc::~CPwrQuorraDoc() {
    if (GetCurrentDoc() == this) SetCurrentDoc(nullptr);
    AppSetDocument(nullptr);
    AppRefreshMainFrame(0);
    StopAnalysis();
}

BOOL CPwrQuorraDoc::OnNewDocument() {
    // A new design replaces the records a live run reads.
    StopAnalysis();
    m_strPathName.clear();
    InitDefaults();
    SetModifiedBase(FALSE);
    AppRefreshMainFrame(0);
    return TRUE;
}

BOOL CPwrQuorraDoc::OnOpenDocument(const std::string& path) {
    std::vector<uint8_t> bytes;
    try {
        bytes = fw::ReadFileBytes(path);
    } catch (const fw::ArchiveError& e) {
        ReportText(("Problem:  Could not open the file " + path + "\n" + e.what()).c_str(), TRUE);
        return FALSE;
    }
    StopAnalysis();
    fw::Archive ar(std::move(bytes));
    m_strOpeningPath = path;
    const BOOL loaded = Serialize(ar);
    m_strOpeningPath.clear();
    if (!loaded) return FALSE;
    SetModifiedBase(FALSE);
    if (!IsSingleEndedForward()) {
        // The defaulted design is not the file's: it keeps the title "untitled" and no path,
        // so that saving it cannot overwrite the other design by accident.
        InitDefaults();
        m_strPathName.clear();
        ReportMessage(52036, TRUE);
    } else {
        SetPathName(path);
    }
    CheckAllSections();
    AppRefreshMainFrame(1);
    return TRUE;
}

CPwrQuorraDoc* GetCurrentDesign() { return dynamic_cast<CPwrQuorraDoc*>(GetCurrentDoc()); }

BOOL CPwrQuorraDoc::OnSaveDocument(const std::string& path) {
    if (!SaveCopyAs(path)) return FALSE;
    SetPathName(path);
    return TRUE;
}

BOOL CPwrQuorraDoc::SaveCopyAs(const std::string& path) {
    fw::Archive ar;
    Serialize(ar);
    std::string reason;
    if (!fw::WriteFileAtomic(path, ar.Bytes(), &reason)) {
        ReportText(("Problem:  Could not save the file " + path + "\nThe file on disk has not been changed.\n" + reason)
                       .c_str(),
                   TRUE);
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CPwrQuorraDoc::SetPathName(const std::string& path) {
    m_strPathName = path;
    m_strTitle = FileNameOf(path);
}

void CPwrQuorraDoc::InitDefaults() {
    CDesignRecords& d = *m_pDesign;
    SetTitle(kUntitled);
    m_strTag = kDocumentTag;
    d.m_Signature.SetDefaults();
    d.m_Requirements.InitDefaults();
    d.m_LineFilter.InitDefaults(TRUE);
    d.m_LineRectifier.InitDefaults(TRUE);
    d.m_InputCapacitor.InitDefaults(TRUE);
    d.m_PrimarySection.InitDefaults(TRUE);
    for (WORD n = 0; n < 4; ++n) {
        d.m_SecondarySection[n].InitDefaults(TRUE);
        d.m_SecondarySection[n].SetOutputNumber(n);
    }
    for (WORD n = 0; n < 4; ++n) {
        d.m_OutputChoke[n].InitDefaults(TRUE);
        d.m_OutputChoke[n].SetOutputNumber(n);
    }
    for (WORD n = 0; n < 4; ++n) {
        d.m_1StgOutputFilter[n].InitDefaults(TRUE);
        d.m_1StgOutputFilter[n].SetOutputNumber(n);
    }
    for (WORD n = 0; n < 4; ++n) {
        d.m_2StgOutputFilter[n].InitDefaults(TRUE);
        d.m_2StgOutputFilter[n].SetOutputNumber(n);
    }
    for (WORD n = 0; n < 4; ++n) {
        d.m_LoadNetwork[n].InitDefaults(TRUE);
        d.m_LoadNetwork[n].SetOutputNumber(n);
    }
    d.m_VoltageFeedbackNetwork.SetDefaults();
    d.m_VoltageErrorAmp.InitDefaults(TRUE);
    d.m_OptoIsolator.InitDefaults(TRUE);
    d.m_ControlSection.InitDefaults(TRUE);
    d.m_CurrentFeedbackNetwork.SetDefaults();
    d.m_CurrentLimitNetwork.SetDefaults();
    d.m_MiscData.SetDefaults();
    d.m_USData.SetDefaults();
    d.m_AnalysisConfig.InitDefaults();
    // A new design carries nothing of the one before: the choke coupling and the whole of
    // every variable equation (text and editor state, not only its tokens) go back too.
    d.m_OutputChokeMutualInd.SetDefaults();
    for (int v = 1; v <= CAnalysisConfig::kVariables; ++v)
        if (CEquation* eq = d.m_AnalysisConfig.GetEquation(v)) eq->InitDefaults();
}

// ---------------------------------------------------------------------------------------------
// The design file

BOOL CPwrQuorraDoc::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        ar.WriteString(m_strTag);
        ar.WriteU16(kDocumentVersion);
        m_pDesign->Serialize(ar);
        return TRUE;
    }
    return LoadDesign(ar);
}

void CPwrQuorraDoc::RefuseFile(UINT message) {
    if (m_strOpeningPath.empty()) {
        if (message == 52081) WarnFileVersion();
        else WarnFileCorrupted();
        return;
    }
    // Said whatever an inner record said before: this file was not opened at all.
    const char* text = res::FindString(message);
    ReportText(("Problem:  Could not open the file " + m_strOpeningPath + "\n" + (text ? text : "")).c_str(), TRUE);
}

BOOL CPwrQuorraDoc::LoadDesign(fw::Archive& ar) {
    ResetFileWarnings();
    if (ar.AtEnd()) {
        RefuseFile(52080);
        return FALSE;
    }
    try {
        if (ar.ReadString() != kDocumentTag) {
            RefuseFile(52080);
            ReportMessage1(kModuleDoc, 301, FALSE);
            return FALSE;
        }
        if (ar.ReadU16() != kDocumentVersion) {
            RefuseFile(52081);
            ReportMessage1(kModuleDoc, 302, FALSE);
            return FALSE;
        }
        auto loaded = std::make_unique<CDesignRecords>();
        // The data-logging switch is not part of the file: the open design's stays.
        loaded->m_USData.SetDataLogging(m_pDesign->m_USData.GetDataLogging());
        // Records that consult the document while they load see the design being loaded.
        std::swap(m_pDesign, loaded);
        try {
            CurrentDocScope current(this);
            m_pDesign->Serialize(ar);
            CDesignRecords& d = *m_pDesign;
            for (CSection* s : {static_cast<CSection*>(&d.m_LineFilter), static_cast<CSection*>(&d.m_LineRectifier),
                                static_cast<CSection*>(&d.m_InputCapacitor), static_cast<CSection*>(&d.m_PrimarySection),
                                static_cast<CSection*>(&d.m_VoltageErrorAmp), static_cast<CSection*>(&d.m_OptoIsolator),
                                static_cast<CSection*>(&d.m_ControlSection)})
                s->MendUnlistedVariant();
            for (int n = 0; n < 4; ++n) {
                d.m_SecondarySection[n].MendUnlistedVariant();
                d.m_OutputChoke[n].MendUnlistedVariant();
                d.m_1StgOutputFilter[n].MendUnlistedVariant();
                d.m_2StgOutputFilter[n].MendUnlistedVariant();
                d.m_LoadNetwork[n].MendUnlistedVariant();
            }
        } catch (...) {
            std::swap(m_pDesign, loaded);
            throw;
        }
    } catch (const fw::ArchiveError&) {
        // The file ends early or holds an impossible count: not a design we can open.
        RefuseFile(52080);
        return FALSE;
    }
    m_strTag = kDocumentTag;
    UpdateCircuitComplete();
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Modified flag, checks and summary

void CPwrQuorraDoc::SetModifiedFlag(BOOL modified) {
    if ((m_bModified != 0) == (modified != 0)) return;
    SetModifiedBase(modified);
    std::string title = m_strTitle;
    if (!title.empty() && title.back() == '*' && !modified) title.pop_back();
    else if (modified) title += '*';
    SetTitle(title);
}

void CPwrQuorraDoc::SetModifiedAndCheck() {
    SetModifiedFlag(TRUE);
    CheckAllSections();
}

void CPwrQuorraDoc::CheckAllSections() {
    CurrentDocScope current(this);
    CDesignRecords& d = *m_pDesign;
    const BOOL report = d.m_MiscData.GetShowMessages() ? TRUE : FALSE;
    d.m_Requirements.CheckOutputs(report);
    d.m_LineFilter.CheckChosen(report);
    d.m_LineRectifier.CheckChosen(report);
    d.m_InputCapacitor.CheckChosen(report);
    d.m_PrimarySection.CheckChosen(d.m_Requirements, report);
    for (auto& s : d.m_SecondarySection) s.CheckChosen(report);
    for (auto& s : d.m_OutputChoke) s.CheckChosen(report);
    d.m_OutputChokeMutualInd.CheckChosen(report);
    for (auto& s : d.m_1StgOutputFilter) s.CheckChosen(report);
    for (auto& s : d.m_2StgOutputFilter) s.CheckChosen(report);
    for (auto& s : d.m_LoadNetwork) s.CheckChosen(report);
    d.m_VoltageFeedbackNetwork.CheckChosen(report);
    d.m_VoltageErrorAmp.CheckChosen(report);
    d.m_OptoIsolator.CheckChosen(report);
    d.m_ControlSection.CheckChosen(report);
    d.m_CurrentFeedbackNetwork.CheckChosen(report);
    d.m_CurrentLimitNetwork.CheckChosen(report);
    UpdateCircuitComplete();
}

void CPwrQuorraDoc::UpdateCircuitComplete() {
    const CDesignRecords& d = *m_pDesign;
    bool complete = d.m_Requirements.IsValid() && d.m_LineFilter.IsValid() && d.m_LineRectifier.IsValid() &&
                    d.m_InputCapacitor.IsValid() && d.m_PrimarySection.IsValid();
    for (int n = 0; n < 4; ++n)
        complete = complete && d.m_SecondarySection[n].IsValid() && d.m_OutputChoke[n].IsValid() &&
                   d.m_1StgOutputFilter[n].IsValid() && d.m_2StgOutputFilter[n].IsValid() &&
                   d.m_LoadNetwork[n].IsValid();
    complete = complete && d.m_VoltageFeedbackNetwork.IsValid() && d.m_VoltageErrorAmp.IsValid() &&
               d.m_OptoIsolator.IsValid() && d.m_ControlSection.IsValid() && d.m_CurrentFeedbackNetwork.IsValid() &&
               d.m_CurrentLimitNetwork.IsValid();
    CMiscData& misc = m_pDesign->m_MiscData;
    if (complete) {
        if (misc.GetCircuitComplete() != 1) SetModifiedBase(TRUE);
        misc.SetCircuitComplete(1);
    } else {
        if (misc.GetCircuitComplete() != 0) SetModifiedBase(TRUE);
        misc.SetCircuitComplete(0);
    }
}

void CPwrQuorraDoc::ToggleShowMessages() {
    CMiscData& misc = m_pDesign->m_MiscData;
    misc.SetShowMessages(misc.GetShowMessages() == 1 ? 0 : 1);
    // The flag is saved with the design: the title shows the change as the
    // close question will.
    SetModifiedFlag(TRUE);
}

BOOL CPwrQuorraDoc::WriteSummaryText(fw::File& file) {
    CurrentDocScope current(this);
    CDesignRecords& d = *m_pDesign;
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    file.Write("File:  " + m_strTitle + "\r\n");
    file.Write(std::string("Type:  Single Ended Forward\r\n"));
    file.Write("Date:  " + SummaryDateText(local) + "\r\n");
    file.Write("Time:  " + SummaryTimeText(local) + "\r\n");

    const CRequirements& req = d.m_Requirements;
    if (!req.WriteSummary(file)) return FALSE;
    if (!d.m_LineFilter.WriteSummary(file)) return FALSE;
    if (!d.m_LineRectifier.WriteSummary(file)) return FALSE;
    if (!d.m_InputCapacitor.WriteSummary(file)) return FALSE;
    if (!d.m_PrimarySection.WriteSummary(file, req)) return FALSE;
    for (int n = 0; n < 4; ++n)
        if (req.IsOutputEnabled(n) && !d.m_SecondarySection[n].WriteSummary(file)) return FALSE;
    for (int n = 0; n < 4; ++n)
        if (req.IsOutputEnabled(n) && !d.m_OutputChoke[n].WriteSummary(file)) return FALSE;
    if (!d.m_OutputChokeMutualInd.WriteSummary(file)) return FALSE;
    for (int n = 0; n < 4; ++n)
        if (req.IsOutputEnabled(n) && !d.m_1StgOutputFilter[n].WriteSummary(file)) return FALSE;
    for (int n = 0; n < 4; ++n)
        if (req.IsOutputEnabled(n) && !d.m_2StgOutputFilter[n].WriteSummary(file)) return FALSE;
    for (int n = 0; n < 4; ++n)
        if (req.IsOutputEnabled(n) && !d.m_LoadNetwork[n].WriteSummary(file)) return FALSE;
    if (!d.m_VoltageFeedbackNetwork.WriteSummary(file)) return FALSE;
    if (!d.m_VoltageErrorAmp.WriteSummary(file)) return FALSE;
    if (!d.m_OptoIsolator.WriteSummary(file)) return FALSE;
    if (!d.m_ControlSection.WriteSummary(file)) return FALSE;
    if (req.CountEnabledOutputs() > 1) {
        if (!d.m_CurrentFeedbackNetwork.WriteSummary(file)) return FALSE;
        if (!d.m_CurrentLimitNetwork.WriteSummary(file)) return FALSE;
    }
    return TRUE;
}
