// The setup manager behind the seventeen Setup commands. Each command edits
// one piece of the open design on a heap copy: a whole-record dialog for the
// requirements, the weighting networks and the line source; for a circuit
// section a Select One dialog for the variant (and the output), then the
// variant's schematic dialog (SchemDlgReg.h). Only an OK whose copy differs
// from the design's record is committed, and every commit marks the design
// modified and checks it again. Cancel at any step leaves the design as it
// was.
#pragma once

#include "circuit/Doc.h"
#include "setup/SchemDlgReg.h"

constexpr UINT kModuleSetupMgr = 56078;

class CSetupMgr {
public:
    CSetupMgr() = default;
    explicit CSetupMgr(CPwrQuorraDoc* doc) : m_pDoc(doc) {}
    virtual ~CSetupMgr() = default;

    void SetDocument(CPwrQuorraDoc* doc) { m_pDoc = doc; }
    CPwrQuorraDoc* GetDocument() const { return m_pDoc; }

    // The Setup commands, in menu-id order.
    void SetupRequirements();
    void SetupLineSource();
    void SetupLineFilter();
    void SetupLineRectifier();
    void SetupInputCapacitor();
    void SetupPrimarySection();
    void SetupSecondarySection();
    void SetupOutputChoke();
    void SetupFirstStageOutputFilter();
    void SetupSecondStageOutputFilter();
    void SetupLoadNetwork();
    void SetupVoltageFeedbackNetwork();
    void SetupVoltageErrorAmplifier();
    void SetupOptoIsolator();
    void SetupControlSection();
    void SetupCurrentFeedbackNetwork();
    void SetupCurrentLimitNetwork();

    // The editors: the chosen variant (0-based) and, per output, the output
    // index (0-3).
    void EditLineFilter(WORD variant);
    void EditLineRectifier(WORD variant);
    void EditInputCapacitor(WORD variant);
    void EditPrimarySection(WORD variant);
    void EditSecondarySection(WORD variant, WORD output);
    void EditOutputChoke(WORD variant, WORD output);
    void EditFirstStageOutputFilter(WORD variant, WORD output);
    void EditSecondStageOutputFilter(WORD variant, WORD output);
    void EditLoadNetwork(WORD variant, WORD output);
    void EditVoltageErrorAmplifier(WORD variant);
    void EditOptoIsolator(WORD variant);
    void EditControlSection(WORD variant);

    // The "None" variant of a section kind; kTopologyNotChosen when it has
    // none.
    static WORD NoneVariant(SectionKind kind);

private:
    struct EditCodes {
        int copy;
        int output;  // 0 for the sections that exist once
        int variant;
    };
    template <class Rec, class Run, class Check>
    void EditWholeRecord(Rec& record, int copyCode, bool requirements, Run run, Check check);
    template <class Section>
    void EditSection(SectionKind kind, Section* section, WORD variant, int output, const EditCodes& codes);
    // Per-output commands: the remembered output's slot, the kind and the
    // editor.
    template <class SelectDlg>
    void SetupPerOutput(UINT templateId, SectionKind kind, int slot);
    template <class SelectDlg>
    void SetupSingle(UINT templateId, const CSection& section, void (CSetupMgr::*edit)(WORD));
    void RunEditor(SectionKind kind, WORD variant, WORD output);
    void ApplyNonePresets(SectionKind kind, CSection& copy);

    CPwrQuorraDoc* m_pDoc = nullptr;
};
