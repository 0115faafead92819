// Every variant's dialog: a click on each part opens the part's editor with
// its caption on that part's own record; an OK with a change writes only
// that record back, an OK without one or a Cancel writes nothing.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "circuit/CtlSec.h"
#include "circuit/InCap.h"
#include "circuit/LdNet.h"
#include "circuit/LinFil.h"
#include "circuit/LinRec.h"
#include "circuit/OutFil1.h"
#include "circuit/OptoIso.h"
#include "circuit/OutChk.h"
#include "circuit/OutFil2.h"
#include "circuit/PriSec.h"
#include "circuit/Require.h"
#include "circuit/VErAmp.h"
#include "platform/core/Format.h"
#include "schematics/SchemDlg.h"
#include "setup/SetupTestSupport.h"

namespace {

// Puts one member of b back into a.
using Restore = std::function<void(CSection& a, const CSection& b)>;

template <class Sec, class Rec>
Restore R(Rec& (Sec::*get)()) {
    return [get](CSection& a, const CSection& b) {
        (static_cast<Sec&>(a).*get)() = (const_cast<Sec&>(static_cast<const Sec&>(b)).*get)();
    };
}

struct Expect {
    UINT templateId;
    const char* caption;  // nullptr: the template's own title
    Restore member;
};

struct ClassExpect {
    SectionKind kind;
    WORD topology;
    std::string title;
    std::vector<Expect> groups;
};

std::unique_ptr<CSection> NewSection(SectionKind kind) {
    switch (kind) {
    case SectionKind::LineFilter: return std::make_unique<CLineFilter>();
    case SectionKind::LineRectifier: return std::make_unique<CLineRectifier>();
    case SectionKind::InputCapacitor: return std::make_unique<CInputCapacitor>();
    case SectionKind::PrimarySection: return std::make_unique<CPrimarySection>();
    case SectionKind::FirstStageOutputFilter: return std::make_unique<C1StgOutputFilter>();
    case SectionKind::SecondStageOutputFilter: return std::make_unique<C2StgOutputFilter>();
    case SectionKind::LoadNetwork: return std::make_unique<CLoadNetwork>();
    case SectionKind::VoltageErrorAmp: return std::make_unique<CVoltageErrorAmp>();
    case SectionKind::OptoIsolator: return std::make_unique<COptoIsolator>();
    case SectionKind::OutputChoke: return std::make_unique<COutputChoke>();
    case SectionKind::ControlSection: return std::make_unique<CControlSection>();
    default: return nullptr;
    }
}

bool Differs(SectionKind kind, const CSection& a, const CSection& b) {
    switch (kind) {
    case SectionKind::LineFilter: return static_cast<const CLineFilter&>(a) != static_cast<const CLineFilter&>(b);
    case SectionKind::LineRectifier:
        return static_cast<const CLineRectifier&>(a) != static_cast<const CLineRectifier&>(b);
    case SectionKind::InputCapacitor:
        return static_cast<const CInputCapacitor&>(a) != static_cast<const CInputCapacitor&>(b);
    case SectionKind::PrimarySection:
        return static_cast<const CPrimarySection&>(a) != static_cast<const CPrimarySection&>(b);
    case SectionKind::FirstStageOutputFilter:
        return static_cast<const C1StgOutputFilter&>(a) != static_cast<const C1StgOutputFilter&>(b);
    case SectionKind::SecondStageOutputFilter:
        return static_cast<const C2StgOutputFilter&>(a) != static_cast<const C2StgOutputFilter&>(b);
    case SectionKind::LoadNetwork: return static_cast<const CLoadNetwork&>(a) != static_cast<const CLoadNetwork&>(b);
    case SectionKind::VoltageErrorAmp:
        return static_cast<const CVoltageErrorAmp&>(a) != static_cast<const CVoltageErrorAmp&>(b);
    case SectionKind::OptoIsolator: return static_cast<const COptoIsolator&>(a) != static_cast<const COptoIsolator&>(b);
    case SectionKind::OutputChoke: return static_cast<const COutputChoke&>(a) != static_cast<const COutputChoke&>(b);
    case SectionKind::ControlSection:
        return static_cast<const CControlSection&>(a) != static_cast<const CControlSection&>(b);
    default: return true;
    }
}

std::vector<ClassExpect> Expected() {
    using LF = CLineFilter;
    const Expect lIn{231, "Inductor In", R(&LF::GetInductorIn2)}, lIn1{231, "Inductor In1", R(&LF::GetInductorIn1)},
        lIn2{231, "Inductor In2", R(&LF::GetInductorIn2)}, lDamp{231, "Inductor Damp", R(&LF::GetInductorDamp)},
        cIn{204, "Capacitor In", R(&LF::GetCapacitorIn)}, cDamp{204, "Capacitor Damp", R(&LF::GetCapacitorDamp)},
        rDampA{244, "Resistor Damp", R(&LF::GetResistorDamp1)}, rDampB{244, "Resistor Damp", R(&LF::GetResistorDamp2)},
        rDamp1{244, "Resistor Damp1", R(&LF::GetResistorDamp1)}, rDamp2{244, "Resistor Damp2", R(&LF::GetResistorDamp2)};
    using LR = CLineRectifier;
    const Restore diode = R(&LR::GetDiode);
    using IC = CInputCapacitor;
    const Expect icIn{204, "Capacitor In", R(&IC::GetCapacitorIn)}, icDamp{204, "Capacitor Damp", R(&IC::GetCapacitorDamp)},
        icR{244, "Resistor Damp", R(&IC::GetResistorDamp)},
        icIns{204, "Capacitors In1 and In2", R(&IC::GetCapacitorIn)},
        icDamps{204, "Capacitors Damp1 and Damp2", R(&IC::GetCapacitorDamp)},
        icRs{244, "Resistors Damp1 and Damp2", R(&IC::GetResistorDamp)};
    using PS = CPrimarySection;
    const Expect xf{240, "Power Transformer", R(&PS::GetPowerTransformer)},
        xfReset{239, "Power Transformer", R(&PS::GetPowerTransformer)},
        cst{263, "Current Sense Transformer", R(&PS::GetCurrentSenseTransformer)},
        d12{220, "Diode 1 and Diode 2", R(&PS::GetDiode1And2)},
        csd{220, "Current Sense Diode", R(&PS::GetCurrentSenseDiode)}, rd{220, "Reset Diode", R(&PS::GetResetDiode)},
        cd{220, "Clamp Diode", R(&PS::GetClampDiode)},
        sw12{266, "Field Effect Transistor SW1 and SW2", R(&PS::GetSwitchSW1)},
        sw1{266, "Field Effect Transistor SW1", R(&PS::GetSwitchSW1)},
        sw2{266, "Field Effect Transistor SW2", R(&PS::GetSwitchSW2)},
        sr{244, "Sense Resistor", R(&PS::GetSenseResistor)}, cr{244, "Clamp Resistor", R(&PS::GetClampResistor)},
        rc{204, "Reset Capacitor", R(&PS::GetResetCapacitor)}, cc{204, "Clamp Capacitor", R(&PS::GetClampCapacitor)},
        amp{201, "Sense Amplifier", R(&PS::GetSenseAmplifier)};
    using F1 = C1StgOutputFilter;
    const Expect out1{204, "Capacitor Out1", R(&F1::GetCapacitorOut1)},
        damp1{204, "Capacitor Damp1", R(&F1::GetCapacitorDamp1)}, rdamp1{244, "Resistor Damp1", R(&F1::GetResistorDamp1)},
        f1d{221, "Current Sense Diode", R(&F1::GetCurrentSenseDiode)},
        f1x{263, "Current Sense Transformer", R(&F1::GetCurrentSenseTransformer)},
        rcs{244, "Resistor Cap Sense", R(&F1::GetResistorCapSense)},
        rb1{244, "Resistor Bias 1", R(&F1::GetResistorBias1)}, rb2{244, "Resistor Bias 2", R(&F1::GetResistorBias2)},
        vb{272, "Voltage Source V Bias", R(&F1::GetVoltageSourceVBias)},
        cb{205, "Capacitor Bias", R(&F1::GetCapacitorBias)};
    using F2 = C2StgOutputFilter;
    const Expect lo2{231, "Inductor Out2", R(&F2::GetInductorOut2)}, lo3{231, "Inductor Out3", R(&F2::GetInductorOut3)},
        co2{204, "Capacitor Out2", R(&F2::GetCapacitorOut2)}, cd2{204, "Capacitor Damp2", R(&F2::GetCapacitorDamp2)},
        rd2{244, "Resistor Damp2", R(&F2::GetResistorDamp2)}, rd3{244, "Resistor Damp3", R(&F2::GetResistorDamp3)};
    using LN = CLoadNetwork;
    const Expect rl{244, "Resistor Load", R(&LN::GetResistorLoad2)}, ll{231, "Inductor Load", R(&LN::GetInductorLoad2)},
        rl1{244, "Resistor Load1", R(&LN::GetResistorLoad1)}, ll1{231, "Inductor Load1", R(&LN::GetInductorLoad1)},
        rl2{244, "Resistor Load2", R(&LN::GetResistorLoad2)}, ll2{231, "Inductor Load2", R(&LN::GetInductorLoad2)},
        il{214, "Current Source I Load", R(&LN::GetCurrentSourceILoad)};
    using VA = CVoltageErrorAmp;
    const Expect r1{245, "Resistor 1", R(&VA::GetResistor1)}, r2{245, "Resistor 2", R(&VA::GetResistor2)},
        r3{245, "Resistor 3", R(&VA::GetResistor3)}, rf{245, "Resistor Feedback", R(&VA::GetResistorFeedback)},
        c1{205, "Capacitor 1", R(&VA::GetCapacitor1)}, c2{205, "Capacitor 2", R(&VA::GetCapacitor2)},
        c3{205, "Capacitor 3", R(&VA::GetCapacitor3)}, vref{271, "Voltage Source V Ref", R(&VA::GetVoltageSourceVRef)},
        opamp{234, nullptr, R(&VA::GetOperationalAmplifier)}, uvlo{268, nullptr, R(&VA::GetUnderVoltLockOut)};

    using K = SectionKind;
    std::vector<ClassExpect> v = {
        {K::LineFilter, 0, "1 Stage No Damping", {lIn}},
        {K::LineFilter, 1, "1 Stage with Damping Resistor", {lIn, rDampB}},
        {K::LineFilter, 2, "1 Stage with Damping Resistor and Choke", {lIn, rDampB, lDamp}},
        {K::LineFilter, 3, "2 Stage No Damping", {lIn1, lIn2, cIn}},
        {K::LineFilter, 4, "2 Stage with Capacitor Damping", {lIn1, lIn2, cIn, cDamp, rDampA}},
        {K::LineFilter, 5, "2 Stage with Choke Damping", {lIn1, lIn2, cIn, rDampB}},
        {K::LineFilter, 6, "2 Stage with Choke Damping and Choke", {lIn1, lIn2, cIn, rDampB, lDamp}},
        {K::LineFilter, 7, "2 Stage with Capacitor and Choke Damping", {lIn1, lIn2, cIn, cDamp, rDamp1, rDamp2}},
        {K::LineFilter, 8, "2 Stage Complex Filter", {lIn1, lIn2, cIn, cDamp, rDamp1, rDamp2, lDamp}},
        {K::LineRectifier, 1, "Half Wave", {{220, "Diode", diode}}},
        {K::LineRectifier, 2, "Full Wave Bridge", std::vector<Expect>(4, {220, "All Diodes", diode})},
        {K::LineRectifier, 3, "Half Wave Doubler", std::vector<Expect>(2, {220, "Both Diodes", diode})},
        {K::LineRectifier, 4, "Full Wave Single Capacitor", std::vector<Expect>(2, {220, "Both Diodes", diode})},
        {K::LineRectifier, 5, "Multi-Phase Doubler", std::vector<Expect>(2, {220, "Both Diodes", diode})},
        {K::InputCapacitor, 0, "Single Capacitor", {icIn}},
        {K::InputCapacitor, 1, "Single Capacitor with Damping", {icIn, icDamp, icR}},
        {K::InputCapacitor, 2, "Doubler", {icIns, icIns}},
        {K::InputCapacitor, 3, "Doubler with Damping", {icIns, icIns, icDamps, icDamps, icRs, icRs}},
        {K::PrimarySection, 0, "Two Switch with Current Transformer", {xf, cst, d12, d12, sw12, sw12, csd, sr}},
        {K::PrimarySection, 1, "Two Switch with Current Sense Resistor", {xf, sr, d12, d12, sw12, sw12, amp}},
        {K::PrimarySection, 2, "Single Switch with Current Transformer", {xfReset, cst, rd, sw1, csd, sr}},
        {K::PrimarySection, 3, "Single Switch with Current Sense Resistor", {xfReset, sr, rd, sw1, amp}},
        {K::PrimarySection, 4, "Resonant Reset with Current Transformer", {xf, cst, csd, sr, sw1, rc}},
        {K::PrimarySection, 5, "Resonant Reset with Current Sense Resistor", {xf, sw1, rc, sr, amp}},
        {K::PrimarySection, 6, "Active Clamp with Current Transformer", {xf, cst, sw1, sw2, csd, sr, cc}},
        {K::PrimarySection, 7, "Active Clamp with Current Sense Resistor", {xf, cc, sw1, sw2, sr, amp}},
        {K::PrimarySection, 8, "Passive Clamp with Current Transformer", {cst, cc, cr, cd, sw1, xf, csd, sr}},
        {K::PrimarySection, 9, "Passive Clamp with Current Sense Resistor", {xf, cc, cr, cd, sw1, sr, amp}},
        {K::FirstStageOutputFilter, 0, "First Stage Output Filter 2: Single Capacitor", {out1}},
        {K::FirstStageOutputFilter, 1, "First Stage Output Filter 2: Capacitor with Damping", {out1, damp1, rdamp1}},
        {K::FirstStageOutputFilter, 2, "First Stage Output Filter 2: Single Capacitor with Current Sensing",
         {out1, f1d, f1x, rcs, rb1, vb, rb2, cb}},
        {K::FirstStageOutputFilter, 3, "First Stage Output Filter 2: Capacitor with Damping and Current Sensing",
         {out1, f1d, f1x, rcs, rb1, vb, rb2, cb, damp1, rdamp1}},
        {K::SecondStageOutputFilter, 1, "Second Stage Output Filter 2: LC Filter", {lo2, co2}},
        {K::SecondStageOutputFilter, 2, "Second Stage Output Filter 2: LC with Inductor Damping", {lo2, rd2, co2}},
        {K::SecondStageOutputFilter, 3, "Second Stage Output Filter 2: LC with Capacitor Damping", {lo2, co2, cd2, rd3}},
        {K::SecondStageOutputFilter, 4, "Second Stage Output Filter 2: LC with Inductor Damping and Damping Inductor",
         {lo2, lo3, rd2, co2}},
        {K::SecondStageOutputFilter, 5, "Second Stage Output Filter 2: LC with Inductor and Capacitor Damping",
         {lo2, rd2, co2, cd2, rd3}},
        {K::SecondStageOutputFilter, 6, "Second Stage Output Filter 2: LC with Ind. Damping, Damping Ind., Cap. Damping",
         {lo2, rd2, lo3, co2, cd2, rd3}},
        {K::LoadNetwork, 0, "Load Network 2: Resistive Load", {rl}},
        {K::LoadNetwork, 1, "Load Network 2: Inductive and Resistive Load", {rl, ll}},
        {K::LoadNetwork, 2, "Load Network 2: Current Source Load", {il}},
        {K::LoadNetwork, 3, "Load Network 2: Complex Load", {rl1, ll1, rl2, ll2, il}},
    };
    const std::vector<Expect> vea[4] = {{r1, r2, r3, c1, c2, c3, vref, opamp, uvlo},
                                        {r1, r3, c2, c3, vref, opamp, uvlo},
                                        {r1, r3, c2, vref, opamp, uvlo},
                                        {r1, c3, vref, opamp, uvlo}};
    for (WORD t = 0; t < 8; ++t) {
        std::vector<Expect> g = vea[t % 4];
        if (t >= 4) g.insert(g.end() - 2, rf);
        const char* const titles[] = {"Three Poles, Two Zeroes", "Two Poles, One Zero", "Single Pole, Single Zero",
                                      "Single Pole", "Three Poles, Two Zeroes with DC Feedback",
                                      "Two Poles, One Zero with DC Feedback", "Single Pole, Single Zero with DC Feedback",
                                      "Single Pole with DC Feedback"};
        v.push_back({K::VoltageErrorAmp, t, titles[t], g});
    }
    using OI = COptoIsolator;
    const Expect drvW{236, "Driver Source", R(&OI::GetDriverSource)}, drv{237, "Driver Source", R(&OI::GetDriverSource)},
        drR{245, "Drive Resistor", R(&OI::GetDriveResistor)}, led{222, "Diode LED", R(&OI::GetDiodeLED)},
        drQ{265, "Drive Transistor", R(&OI::GetDriveTransistor)}, bias{235, "Bias Voltage", R(&OI::GetBiasVoltage)},
        photo{267, "Photo Transistor", R(&OI::GetPhotoTransistor)}, ldR{245, "Load Resistor", R(&OI::GetLoadResistor)},
        pole{205, "Pole Capacitor", R(&OI::GetPoleCapacitor)}, a1{245, "Resistor Amp 1", R(&OI::GetResistorAmp1)},
        a2{245, "Resistor Amp 2", R(&OI::GetResistorAmp2)}, oOp{234, nullptr, R(&OI::GetOperationalAmplifier)},
        oRef{271, "Voltage Source V Ref", R(&OI::GetVoltageSourceVRef)};
    v.push_back({K::OptoIsolator, 0, "Voltage Drive Transmitter, Inverter Receiver", {drvW, drR, led, bias, photo, ldR}});
    v.push_back({K::OptoIsolator, 1, "Current Drive Transmitter, Follower Receiver", {drv, drR, led, drQ, bias, photo, ldR}});
    v.push_back({K::OptoIsolator, 2, "Voltage Drive Transmitter, Inverter Receiver with Compensation Pole",
                 {drvW, drR, led, bias, photo, ldR, pole}});
    v.push_back({K::OptoIsolator, 3, "Current Drive Transmitter, Inverter Receiver with Op Amp Inverter",
                 {drv, drR, led, drQ, bias, photo, ldR, a1, a2, oOp, oRef}});
    v.push_back({K::OptoIsolator, 4, "Voltage Drive Transmitter, Follower Receiver with Op Amp Inverter",
                 {drvW, drR, led, bias, photo, ldR, a1, a2, oOp, oRef}});
    v.push_back({K::OptoIsolator, 5,
                 "Voltage Drive Transmitter, Follower Receiver with Op Amp Inverter and Compensation Pole",
                 {drv, drR, led, bias, photo, ldR, pole, a1, a2, oOp, oRef}});
    using CS = CControlSection;
    const Expect r4{245, "Resistor 4", R(&CS::GetResistor4)}, r5{245, "Resistor 5", R(&CS::GetResistor5)},
        r7{245, "Resistor 7", R(&CS::GetResistor7)}, r8{245, "Resistor 8", R(&CS::GetResistor8)},
        r9{245, "Resistor 9", R(&CS::GetResistor9)}, r9p{245, "Resistor 9", R(&CS::GetResistor9Peak)},
        r10{245, "Resistor 10", R(&CS::GetResistor10)}, rff{245, "Resistor FF", R(&CS::GetResistorFF)},
        riscl{245, "Resistor ISCL", R(&CS::GetResistorISCL)}, k4{205, "Capacitor 4", R(&CS::GetCapacitor4)},
        k5{205, "Capacitor 5", R(&CS::GetCapacitor5)}, k6{205, "Capacitor 6", R(&CS::GetCapacitor6)},
        k7{205, "Capacitor 7", R(&CS::GetCapacitor7)}, k8{205, "Capacitor 8", R(&CS::GetCapacitor8)},
        kff{205, "Capacitor FF", R(&CS::GetCapacitorFF)}, kss{205, "Capacitor SS", R(&CS::GetCapacitorSS)},
        kiscl{205, "Capacitor ISCL", R(&CS::GetCapacitorISCL)},
        q1{265, "Bipolar Transistor Q1", R(&CS::GetBipolarTransistorQ1)},
        iref{272, "Voltage Source I Ref", R(&CS::GetVoltageSourceIRef)},
        uss{272, "Voltage Source USS", R(&CS::GetVoltageSourceUSS)},
        iss{215, "Current Source ISS", R(&CS::GetCurrentSourceISS)},
        ui{271, "Voltage Source UI", R(&CS::GetVoltageSourceUI)}, ue{271, "Voltage Source UE", R(&CS::GetVoltageSourceUE)},
        vis{211, "Feedback Current Source VIS", R(&CS::GetFeedbackCurrentSourceVIS)},
        vis3{213, "Feedback Current Source VIS", R(&CS::GetFeedbackCurrentSourceVIS)},
        viscl{212, "Limit Current Source VISCL", R(&CS::GetLimitCurrentSourceVISCL)},
        pwm{206, nullptr, R(&CS::GetComparator1)}, pwm3{207, nullptr, R(&CS::GetComparator1)},
        pwm2{208, nullptr, R(&CS::GetComparator2)}, rst{243, nullptr, R(&CS::GetResetSwitch)},
        cop{234, nullptr, R(&CS::GetOperationalAmplifier)}, saw{246, nullptr, R(&CS::GetSawtoothClock)};
    v.push_back({K::ControlSection, 0, "Peak Current",
                 {r7, r8, k6, k7, q1, iref, vis, viscl, ui, saw, pwm, pwm2, kss, iss, uss, ue, r9p, riscl, kiscl}});
    v.push_back({K::ControlSection, 1, "Voltage Feed Forward",
                 {rff, kff, iref, viscl, pwm, pwm2, rst, kss, iss, uss, ue, riscl, kiscl, saw}});
    v.push_back({K::ControlSection, 2, "Voltage", {iref, viscl, saw, pwm, pwm2, kss, iss, uss, ue, riscl, kiscl}});
    v.push_back({K::ControlSection, 3, "Hysteretic Current",
                 {r9, r10, r7, k6, k8, vis3, pwm3, ui, kss, iss, uss, ue, riscl, kiscl, viscl, pwm2, iref}});
    v.push_back({K::ControlSection, 4, "Average Current",
                 {r4, r5, k4, k5, iref, ui, vis, viscl, saw, pwm, pwm2, cop, kss, iss, uss, ue, riscl, kiscl}});
    using OC = COutputChoke;
    const Expect out{231, "Inductor Out1", R(&OC::GetInductorOut1)}, skim{231, "Inductor Skim", R(&OC::GetSkimInductor)},
        rs{244, "Resistor Sense", R(&OC::GetSenseResistor)}, sa{201, "Sense Amplifier", R(&OC::GetSenseAmplifier)};
    v.push_back({K::OutputChoke, 0, "Output Choke 2: Output Choke", {out, rs, sa}});
    v.push_back({K::OutputChoke, 1, "Output Choke 2: Output Choke with Skim Inductor", {skim, out, rs, sa}});
    return v;
}

// A point of the group that no earlier record covers.
bool PointOf(const HotSpotList& list, int group, fw::Point& out) {
    for (const fw::Rect& r : list.groups[group])
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                int hit = -1;
                for (size_t g = 0; g < list.groups.size() && hit < 0; ++g)
                    for (const fw::Rect& q : list.groups[g])
                        if (q.PtInRect({x, y})) {
                            hit = static_cast<int>(g);
                            break;
                        }
                if (hit == group) {
                    out = {x, y};
                    return true;
                }
            }
    return false;
}

// Changes the first value of the editor that it can and presses OK: a
// number is halved or doubled, whichever its range takes, a name gets more
// text.
void ChangeAndOk(fw::Dialog& d) {
    fw::Control* name = nullptr;
    for (const auto& c : d.Controls()) {
        if (!c->IsEdit() || !c->IsWindowEnabled() || !c->IsWindowVisible()) continue;
        double x = 0;
        if (fw::ParseDouble(c->GetWindowText(), x)) {
            for (double next : {x * 0.5, x * 2, 1e-9, 1.0}) {
                if (next == x) continue;
                d.UserTyped(c->GetDlgCtrlID(), fw::Format("%.15g", next));
                d.UserClicked(fw::IDOK);
                if (d.IsEnded()) return;
            }
        }
        if (!name) name = c.get();
    }
    if (name) {
        d.UserTyped(name->GetDlgCtrlID(), name->GetWindowText() + " edited");
    } else {
        // A choice only: take the last unchecked one.
        fw::Control* radio = nullptr;
        for (const auto& c : d.Controls())
            if (c->GetKind() == fw::ControlKind::RadioButton && c->IsWindowEnabled() && !c->GetCheck()) radio = c.get();
        if (radio) d.UserClicked(radio->GetDlgCtrlID());
        else ADD_FAILURE() << "nothing to change in " << d.GetTemplateId();
    }
    d.UserClicked(fw::IDOK);
}

class SchemClasses : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        snapshot_ = std::make_unique<SchematicDialogsSnapshot>();
        RegisterSchematicDialogs();
    }
    void TearDown() override {
        snapshot_.reset();
        DialogTest::TearDown();
    }
    std::unique_ptr<SchematicDialogsSnapshot> snapshot_;
    CRequirements requirements_;
};

TEST_F(SchemClasses, EveryClassIsTested) {
    std::vector<ClassExpect> expected = Expected();
    for (const SchematicClass* c : AllSchematicClasses()) {
        if (c->kind == SectionKind::SecondarySection) continue;  // its own test
        bool found = false;
        for (const ClassExpect& e : expected) found = found || (e.kind == c->kind && e.topology == c->topology);
        EXPECT_TRUE(found) << static_cast<int>(c->kind) << " " << c->topology;
    }
}

TEST_F(SchemClasses, EachPartOpensItsEditorOnItsOwnRecord) {
    enum Outcome { ChangedOk, UnchangedOk, Cancel };
    for (const ClassExpect& e : Expected()) {
        const SchematicDialogFn* fn = FindSchematicDialog(e.kind, e.topology);
        ASSERT_NE(fn, nullptr) << e.title;
        const HotSpotList* list = FindHotSpotList(SchematicListId(e.kind, e.topology));
        ASSERT_NE(list, nullptr) << e.title;
        ASSERT_EQ(list->groups.size(), e.groups.size()) << e.title;
        for (size_t g = 0; g < e.groups.size(); ++g) {
            for (Outcome outcome : {ChangedOk, UnchangedOk, Cancel}) {
                SCOPED_TRACE(e.title + " group " + std::to_string(g) + " outcome " + std::to_string(outcome));
                std::unique_ptr<CSection> section = NewSection(e.kind);
                section->SetTopology(e.topology);  // a section's presets may follow its variant
                section->SetDefaults();
                section->ClearNeedsDefaults();
                fw::Point p;
                ASSERT_TRUE(PointOf(*list, static_cast<int>(g), p));
                std::string title, editorTitle;
                int invalidates = -1;
                ui.windows.modalRuns.clear();
                ui.windows.Script(IDD_SCHEMATIC, [&](fw::Dialog& d) {
                    title = d.GetWindowText();
                    auto* host = static_cast<fw::FakeDialogHost*>(d.GetDialogHost());
                    const int start = host->invalidates;
                    d.UserMouse(fw::MouseEvent::LButtonUp, p);
                    invalidates = host->invalidates - start;
                    d.UserClicked(fw::IDOK);
                });
                ui.windows.Script(e.groups[g].templateId, [&](fw::Dialog& d) {
                    editorTitle = d.GetWindowText();
                    if (outcome == ChangedOk) ChangeAndOk(d);
                    if (outcome == UnchangedOk) d.UserClicked(fw::IDOK);
                });
                SchematicDialogArgs args;
                args.variant = e.topology;
                args.output = 2;
                args.requirements = &requirements_;
                args.pictureId = SchematicPictureId(e.kind, e.topology);
                args.listId = SchematicListId(e.kind, e.topology);
                // The unchanged state to compare with: the section as the dialog leaves it without an edit.
                std::unique_ptr<CSection> reference = NewSection(e.kind);
                reference->SetTopology(e.topology);
                reference->SetDefaults();
                reference->ClearNeedsDefaults();
                EXPECT_EQ((*fn)(*section, args), fw::IDOK);
                ASSERT_EQ(ui.windows.modalRuns.size(), 2u);
                EXPECT_EQ(ui.windows.modalRuns[1], e.groups[g].templateId);
                EXPECT_EQ(title, e.title);
                if (e.groups[g].caption) EXPECT_EQ(editorTitle, e.groups[g].caption);
                else EXPECT_EQ(editorTitle, fw::FindForm(e.groups[g].templateId)->caption);
                // An editor may settle values of its own on OK (the transformer
                // grids recompute couplings), so an unchanged OK is held only
                // to the other records.
                if (outcome != UnchangedOk) {
                    EXPECT_EQ(Differs(e.kind, *section, *reference), outcome == ChangedOk);
                    EXPECT_EQ(invalidates > 0, outcome == ChangedOk);
                }
                e.groups[g].member(*section, *reference);
                EXPECT_FALSE(Differs(e.kind, *section, *reference)) << "another record changed";
                EXPECT_FALSE(LoggedAnyCode());
            }
        }
    }
}

}  // namespace
