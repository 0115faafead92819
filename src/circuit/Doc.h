// The design document: one single-ended forward converter design with every section, the
// requirements, notes, user data and analysis configuration; the records and tables that the
// analysis reads; and the control of the analysis worker. It creates a new design, reads and
// writes the design file (".SEF"), keeps the title's modified mark, re-checks the design after
// every change and writes the design summary.
//
// Loading goes into a fresh set of records that replaces the open design only when the file
// was read whole; a file that cannot be read as a design leaves the open design untouched.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>

#include "analysis/context/AnalInputRec.h"
#include "analysis/context/AnalParams.h"
#include "analysis/context/AnalTables.h"
#include "circuit/AnalCfg.h"
#include "circuit/CtlSec.h"
#include "circuit/DocAnalysis.h"
#include "circuit/DocServices.h"
#include "circuit/FbNet.h"
#include "circuit/InCap.h"
#include "circuit/LdNet.h"
#include "circuit/LinFil.h"
#include "circuit/LinRec.h"
#include "circuit/MiscData.h"
#include "circuit/OptoIso.h"
#include "circuit/OutChk.h"
#include "circuit/OutFil1.h"
#include "circuit/OutFil2.h"
#include "circuit/PriSec.h"
#include "circuit/Require.h"
#include "circuit/SecSec.h"
#include "circuit/USData.h"
#include "circuit/VErAmp.h"
#include "platform/core/Archive.h"
#include "platform/core/File.h"
#include "platform/core/Types.h"
#include "records/KXObject.h"

constexpr UINT kModuleDoc = 56036;
constexpr const char* kDocumentTag = "<POWER_QUORRA_DATA>";
constexpr WORD kDocumentVersion = 0;

// The archived part of a design, in file order. Per-output members carry their output number
// (0 to 3) from construction on, so that a file is checked against the member's position.
struct CDesignRecords {
    CDesignRecords();
    CDesignRecords(const CDesignRecords&) = delete;
    CDesignRecords& operator=(const CDesignRecords&) = delete;

    // The 36 records, each with its own tag and schema; nothing between or after them.
    void Serialize(fw::Archive& ar);

    CPwrQuorraObject m_Signature;
    CRequirements m_Requirements;
    CLineFilter m_LineFilter;
    CLineRectifier m_LineRectifier;
    CInputCapacitor m_InputCapacitor;
    CPrimarySection m_PrimarySection;
    std::array<CSecondarySection, 4> m_SecondarySection;
    std::array<COutputChoke, 4> m_OutputChoke;
    COutputChokeMutualInd m_OutputChokeMutualInd;
    std::array<C1StgOutputFilter, 4> m_1StgOutputFilter;
    std::array<C2StgOutputFilter, 4> m_2StgOutputFilter;
    std::array<CLoadNetwork, 4> m_LoadNetwork;
    CVoltageFeedbackNetwork m_VoltageFeedbackNetwork;
    CVoltageErrorAmp m_VoltageErrorAmp;
    COptoIsolator m_OptoIsolator;
    CControlSection m_ControlSection;
    CCurrentFeedbackNetwork m_CurrentFeedbackNetwork;
    CCurrentLimitNetwork m_CurrentLimitNetwork;
    CMiscData m_MiscData;
    CUSData m_USData;
    CAnalysisConfig m_AnalysisConfig;
};

// The summaries' "%A, %B %d, %Y" and "%H:%M:%S %p", in English whatever the locale; the
// text summary and the printed page both use them.
std::string SummaryDateText(const std::tm& t);
std::string SummaryTimeText(const std::tm& t);

class CPwrQuorraDoc : public CDocServices {
public:
    // Registers itself as the current document; the design is not yet defaulted (OnNewDocument
    // does that).
    CPwrQuorraDoc();
    CPwrQuorraDoc(const CPwrQuorraDoc&) = delete;
    CPwrQuorraDoc& operator=(const CPwrQuorraDoc&) = delete;
    // Ends a live run before anything is destroyed.
    ~CPwrQuorraDoc() override;

    // File New: a design with every default, titled "untitled", not modified.
    BOOL OnNewDocument();
    // File Open. FALSE, with the user told and the open design unchanged, when the file cannot
    // be read or is not a design file. A design of another circuit type is replaced by a new
    // design (52036) that keeps the title "untitled".
    BOOL OnOpenDocument(const std::string& path);
    // File Save: the design file written atomically; FALSE, with the user told and the old
    // file left whole, when it cannot be written.
    BOOL OnSaveDocument(const std::string& path);

    // Resets the design in place to the defaults of a new design.
    void InitDefaults();
    // Storing writes the design file. Loading reads a whole design into a fresh set of
    // records and takes it only when the file was read to its last record (a record with a
    // wrong tag or schema takes its defaults and the load goes on); FALSE, with the user told
    // and the design unchanged, for an empty file, a wrong document tag or version, or a file
    // that ends early.
    BOOL Serialize(fw::Archive& ar);

    // The modified flag with the title's "*" mark.
    void SetModifiedFlag(BOOL modified) override;
    BOOL IsModified() const { return m_bModified; }
    // Sets the title as it is (the framework's SetTitle).
    void SetTitle(const std::string& title) { m_strTitle = title; }
    const std::string& GetTitle() const { return m_strTitle; }
    // The file the design was last read from or written to; empty for a new design.
    const std::string& GetPathName() const { return m_strPathName; }
    const std::string& GetDocumentTag() const { return m_strTag; }

    // After a committed edit: modified, then every section checked.
    void SetModifiedAndCheck();
    // Checks every section in member order, reporting when the show-messages flag is set,
    // then recomputes the circuit-complete flag.
    void CheckAllSections();
    void UpdateCircuitComplete();
    // The design summary into an open file; FALSE as soon as a section summary fails.
    BOOL WriteSummaryText(fw::File& file);
    // View > Messages: flips the show-messages flag; modified, with the title mark.
    void ToggleShowMessages();

    // Analysis control (one worker thread per run).
    BOOL PrepareAnalysis();
    BOOL StartAnalysis();
    void EndAnalysis();
    void StopAnalysis();
    // The worker thread's procedure (the analysis worker; tests give their own).
    void SetAnalysisWorkerProc(CAnalysisThreadCtl::WorkerProc proc) { m_analysis.SetWorkerProc(std::move(proc)); }
    // The analysis reports a failed calculation of initial values (any thread).
    void ClearInitValuesOk() { m_analysis.ClearInitValuesOk(); }
    BOOL GetInitValuesOk() const { return m_analysis.GetInitValuesOk(); }
    BOOL HasAnalysisWorker() const { return m_analysis.HasWorker(); }
    int32_t GetRunStatus() const { return m_analysis.GetRunStatus(); }
    AnalysisThreadParams& GetThreadParams() { return m_analysis.Params(); }

    // Accessors.
    CPwrQuorraObject* GetSignature() { return &m_pDesign->m_Signature; }
    CRequirements* GetRequirements() override { return &m_pDesign->m_Requirements; }
    CLineFilter* GetLineFilter() override { return &m_pDesign->m_LineFilter; }
    CLineRectifier* GetLineRectifier() override { return &m_pDesign->m_LineRectifier; }
    CInputCapacitor* GetInputCapacitor() override { return &m_pDesign->m_InputCapacitor; }
    CPrimarySection* GetPrimarySection() override { return &m_pDesign->m_PrimarySection; }
    CSecondarySection* GetSecondarySection1() { return &m_pDesign->m_SecondarySection[0]; }
    CSecondarySection* GetSecondarySection2() { return &m_pDesign->m_SecondarySection[1]; }
    CSecondarySection* GetSecondarySection3() { return &m_pDesign->m_SecondarySection[2]; }
    CSecondarySection* GetSecondarySection4() { return &m_pDesign->m_SecondarySection[3]; }
    COutputChoke* GetOutputChoke1() override { return &m_pDesign->m_OutputChoke[0]; }
    COutputChoke* GetOutputChoke2() override { return &m_pDesign->m_OutputChoke[1]; }
    COutputChoke* GetOutputChoke3() override { return &m_pDesign->m_OutputChoke[2]; }
    COutputChoke* GetOutputChoke4() override { return &m_pDesign->m_OutputChoke[3]; }
    COutputChokeMutualInd* GetOutputChokeMutualInd() { return &m_pDesign->m_OutputChokeMutualInd; }
    C1StgOutputFilter* Get1StgOutputFilter1() override { return &m_pDesign->m_1StgOutputFilter[0]; }
    C1StgOutputFilter* Get1StgOutputFilter2() override { return &m_pDesign->m_1StgOutputFilter[1]; }
    C1StgOutputFilter* Get1StgOutputFilter3() override { return &m_pDesign->m_1StgOutputFilter[2]; }
    C1StgOutputFilter* Get1StgOutputFilter4() override { return &m_pDesign->m_1StgOutputFilter[3]; }
    C2StgOutputFilter* Get2StgOutputFilter1() { return &m_pDesign->m_2StgOutputFilter[0]; }
    C2StgOutputFilter* Get2StgOutputFilter2() { return &m_pDesign->m_2StgOutputFilter[1]; }
    C2StgOutputFilter* Get2StgOutputFilter3() { return &m_pDesign->m_2StgOutputFilter[2]; }
    C2StgOutputFilter* Get2StgOutputFilter4() { return &m_pDesign->m_2StgOutputFilter[3]; }
    CLoadNetwork* GetLoadNetwork1() { return &m_pDesign->m_LoadNetwork[0]; }
    CLoadNetwork* GetLoadNetwork2() { return &m_pDesign->m_LoadNetwork[1]; }
    CLoadNetwork* GetLoadNetwork3() { return &m_pDesign->m_LoadNetwork[2]; }
    CLoadNetwork* GetLoadNetwork4() { return &m_pDesign->m_LoadNetwork[3]; }
    CVoltageFeedbackNetwork* GetVoltageFeedbackNetwork() { return &m_pDesign->m_VoltageFeedbackNetwork; }
    CVoltageErrorAmp* GetVoltageErrorAmp() { return &m_pDesign->m_VoltageErrorAmp; }
    COptoIsolator* GetOptoIsolator() { return &m_pDesign->m_OptoIsolator; }
    CControlSection* GetControlSection() override { return &m_pDesign->m_ControlSection; }
    CCurrentFeedbackNetwork* GetCurrentFeedbackNetwork() override { return &m_pDesign->m_CurrentFeedbackNetwork; }
    CCurrentLimitNetwork* GetCurrentLimitNetwork() { return &m_pDesign->m_CurrentLimitNetwork; }
    CMiscData* GetMiscData() override { return &m_pDesign->m_MiscData; }
    CUSData* GetUSData() override { return &m_pDesign->m_USData; }
    CAnalysisConfig* GetAnalysisConfig() override { return &m_pDesign->m_AnalysisConfig; }

    BOOL GetCircuitComplete() const { return m_pDesign->m_MiscData.GetCircuitComplete(); }
    BOOL GetShowMessages() const { return m_pDesign->m_MiscData.GetShowMessages(); }
    void SetShowMessages(int show) { m_pDesign->m_MiscData.SetShowMessages(show); }
    BOOL IsAutoDesignEnabled() const { return m_pDesign->m_MiscData.IsAutoDesignEnabled(); }
    BOOL IsSingleEndedForward() const { return m_pDesign->m_MiscData.GetCircuitType() == 0 ? TRUE : FALSE; }
    void SetAnalysisSetupOpen(int open) { m_bAnalysisSetupOpen = open; }
    BOOL IsAnalysisSetupOpen() override { return m_bAnalysisSetupOpen; }
    BOOL IsAnalysisRunning() override { return m_analysis.IsRunning(); }

    // The records and tables that the analysis reads.
    AnalysisSettingsRec* GetAnalysisSettings() { return &m_AnalysisSettings; }
    LineSourceInputRec* GetLineSourceInput() { return &m_LineSourceInput; }
    PrimaryInputRec* GetPrimaryInput() { return &m_PrimaryInput; }
    SecondaryRectifierInputRec* GetSecondaryRectifierInput(int output) { return &m_SecondaryRectifierInput.at(size_t(output)); }
    OutputChokeInputRec* GetOutputChokeInput(int output) { return &m_OutputChokeInput.at(size_t(output)); }
    OutputFilterInputRec* GetOutputFilterInput(int output) { return &m_OutputFilterInput.at(size_t(output)); }
    LoadNetworkInputRec* GetLoadNetworkInput(int output) { return &m_LoadNetworkInput.at(size_t(output)); }
    ControlInputRec* GetControlInput() { return &m_ControlInput; }
    TimeMagnitudeTable101* GetTable101(int index) { return &m_Table101.at(size_t(index)); }
    TimeMagnitudeTable3* GetTable3(int index) { return &m_Table3.at(size_t(index)); }
    TimeMagnitudeTable* GetTable(int index) { return &m_Table.at(size_t(index)); }

private:
    // The framework's modified flag, without the title mark.
    void SetModifiedBase(BOOL modified) { m_bModified = modified; }
    void SetPathName(const std::string& path);
    BOOL LoadDesign(fw::Archive& ar);
    // A file that cannot be opened as a design: the message with the file's name while a
    // file is being opened, else the once-only warning.
    void RefuseFile(UINT message);
    void FillThreadParams();

    std::unique_ptr<CDesignRecords> m_pDesign;

    // Handed to the analysis; never archived.
    std::array<TimeMagnitudeTable101, 10> m_Table101;
    std::array<TimeMagnitudeTable3, 3> m_Table3;
    std::array<TimeMagnitudeTable, 30> m_Table;
    BOOL m_bAnalysisSetupOpen = 0;
    AnalysisSettingsRec m_AnalysisSettings;
    LineSourceInputRec m_LineSourceInput;
    PrimaryInputRec m_PrimaryInput;
    std::array<SecondaryRectifierInputRec, 4> m_SecondaryRectifierInput;
    std::array<OutputChokeInputRec, 4> m_OutputChokeInput;
    std::array<OutputFilterInputRec, 4> m_OutputFilterInput;
    std::array<LoadNetworkInputRec, 4> m_LoadNetworkInput;
    ControlInputRec m_ControlInput;
    // Running flag, worker thread, parameter block and the run's events.
    CAnalysisThreadCtl m_analysis;
    std::string m_strTag = kDocumentTag;

    // The framework document's own state.
    std::string m_strTitle;
    std::string m_strPathName;
    BOOL m_bModified = 0;
    // The file OnOpenDocument is reading; empty otherwise.
    std::string m_strOpeningPath;
};
