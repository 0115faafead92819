#include "setup/SetupMgr.h"

#include <memory>
#include <new>
#include <type_traits>

#include "circuit/AppServices.h"
#include "circuit/DocServices.h"
#include "records/Utils.h"
#include "setup/RequireDg.h"
#include "setup/SelctDlg.h"
#include "setup/WeightDg.h"

namespace {

constexpr UINT kMsgInsufficientMemory = 52094;
constexpr UINT kMsgCannotEditVariant = 58600;

// Remembered output slots of the document's misc data.
constexpr int kSlotSecondary = 0;
constexpr int kSlotChoke = 1;
constexpr int kSlotFirstStage = 2;
constexpr int kSlotSecondStage = 3;
constexpr int kSlotLoad = 4;

void ReportNoCopy(int code) {
    ReportMessage1(kModuleSetupMgr, code, FALSE);
    ReportMessage(kMsgInsufficientMemory, TRUE);
}

// The manager's document is the current one while a command runs: the
// dialogs and the records' checks read the design through it.
class CurrentDesign {
public:
    explicit CurrentDesign(CDocServices* doc) : previous_(GetCurrentDoc()) { SetCurrentDoc(doc); }
    ~CurrentDesign() { SetCurrentDoc(previous_); }
    CurrentDesign(const CurrentDesign&) = delete;
    CurrentDesign& operator=(const CurrentDesign&) = delete;

private:
    CDocServices* previous_;
};

template <class T>
std::unique_ptr<T> NewCopy() {
    return std::unique_ptr<T>(new (std::nothrow) T);
}

}  // namespace

WORD CSetupMgr::NoneVariant(SectionKind kind) {
    switch (kind) {
    case SectionKind::LineFilter: return CLineFilter::FILTER_NONE;
    case SectionKind::LineRectifier: return 0;
    case SectionKind::SecondStageOutputFilter: return 0;
    case SectionKind::OptoIsolator: return 6;
    default: return kTopologyNotChosen;
    }
}

// ---------------------------------------------------------------------------
// Whole-record commands

template <class Rec, class Run, class Check>
void CSetupMgr::EditWholeRecord(Rec& record, int copyCode, bool requirements, Run run, Check check) {
    std::unique_ptr<Rec> copy = NewCopy<Rec>();
    if (!copy) {
        ReportNoCopy(copyCode);
        return;
    }
    *copy = record;
    if (run(*copy) != fw::IDOK) return;
    CMiscData& misc = *m_pDoc->GetMiscData();
    if (requirements) misc.EnableAutoDesign();
    else misc.m_nAutoDesign = CMiscData::AUTO_DESIGN_NEVER;
    if (!(*copy != record)) return;
    record = *copy;
    check(record);
    m_pDoc->SetModifiedAndCheck();
    if (requirements) AppRefreshMainFrame(0);
}

void CSetupMgr::SetupRequirements() {
    if (!m_pDoc) return;
    CurrentDesign current(m_pDoc);
    EditWholeRecord(
        *m_pDoc->GetRequirements(), 1800, true,
        [](CRequirements& copy) { return CRequirementsDlg(&copy, IDD_REQUIREMENTS, nullptr).DoModal(); },
        [](CRequirements& r) { r.CheckOutputs(FALSE); });
}

void CSetupMgr::SetupVoltageFeedbackNetwork() {
    if (!m_pDoc) return;
    CurrentDesign current(m_pDoc);
    EditWholeRecord(
        *m_pDoc->GetVoltageFeedbackNetwork(), 1801, false,
        [](CVoltageFeedbackNetwork& copy) {
            return CVoltageFeedbackWeightingDlg(&copy, IDD_VOLTAGE_FEEDBACK_WEIGHTING, nullptr).DoModal();
        },
        [](CVoltageFeedbackNetwork& r) { r.CheckChosen(FALSE); });
}

void CSetupMgr::SetupCurrentFeedbackNetwork() {
    if (!m_pDoc) return;
    CurrentDesign current(m_pDoc);
    EditWholeRecord(
        *m_pDoc->GetCurrentFeedbackNetwork(), 1802, false,
        [](CCurrentFeedbackNetwork& copy) {
            return CCurrentFeedbackWeightingDlg(&copy, IDD_CURRENT_FEEDBACK_WEIGHTING, nullptr).DoModal();
        },
        [](CCurrentFeedbackNetwork& r) { r.CheckChosen(FALSE); });
}

void CSetupMgr::SetupCurrentLimitNetwork() {
    if (!m_pDoc) return;
    CurrentDesign current(m_pDoc);
    EditWholeRecord(
        *m_pDoc->GetCurrentLimitNetwork(), 1803, false,
        [](CCurrentLimitNetwork& copy) {
            return CCurrentLimitWeightingDlg(&copy, IDD_CURRENT_LIMIT_WEIGHTING, nullptr).DoModal();
        },
        [](CCurrentLimitNetwork& r) { r.CheckChosen(FALSE); });
}

void CSetupMgr::SetupLineSource() {
    if (!m_pDoc) return;
    CurrentDesign current(m_pDoc);
    EditWholeRecord(
        *m_pDoc->GetLineFilter(), 1804, false,
        [](CLineFilter& copy) { return CSelectLineSourceDlg(&copy, IDD_SELECT_LINE_SOURCE, nullptr).DoModal(); },
        [](CLineFilter& r) { r.CheckChosen(FALSE); });
}

// ---------------------------------------------------------------------------
// Variant commands

template <class SelectDlg>
void CSetupMgr::SetupSingle(UINT templateId, const CSection& section, void (CSetupMgr::*edit)(WORD)) {
    WORD variant = section.GetTopology();
    SelectDlg dlg(templateId, &variant, nullptr);
    if (dlg.DoModal() != fw::IDOK) return;
    (this->*edit)(variant);
}

void CSetupMgr::SetupLineFilter() {
    if (!m_pDoc) return;
    CurrentDesign current(m_pDoc);
    SetupSingle<CSelectLineFilterDlg>(IDD_SELECT_LINE_FILTER, *m_pDoc->GetLineFilter(), &CSetupMgr::EditLineFilter);
}

void CSetupMgr::SetupLineRectifier() {
    if (!m_pDoc) return;
    CurrentDesign current(m_pDoc);
    SetupSingle<CSelectLineRectifierDlg>(IDD_SELECT_LINE_RECTIFIER, *m_pDoc->GetLineRectifier(),
                                         &CSetupMgr::EditLineRectifier);
}

void CSetupMgr::SetupInputCapacitor() {
    if (!m_pDoc) return;
    CurrentDesign current(m_pDoc);
    SetupSingle<CSelectInputCapacitorDlg>(IDD_SELECT_INPUT_CAPACITOR, *m_pDoc->GetInputCapacitor(),
                                          &CSetupMgr::EditInputCapacitor);
}

void CSetupMgr::SetupPrimarySection() {
    if (!m_pDoc) return;
    CurrentDesign current(m_pDoc);
    SetupSingle<CSelectPrimarySectionDlg>(IDD_SELECT_PRIMARY_SECTION, *m_pDoc->GetPrimarySection(),
                                          &CSetupMgr::EditPrimarySection);
}

void CSetupMgr::SetupVoltageErrorAmplifier() {
    if (!m_pDoc) return;
    CurrentDesign current(m_pDoc);
    SetupSingle<CSelectVoltageErrorAmpDlg>(IDD_SELECT_VOLTAGE_ERROR_AMP, *m_pDoc->GetVoltageErrorAmp(),
                                           &CSetupMgr::EditVoltageErrorAmplifier);
}

void CSetupMgr::SetupOptoIsolator() {
    if (!m_pDoc) return;
    CurrentDesign current(m_pDoc);
    SetupSingle<CSelectOptoIsolatorDlg>(IDD_SELECT_OPTO_ISOLATOR, *m_pDoc->GetOptoIsolator(),
                                        &CSetupMgr::EditOptoIsolator);
}

void CSetupMgr::SetupControlSection() {
    if (!m_pDoc) return;
    CurrentDesign current(m_pDoc);
    SetupSingle<CSelectControlSectionDlg>(IDD_SELECT_CONTROL_SECTION, *m_pDoc->GetControlSection(),
                                          &CSetupMgr::EditControlSection);
}

// ---------------------------------------------------------------------------
// Per-output commands

template <class SelectDlg>
void CSetupMgr::SetupPerOutput(UINT templateId, SectionKind kind, int slot) {
    CMiscData& misc = *m_pDoc->GetMiscData();
    WORD output = misc.m_wReserved[size_t(slot)];
    WORD variant = kTopologyNotChosen;
    SelectDlg dlg(templateId, &variant, &output, m_pDoc, nullptr);
    if (dlg.DoModal() != fw::IDOK) return;
    // The dialog returns an output only when it names an enabled one; a
    // remembered index outside 0-3 would go into the design file.
    if (output <= 3 && output != misc.m_wReserved[size_t(slot)]) {
        misc.m_wReserved[size_t(slot)] = output;
        m_pDoc->SetModifiedFlag(TRUE);
    }
    RunEditor(kind, variant, output);
}

void CSetupMgr::SetupSecondarySection() {
    if (!m_pDoc) return;
    CurrentDesign current(m_pDoc);
    SetupPerOutput<CSelectSecondarySectionDlg>(IDD_SELECT_SECONDARY_SECTION, SectionKind::SecondarySection,
                                               kSlotSecondary);
}

void CSetupMgr::SetupFirstStageOutputFilter() {
    if (!m_pDoc) return;
    CurrentDesign current(m_pDoc);
    SetupPerOutput<CSelectFirstStageOutputFilterDlg>(IDD_SELECT_FIRST_STAGE_FILTER,
                                                     SectionKind::FirstStageOutputFilter, kSlotFirstStage);
}

void CSetupMgr::SetupSecondStageOutputFilter() {
    if (!m_pDoc) return;
    CurrentDesign current(m_pDoc);
    SetupPerOutput<CSelectSecondStageOutputFilterDlg>(IDD_SELECT_SECOND_STAGE_FILTER,
                                                      SectionKind::SecondStageOutputFilter, kSlotSecondStage);
}

void CSetupMgr::SetupLoadNetwork() {
    if (!m_pDoc) return;
    CurrentDesign current(m_pDoc);
    SetupPerOutput<CSelectLoadNetworkDlg>(IDD_SELECT_LOAD_NETWORK, SectionKind::LoadNetwork, kSlotLoad);
}

void CSetupMgr::SetupOutputChoke() {
    if (!m_pDoc) return;
    CurrentDesign current(m_pDoc);
    COutputChokeMutualInd& coupling = *m_pDoc->GetOutputChokeMutualInd();
    std::unique_ptr<COutputChokeMutualInd> copy = NewCopy<COutputChokeMutualInd>();
    if (!copy) {
        ReportNoCopy(1805);
        return;
    }
    *copy = coupling;
    CMiscData& misc = *m_pDoc->GetMiscData();
    WORD output = misc.m_wReserved[size_t(kSlotChoke)];
    WORD variant = kTopologyNotChosen;
    CSelectOutputChokeDlg dlg(IDD_SELECT_OUTPUT_CHOKE, &variant, &output, copy.get(), m_pDoc, nullptr);
    if (dlg.DoModal() != fw::IDOK) return;
    if (*copy != coupling) {
        coupling = *copy;
        m_pDoc->SetModifiedAndCheck();
    }
    if (output <= 3 && output != misc.m_wReserved[size_t(kSlotChoke)]) {
        misc.m_wReserved[size_t(kSlotChoke)] = output;
        m_pDoc->SetModifiedFlag(TRUE);
    }
    RunEditor(SectionKind::OutputChoke, variant, output);
}

void CSetupMgr::RunEditor(SectionKind kind, WORD variant, WORD output) {
    switch (kind) {
    case SectionKind::SecondarySection: EditSecondarySection(variant, output); break;
    case SectionKind::OutputChoke: EditOutputChoke(variant, output); break;
    case SectionKind::FirstStageOutputFilter: EditFirstStageOutputFilter(variant, output); break;
    case SectionKind::SecondStageOutputFilter: EditSecondStageOutputFilter(variant, output); break;
    case SectionKind::LoadNetwork: EditLoadNetwork(variant, output); break;
    default: break;
    }
}

// ---------------------------------------------------------------------------
// The editors

template <class Section>
void CSetupMgr::EditSection(SectionKind kind, Section* section, WORD variant, int output, const EditCodes& codes) {
    if (!m_pDoc) return;
    CurrentDesign current(m_pDoc);
    std::unique_ptr<Section> copy = NewCopy<Section>();
    if (!copy) {
        ReportNoCopy(codes.copy);
        return;
    }
    if (!section) {
        ReportMessage1(kModuleSetupMgr, codes.output, FALSE);
        return;
    }
    *copy = *section;
    if (variant >= VariantCount(kind)) {
        ReportMessage1(kModuleSetupMgr, codes.variant, FALSE);
        return;
    }
    bool edited = false;
    if (variant == NoneVariant(kind)) {
        copy->SetTopology(variant);
        ApplyNonePresets(kind, *copy);
        edited = true;
    } else if (const SchematicDialogFn* run = FindSchematicDialog(kind, variant)) {
        SchematicDialogArgs args;
        args.variant = variant;
        args.output = output < 0 ? 0 : output + 1;
        args.requirements = m_pDoc->GetRequirements();
        args.pictureId = SchematicPictureId(kind, variant);
        args.listId = SchematicListId(kind, variant);
        edited = (*run)(*copy, args) == fw::IDOK;
    } else {
        ReportMessage(kMsgCannotEditVariant, TRUE);
        return;
    }
    if (!edited) return;
    m_pDoc->GetMiscData()->m_nAutoDesign = CMiscData::AUTO_DESIGN_NEVER;
    if (!(*copy != *section)) return;
    *section = *copy;
    if constexpr (std::is_same_v<Section, CPrimarySection>) section->CheckChosen(*m_pDoc->GetRequirements(), FALSE);
    else section->CheckChosen(FALSE);
    m_pDoc->SetModifiedAndCheck();
    if (kind == SectionKind::VoltageErrorAmp || kind == SectionKind::OptoIsolator ||
        kind == SectionKind::ControlSection)
        AppRefreshMainFrame(0);
}

void CSetupMgr::ApplyNonePresets(SectionKind kind, CSection& copy) {
    switch (kind) {
    case SectionKind::LineFilter: {
        CLineFilter& s = static_cast<CLineFilter&>(copy);
        s.GetInductorIn1().SetDefaults(0);
        s.GetInductorIn2().SetDefaults(0);
        s.GetInductorDamp().SetDefaults(0);
        s.GetCapacitorIn().SetDefaults(0);
        s.GetCapacitorDamp().SetDefaults(0);
        s.GetResistorDamp1().SetDefaults(1);
        s.GetResistorDamp2().SetDefaults(1);
        break;
    }
    case SectionKind::LineRectifier: static_cast<CLineRectifier&>(copy).GetDiode().SetDefaults(1); break;
    case SectionKind::SecondStageOutputFilter: {
        C2StgOutputFilter& s = static_cast<C2StgOutputFilter&>(copy);
        s.GetCapacitorDamp2().SetDefaults(0);
        s.GetCapacitorOut2().SetDefaults(0);
        s.GetInductorOut2().SetDefaults(0);
        s.GetInductorOut3().SetDefaults(0);
        s.GetResistorDamp2().SetDefaults(1);
        s.GetResistorDamp3().SetDefaults(1);
        break;
    }
    case SectionKind::OptoIsolator: {
        COptoIsolator& s = static_cast<COptoIsolator&>(copy);
        s.GetDriverSource().SetDefaults(0);
        s.GetDiodeLED().SetDefaults(0);
        s.GetDriveResistor().SetDefaults(0);
        s.GetDriveTransistor().SetDefaults(0);
        s.GetBiasVoltage().SetDefaults(0);
        s.GetPhotoTransistor().SetDefaults(0);
        s.GetLoadResistor().SetDefaults(0);
        s.GetPoleCapacitor().SetDefaults(0);
        s.GetResistorAmp1().SetDefaults(0);
        s.GetResistorAmp2().SetDefaults(0);
        s.GetOperationalAmplifier().SetDefaults(0);
        s.GetVoltageSourceVRef().SetDefaults(0);
        break;
    }
    default: break;
    }
}

void CSetupMgr::EditLineFilter(WORD variant) {
    if (m_pDoc) EditSection(SectionKind::LineFilter, m_pDoc->GetLineFilter(), variant, -1, {1806, 0, 1807});
}

void CSetupMgr::EditLineRectifier(WORD variant) {
    if (m_pDoc) EditSection(SectionKind::LineRectifier, m_pDoc->GetLineRectifier(), variant, -1, {1808, 0, 1809});
}

void CSetupMgr::EditInputCapacitor(WORD variant) {
    if (m_pDoc) EditSection(SectionKind::InputCapacitor, m_pDoc->GetInputCapacitor(), variant, -1, {1810, 0, 1811});
}

void CSetupMgr::EditPrimarySection(WORD variant) {
    if (m_pDoc) EditSection(SectionKind::PrimarySection, m_pDoc->GetPrimarySection(), variant, -1, {1812, 0, 1813});
}

void CSetupMgr::EditSecondarySection(WORD variant, WORD output) {
    if (!m_pDoc) return;
    auto* s = static_cast<CSecondarySection*>(OutputSectionOf(*m_pDoc, SectionKind::SecondarySection, output));
    EditSection(SectionKind::SecondarySection, s, variant, output, {1814, 1815, 1816});
}

void CSetupMgr::EditOutputChoke(WORD variant, WORD output) {
    if (!m_pDoc) return;
    auto* s = static_cast<COutputChoke*>(OutputSectionOf(*m_pDoc, SectionKind::OutputChoke, output));
    EditSection(SectionKind::OutputChoke, s, variant, output, {1817, 1818, 1819});
}

void CSetupMgr::EditFirstStageOutputFilter(WORD variant, WORD output) {
    if (!m_pDoc) return;
    auto* s = static_cast<C1StgOutputFilter*>(OutputSectionOf(*m_pDoc, SectionKind::FirstStageOutputFilter, output));
    EditSection(SectionKind::FirstStageOutputFilter, s, variant, output, {1820, 1821, 1822});
}

void CSetupMgr::EditSecondStageOutputFilter(WORD variant, WORD output) {
    if (!m_pDoc) return;
    auto* s = static_cast<C2StgOutputFilter*>(OutputSectionOf(*m_pDoc, SectionKind::SecondStageOutputFilter, output));
    EditSection(SectionKind::SecondStageOutputFilter, s, variant, output, {1823, 1824, 1825});
}

void CSetupMgr::EditLoadNetwork(WORD variant, WORD output) {
    if (!m_pDoc) return;
    auto* s = static_cast<CLoadNetwork*>(OutputSectionOf(*m_pDoc, SectionKind::LoadNetwork, output));
    EditSection(SectionKind::LoadNetwork, s, variant, output, {1826, 1827, 1828});
}

void CSetupMgr::EditVoltageErrorAmplifier(WORD variant) {
    if (m_pDoc) EditSection(SectionKind::VoltageErrorAmp, m_pDoc->GetVoltageErrorAmp(), variant, -1, {1829, 0, 1830});
}

void CSetupMgr::EditOptoIsolator(WORD variant) {
    if (m_pDoc) EditSection(SectionKind::OptoIsolator, m_pDoc->GetOptoIsolator(), variant, -1, {1831, 0, 1832});
}

void CSetupMgr::EditControlSection(WORD variant) {
    if (m_pDoc) EditSection(SectionKind::ControlSection, m_pDoc->GetControlSection(), variant, -1, {1833, 0, 1834});
}
