// The "Select One" dialogs that start each section's Setup command: a radio
// group over the section's circuit variants (templates 248-260), for the
// sections that exist once per output also the output (1 to 4), and the Line
// Source dialog (252) with the line source type and the buttons that edit the
// line voltage, inductance and resistance of the line filter copy.
//
// The plain and per-output dialogs only return numbers through the caller's
// words: the variant (999 = none chosen) and the output index (0-3). A
// per-output dialog remembers, while it is open, the variant last chosen for
// each output.
#pragma once

#include <array>
#include <cstdint>

#include "circuit/Doc.h"
#include "platform/ui/DDX.h"
#include "platform/ui/Dialog.h"
#include "setup/SchemDlgReg.h"

constexpr UINT IDD_SELECT_CONTROL_SECTION = 248;
constexpr UINT IDD_SELECT_INPUT_CAPACITOR = 249;
constexpr UINT IDD_SELECT_LINE_FILTER = 250;
constexpr UINT IDD_SELECT_LINE_RECTIFIER = 251;
constexpr UINT IDD_SELECT_LINE_SOURCE = 252;
constexpr UINT IDD_SELECT_LOAD_NETWORK = 253;
constexpr UINT IDD_SELECT_OPTO_ISOLATOR = 254;
constexpr UINT IDD_SELECT_OUTPUT_CHOKE = 255;
constexpr UINT IDD_SELECT_FIRST_STAGE_FILTER = 256;
constexpr UINT IDD_SELECT_SECOND_STAGE_FILTER = 257;
constexpr UINT IDD_SELECT_PRIMARY_SECTION = 258;
constexpr UINT IDD_SELECT_SECONDARY_SECTION = 259;
constexpr UINT IDD_SELECT_VOLTAGE_ERROR_AMP = 260;

constexpr int IDC_SELECT_OUTPUT1 = 1290;  // 1290-1293
constexpr int IDC_SELECT_VARIANT0 = 1300;  // 1300 + variant
constexpr int IDC_SELECT_MUTUAL_INDUCTANCE = 1330;
constexpr int IDC_SELECT_MAGNETIC_COUPLING = 1331;
constexpr int IDC_LINE_SOURCE_DC = 1600;  // 1600-1603 by line source type
constexpr int IDC_LINE_VOLTAGE = 1604;
constexpr int IDC_LINE_INDUCTANCE = 1605;
constexpr int IDC_LINE_RESISTANCE = 1606;

constexpr UINT kModuleSelctDlg = 56077;
constexpr WORD kNoOutput = 0xFFFF;

// The number of variants of the section's Select One dialog.
int VariantCount(SectionKind kind);
// The document's section of a per-output kind for output index 0-3; nullptr
// for another index or a kind that exists once.
CSection* OutputSectionOf(CPwrQuorraDoc& doc, SectionKind kind, int output);

// A single radio group over the variants of a section that exists once.
class CSelectOneDlg : public fw::Dialog {
public:
    CSelectOneDlg(UINT templateId, WORD* variant, fw::Window* parent);

    void DoDataExchange(fw::DataExchange& dx) override;
    // A checked variant goes to the caller's word and ends the dialog; with
    // none, 53021 and the dialog stays open.
    void OnOK() override;

    int GetVariantCount() const { return m_nVariants; }

protected:
    // Disables the variant radio n.
    void DisableVariant(int n);

    WORD* m_pVariant;
    int m_nVariant;  // radio index; -1 none
    int m_nVariants;
};

class CSelectControlSectionDlg : public CSelectOneDlg {
public:
    CSelectControlSectionDlg(UINT templateId, WORD* variant, fw::Window* parent)
        : CSelectOneDlg(templateId, variant, parent) {}
};
class CSelectLineFilterDlg : public CSelectOneDlg {
public:
    CSelectLineFilterDlg(UINT templateId, WORD* variant, fw::Window* parent)
        : CSelectOneDlg(templateId, variant, parent) {}
};
class CSelectOptoIsolatorDlg : public CSelectOneDlg {
public:
    CSelectOptoIsolatorDlg(UINT templateId, WORD* variant, fw::Window* parent)
        : CSelectOneDlg(templateId, variant, parent) {}
};
class CSelectPrimarySectionDlg : public CSelectOneDlg {
public:
    CSelectPrimarySectionDlg(UINT templateId, WORD* variant, fw::Window* parent)
        : CSelectOneDlg(templateId, variant, parent) {}
};
class CSelectVoltageErrorAmpDlg : public CSelectOneDlg {
public:
    CSelectVoltageErrorAmpDlg(UINT templateId, WORD* variant, fw::Window* parent)
        : CSelectOneDlg(templateId, variant, parent) {}
};

// Offers the rectifiers that fit the committed line source type.
class CSelectLineRectifierDlg : public CSelectOneDlg {
public:
    CSelectLineRectifierDlg(UINT templateId, WORD* variant, fw::Window* parent)
        : CSelectOneDlg(templateId, variant, parent) {}
    BOOL OnInitDialog() override;
};

// Offers the capacitors that fit the committed line rectifier.
class CSelectInputCapacitorDlg : public CSelectOneDlg {
public:
    CSelectInputCapacitorDlg(UINT templateId, WORD* variant, fw::Window* parent)
        : CSelectOneDlg(templateId, variant, parent) {}
    BOOL OnInitDialog() override;
};

// An output radio group over the variant radio group.
class CSelectPerOutputDlg : public fw::Dialog {
public:
    BOOL OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;
    // A checked variant and a checked output go to the caller's words and
    // end the dialog; otherwise 53021 and the dialog stays open.
    void OnOK() override;
    // Any output or variant radio: remember the variant of the output left,
    // show the one remembered for the output chosen.
    void OnChoiceClicked();

    int GetOutputIndex() const { return m_nOutput; }
    WORD GetRememberedVariant(int output) const { return m_wVariants.at(size_t(output)); }

protected:
    CSelectPerOutputDlg(UINT templateId, SectionKind kind, int firstCode, WORD* variant, WORD* output,
                        CPwrQuorraDoc* doc, fw::Window* parent);
    // The coupling check box of the Output Chokes dialog, between the two
    // radio groups.
    virtual void ExchangeCoupling(fw::DataExchange& dx) {}
    virtual void InitCoupling() {}

    CPwrQuorraDoc* m_pDoc;
    SectionKind m_kind;
    int m_nFirstCode;  // no output; the store codes and the show code follow
    WORD* m_pVariant;
    WORD* m_pOutput;
    std::array<WORD, 4> m_wVariants;
    int m_nOutput;   // -1 none
    int m_nVariant;  // -1 none
    int m_nVariants;

private:
    WORD SectionVariant(int output) const;
    void MoveToFirstEnabledOutput();
};

class CSelectSecondarySectionDlg : public CSelectPerOutputDlg {
public:
    CSelectSecondarySectionDlg(UINT templateId, WORD* variant, WORD* output, CPwrQuorraDoc* doc, fw::Window* parent)
        : CSelectPerOutputDlg(templateId, SectionKind::SecondarySection, 2202, variant, output, doc, parent) {}
};
class CSelectFirstStageOutputFilterDlg : public CSelectPerOutputDlg {
public:
    CSelectFirstStageOutputFilterDlg(UINT templateId, WORD* variant, WORD* output, CPwrQuorraDoc* doc,
                                     fw::Window* parent)
        : CSelectPerOutputDlg(templateId, SectionKind::FirstStageOutputFilter, 2210, variant, output, doc, parent) {}
};
class CSelectSecondStageOutputFilterDlg : public CSelectPerOutputDlg {
public:
    CSelectSecondStageOutputFilterDlg(UINT templateId, WORD* variant, WORD* output, CPwrQuorraDoc* doc,
                                      fw::Window* parent)
        : CSelectPerOutputDlg(templateId, SectionKind::SecondStageOutputFilter, 2214, variant, output, doc, parent) {}
};
class CSelectLoadNetworkDlg : public CSelectPerOutputDlg {
public:
    CSelectLoadNetworkDlg(UINT templateId, WORD* variant, WORD* output, CPwrQuorraDoc* doc, fw::Window* parent)
        : CSelectPerOutputDlg(templateId, SectionKind::LoadNetwork, 2218, variant, output, doc, parent) {}
};

// Also edits the coupling record copy through "Magnetic Coupling" and
// "Mut. Ind.".
class CSelectOutputChokeDlg : public CSelectPerOutputDlg {
public:
    CSelectOutputChokeDlg(UINT templateId, WORD* variant, WORD* output, COutputChokeMutualInd* coupling,
                          CPwrQuorraDoc* doc, fw::Window* parent);
    void OnMagneticCoupling();
    void OnMutualInductance();

protected:
    void ExchangeCoupling(fw::DataExchange& dx) override;
    void InitCoupling() override;

private:
    // ticked: the box was just ticked, so a dialog that cannot run unticks it.
    void RunCouplingDialog(bool ticked);
    void SetCoupling(BOOL on);
    void EnableMutualInductance(bool on);
    COutputChokeMutualInd* m_pCoupling;
};

// The line source type of the line filter copy, and its line voltage,
// inductance and resistance.
class CSelectLineSourceDlg : public fw::Dialog {
public:
    CSelectLineSourceDlg(CLineFilter* lineFilter, UINT templateId, fw::Window* parent);

    void DoDataExchange(fw::DataExchange& dx) override;
    // A checked type that fits the line voltage goes to the copy and ends
    // the dialog; no type checked gives 53021, a DC source weaker than the
    // AC peak 53005, and the dialog stays open.
    void OnOK() override;
    void OnLineVoltage();
    void OnLineInductance();
    void OnLineResistance();

    int GetTypeIndex() const { return m_nType; }

private:
    CLineFilter* m_pLineFilter;
    int m_nType;  // -1 none
};
