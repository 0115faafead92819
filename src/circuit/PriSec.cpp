#include "circuit/PriSec.h"

#include <array>
#include <cmath>
#include <vector>

#include "circuit/DocServices.h"
#include "circuit/LinFil.h"
#include "circuit/LinRec.h"
#include "circuit/Require.h"
#include "platform/core/Fields.h"
#include "records/Record.h"
#include "records/Utils.h"

namespace {
fw::RegisterClass<CPrimarySection> g_register("CPrimarySection");
constexpr UINT kLabelBase = 51600;

// Without a document the defaults of a new design apply.
const CRequirements& CurrentRequirements() {
    CDocServices* doc = GetCurrentDoc();
    const CRequirements* req = doc ? doc->GetRequirements() : nullptr;
    static const CRequirements kDefaults;
    return req ? *req : kDefaults;
}

OutputEnables EnablesOf(const CRequirements& req) {
    OutputEnables enables;
    for (int k = 0; k < 4; ++k) enables.flags[size_t(k)] = req.IsOutputEnabled(k);
    return enables;
}

// Peak input voltage after the line rectifier (volts): the line source's DC
// plus AC peak magnitude, scaled for the phases and doublers, less the
// diode drops at the operating temperature. 0 without a document.
double EstimateInputVoltage() {
    CDocServices* doc = GetCurrentDoc();
    CLineFilter* line = doc ? doc->GetLineFilter() : nullptr;
    CLineRectifier* rectifier = doc ? doc->GetLineRectifier() : nullptr;
    if (!line || !rectifier) return 0.0;
    double vin = line->GetLineVoltage().GetDCMagnitude() + line->GetLineVoltage().GetACPeakMagnitude();
    const double drop = doc->ScaleToOperatingTemp(rectifier->GetDiode());
    switch (rectifier->GetTopology()) {
    case CLineRectifier::RECT_FULL_WAVE_BRIDGE:
    case CLineRectifier::RECT_FULL_WAVE_SINGLE_CAP:
        if (line->GetLineSourceType() == CLineFilter::SOURCE_2_PHASE_AC)
            vin *= 2.0;
        else if (line->GetLineSourceType() == CLineFilter::SOURCE_3_PHASE_AC)
            vin *= std::sqrt(3.0);
        vin -= 2.0 * drop;
        break;
    case CLineRectifier::RECT_HALF_WAVE_DOUBLER:
    case CLineRectifier::RECT_MULTI_PHASE_DOUBLER:
        vin = 2.0 * vin - 2.0 * drop;
        break;
    case CLineRectifier::RECT_HALF_WAVE:
        // One diode conducts at the peak.
        vin -= drop;
        break;
    default:
        break;
    }
    return vin;
}

enum Part {
    kPowerXfmr, kSenseXfmr, kDiode1And2, kSW1AndSW2, kSW1, kSW2, kSenseDiode, kSenseRes, kSenseAmp, kResetDiode,
    kResetCap, kClampCap, kClampRes, kClampDiode
};
}  // namespace

CPrimarySection::CPrimarySection() { CPrimarySection::InitDefaults(TRUE); }

void CPrimarySection::InitDefaults(BOOL withBase) {
    if (withBase) InitSectionBase();
    m_strTag = kPrimarySectionTag;
    std::apply([](auto&... r) { (r.InitDefaults(), ...); }, RecordsOf(*this));
    m_SenseResistor.m_dResistance = 1.0e-8;
}

void CPrimarySection::SetDefaults() {
    InitDefaults(FALSE);
    m_ClampCapacitor.SetDefaults(0);
    m_ClampResistor.SetDefaults(0);
    m_SenseAmplifier.SetDefaults(0);
    m_SenseResistor.SetDefaults(0);
    m_Diode1And2.SetDefaults(0);
    m_ClampDiode.SetDefaults(0);
    m_CurrentSenseDiode.SetDefaults(0);
    m_ResetDiode.SetDefaults(0);
    m_ResetCapacitor.SetDefaults(0);
    m_SwitchSW1.SetDefaults(0);
    m_SwitchSW2.SetDefaults(0);
    m_PowerTransformer.SetDefaults(0, EnablesOf(CurrentRequirements()), FALSE);
    m_PowerTransformer.CopyPrimaryToResetWinding();
    // The reset winding's couplings too, from the winding it mirrors: a
    // variant with a reset winding must not start uncoupled.
    m_PowerTransformer.ComputeCoupling(EnablesOf(CurrentRequirements()), TRUE);
    m_CurrentSenseTransformer.SetDefaults(1);
}

void CPrimarySection::Serialize(fw::Archive& ar) {
    SerializeSectionRecord(ar, kPrimarySectionTag, kModulePriSec, 1100, RecordsOf(*this));
}

CPrimarySection& CPrimarySection::operator=(const CPrimarySection& other) {
    if (this == &other) return *this;
    CSection::operator=(other);
    fw::CopyFields(RecordsOf(*this), RecordsOf(other));
    return *this;
}

BOOL CPrimarySection::operator!=(const CPrimarySection& other) const {
    if (fw::FieldsDiffer(RecordsOf(*this), RecordsOf(other))) return TRUE;
    return CSection::operator!=(other);
}

BOOL CPrimarySection::WriteSummary(fw::File& file) { return WriteSummary(file, CurrentRequirements()); }

BOOL CPrimarySection::WriteSummary(fw::File& file, const CRequirements& requirements) {
    // Members of each variant, in summary order.
    static const std::vector<Part> kVariants[] = {
        {kPowerXfmr, kSenseXfmr, kDiode1And2, kSW1AndSW2, kSenseDiode, kSenseRes},
        {kPowerXfmr, kSenseRes, kDiode1And2, kSW1AndSW2, kSenseAmp},
        {kPowerXfmr, kSenseXfmr, kResetDiode, kSW1, kSenseDiode, kSenseRes},
        {kPowerXfmr, kSenseRes, kResetDiode, kSW1, kSenseAmp},
        {kPowerXfmr, kSenseXfmr, kSenseDiode, kSenseRes, kSW1, kResetCap},
        {kPowerXfmr, kSW1, kResetCap, kSenseRes, kSenseAmp},
        {kPowerXfmr, kSenseXfmr, kSW1, kSW2, kSenseDiode, kSenseRes, kClampCap},
        {kPowerXfmr, kClampCap, kSW1, kSW2, kSenseRes, kSenseAmp},
        {kPowerXfmr, kSenseXfmr, kClampCap, kClampRes, kClampDiode, kSW1, kSenseDiode, kSenseRes},
        {kPowerXfmr, kClampCap, kClampRes, kClampDiode, kSW1, kSenseRes, kSenseAmp},
    };
    auto caption = [&file](const char* text) { file.Write(std::string("\r\n  ") + text + ":  "); };

    file.Write(std::string("\r\n\r\nPrimary Section:  "));
    WriteLabel(file, kLabelBase);
    const WORD topology = GetTopology();
    if (topology == kTopologyNotChosen) {
        file.Write(std::string("\r\n  Not Selected"));
        return TRUE;
    }
    if (topology > PASSIVE_CLAMP_RESISTOR) {
        ReportMessage1(kModulePriSec, 1102, FALSE);
        return TRUE;
    }
    // Only the single-switch variants use the reset winding.
    const BOOL withReset = (topology == SINGLE_SWITCH_XFMR || topology == SINGLE_SWITCH_RESISTOR) ? TRUE : FALSE;
    for (Part p : kVariants[topology]) {
        switch (p) {
        case kPowerXfmr:
            caption("Power Transformer");
            m_PowerTransformer.WriteSummary(file, EnablesOf(requirements), withReset);
            break;
        case kSenseXfmr:
            caption("Current Sense Transformer");
            m_CurrentSenseTransformer.WriteSummary(file);
            break;
        case kDiode1And2:
            caption("Diode 1 and Diode 2");
            m_Diode1And2.WriteSummary(file, 0);
            break;
        case kSW1AndSW2:
            caption("Field Effect Transistor SW1 and SW2");
            m_SwitchSW1.WriteSummary(file);
            break;
        case kSW1:
            caption("Field Effect Transistor SW1");
            m_SwitchSW1.WriteSummary(file);
            break;
        case kSW2:
            caption("Field Effect Transistor SW2");
            m_SwitchSW2.WriteSummary(file);
            break;
        case kSenseDiode:
            caption("Current Sense Diode");
            m_CurrentSenseDiode.WriteSummary(file, 1);
            break;
        case kSenseRes:
            caption("Sense Resistor");
            m_SenseResistor.WriteSummary(file);
            break;
        case kSenseAmp:
            caption("Sense Amplifier");
            m_SenseAmplifier.WriteSummary(file);
            break;
        case kResetDiode:
            caption("Reset Diode");
            m_ResetDiode.WriteSummary(file, 0);
            break;
        case kResetCap:
            caption("Reset Capacitor");
            m_ResetCapacitor.WriteSummary(file);
            break;
        case kClampCap:
            caption("Clamp Capacitor");
            m_ClampCapacitor.WriteSummary(file);
            break;
        case kClampRes:
            caption("Clamp Resistor");
            m_ClampResistor.WriteSummary(file);
            break;
        case kClampDiode:
            caption("Clamp Diode");
            m_ClampDiode.WriteSummary(file, 0);
            break;
        }
    }
    return TRUE;
}

BOOL CPrimarySection::IsOutputVoltageRealizable(double targetVoltage, double effectiveTurns, int polarity,
                                                double inputVoltage) const {
    const std::array<double, CPwrTransformer::kWindings>& turns = m_PowerTransformer.m_dTurns;
    const double np = turns[CPwrTransformer::kPrimary];
    const double p = inputVoltage * effectiveTurns;
    double limit = 0.0;
    switch (GetTopology()) {
    case TWO_SWITCH_XFMR:
    case TWO_SWITCH_RESISTOR:
        if (!(np > 0.0)) return FALSE;
        limit = p / np / 2.0;
        break;
    case SINGLE_SWITCH_XFMR:
    case SINGLE_SWITCH_RESISTOR: {
        const double n = np + turns[CPwrTransformer::kReset];
        if (!(n > 0.0)) return FALSE;
        limit = p / n;
        break;
    }
    default:
        if (!(np > 0.0)) return FALSE;
        limit = p / np;
        break;
    }
    return (polarity * targetVoltage < limit) ? TRUE : FALSE;
}

CPrimarySection::WindingArrangement CPrimarySection::GetWindingArrangement(const CRequirements& requirements) const {
    const CPwrTransformer& xfmr = m_PowerTransformer;
    auto end = [&xfmr](int e) { return xfmr.m_Connections[size_t(e)]; };
    WindingArrangement w;
    using X = CPwrTransformer;
    // Windings k and k + 1 are linked when both outputs are enabled and the
    // facing ends are joined.
    std::array<int32_t, 3>& linked = w.linked;
    linked = {
        BothSetAndBothOne(requirements.IsOutputEnabled(0), requirements.IsOutputEnabled(1), end(X::kEndB),
                          end(X::kEndC)),
        BothSetAndBothOne(requirements.IsOutputEnabled(1), requirements.IsOutputEnabled(2), end(X::kEndD),
                          end(X::kEndE)),
        BothSetAndBothOne(requirements.IsOutputEnabled(2), requirements.IsOutputEnabled(3), end(X::kEndF),
                          end(X::kEndG)),
    };
    // Polarity of every output, also above the output count, so that every
    // link has both of its polarities.
    const int32_t ground = X::kGround;
    w.polarity = {
        end(X::kEndA) == ground ? 1 : -1,
        (end(X::kEndC) == ground || (linked[0] && end(X::kEndA) == ground)) ? 1 : -1,
        (end(X::kEndF) == ground || (linked[2] && end(X::kEndH) == ground)) ? -1 : 1,
        end(X::kEndH) == ground ? -1 : 1,
    };
    std::array<int32_t, 3>& up = w.up;
    std::array<int32_t, 3>& down = w.down;
    for (size_t k = 0; k < 3; ++k) {
        if (linked[k]) RecordSign(w.polarity[k], &up[k], &down[k]);
    }

    // Effective turns: a linked winding adds the turns of the windings it
    // is stacked on.
    const double n1 = xfmr.m_dTurns[X::kSecondary1];
    const double n2 = xfmr.m_dTurns[X::kSecondary2];
    const double n3 = xfmr.m_dTurns[X::kSecondary3];
    const double n4 = xfmr.m_dTurns[X::kSecondary4];
    std::array<double, 4>& t = w.effectiveTurns;
    switch (requirements.GetOutputCount()) {
    case 1:
        t[0] = n1;
        break;
    case 2:
        t[1] = n2 + n1 * up[0];
        t[0] = n1 + n2 * down[0];
        break;
    case 3:
        t[2] = n3 + (n2 + n1 * up[0]) * up[1];
        t[1] = n2 + n1 * up[0] + n3 * down[1];
        t[0] = n1 + (n2 + n3 * down[1]) * down[0];
        break;
    case 4:
        t[3] = n4 + (n3 + (n2 + n1 * up[0]) * up[1]) * up[2];
        t[2] = n3 + (n2 + n1 * up[0]) * up[1] + n4 * down[2];
        t[1] = n2 + n1 * up[0] + (n3 + n4 * down[2]) * down[1];
        t[0] = n1 + (n2 + (n3 + n4 * down[2]) * down[1]) * down[0];
        break;
    default:
        break;
    }

    return w;
}

void CPrimarySection::CheckChosen(BOOL report) { CheckChosen(CurrentRequirements(), report); }

void CPrimarySection::CheckChosen(const CRequirements& requirements, BOOL report) {
    auto fail = [&](UINT message) {
        m_bValid = 0;
        if (report) ReportMessage(message, TRUE);
    };
    m_bValid = 1;
    const WORD topology = GetTopology();
    if (topology == kTopologyNotChosen) {
        fail(52116);
        return;
    }
    const CPwrTransformer& xfmr = m_PowerTransformer;
    const double np = xfmr.m_dTurns[CPwrTransformer::kPrimary];
    // Turns that are not positive reach no output: the realizability test
    // below would divide by them, so it is left out.
    const bool primaryTurnsOk = np > 0.0;
    if (!primaryTurnsOk) fail(52167);

    auto end = [&xfmr](int e) { return xfmr.m_Connections[size_t(e)]; };
    for (int k = 0; k < 4; ++k) {
        if (requirements.IsOutputEnabled(k) && (end(2 * k) == 0 || end(2 * k + 1) == 0)) {
            fail(52165);
            break;
        }
    }

    if (HasClampSwitch()) {
        const CTransistorFE& sw1 = m_SwitchSW1;
        const CTransistorFE& sw2 = m_SwitchSW2;
        if (sw2.m_dTurnOnDelay + sw2.m_dRiseTime < sw1.m_dTurnOffDelay + sw1.m_dFallTime) fail(52030);
        if (sw1.m_dTurnOnDelay + sw1.m_dRiseTime < sw2.m_dTurnOffDelay + sw2.m_dFallTime) fail(52030);
    }

    const double vin = EstimateInputVoltage();

    const WindingArrangement w = GetWindingArrangement(requirements);
    const std::array<int32_t, 4>& s = w.polarity;
    const std::array<double, 4>& t = w.effectiveTurns;
    // Auto-transformer links must join windings of the same polarity; a
    // mismatch is only logged.
    static const UINT kLinkMessages[3] = {52018, 52019, 52020};
    for (size_t k = 0; k < 3; ++k) {
        if (w.linked[k] && !SignsNotOpposite(s[k], s[k + 1])) ReportMessage(kLinkMessages[k], FALSE);
    }
    const int count = requirements.GetOutputCount();

    if (!primaryTurnsOk || count < 1 || count > 4) return;
    for (int k = count; k >= 1; --k) {
        const size_t i = size_t(k - 1);
        const double target = requirements.GetOutput(k - 1)->GetTargetVoltage();
        if (!IsOutputVoltageRealizable(target, t[i], s[i], vin)) {
            fail(52166);
            break;
        }
    }
}
