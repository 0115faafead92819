// Power transformer record: primary, secondaries 1 to 4 (one per output) and
// the reset winding. Pair quantities are kept once per pair of windings, for
// the later winding measured against the earlier one. The coupling of winding
// x to winding y is k = sqrt((Lo(x) - Ls(x; y)) / Lo(x)), Lo the open-circuit
// inductance of x and Ls(x; y) its inductance with y shorted.
#include <cstdio>

#include "records/Parts.h"
#include "records/Record.h"
#include "records/Utils.h"

namespace {

fw::RegisterClass<CPwrTransformer> g_regPwrTransformer("CPwrTransformer");

constexpr const char* kPwrTransformerTag = "<PWR_TRANSFORMER_DATA>";

using W = CPwrTransformer;

// Shorted-inductance captions of a winding block: "Primary" or "Secondary j".
std::string ShortedCaption(int earlier) {
    if (earlier == W::kPrimary) return "\r\n      Inductance, Primary Winding Shorted: ";
    return "\r\n      Inductance, Secondary " + std::to_string(earlier) + " Winding Shorted: ";
}

std::string CouplingCaption(int earlier) {
    if (earlier == W::kPrimary) return "\r\n      Coupling Coefficient to Primary: ";
    return "\r\n      Coupling Coefficient to Secondary " + std::to_string(earlier) + ": ";
}

}  // namespace

void WindingConnections::Serialize(fw::Archive& ar) {
    for (size_t i = code.size(); i-- > 0;) {
        if (ar.IsStoring()) ar.WriteI32(code[i]);
        else code[i] = ar.ReadI32();
    }
}

int CPwrTransformer::PairIndex(int earlier, int later) {
    if (earlier < kPrimary || later >= kWindings || earlier >= later) return -1;
    // Pairs with an earlier first winding come first: 5 + 4 + ... entries.
    int index = 0;
    for (int e = 0; e < earlier; ++e) index += kWindings - 1 - e;
    return index + (later - earlier - 1);
}

void CPwrTransformer::InitDefaults() {
    m_strTag = kPwrTransformerTag;
    m_strName = "Default";
    m_dTurns.fill(1.0);
    m_dDcResistance.fill(0.0);
    m_dAcResistance.fill(0.0);
    m_dOpenInductance.fill(1.0);
    m_dShortedInductance.fill(0.0);
    m_dCapacitance.fill(1e-13);
    m_dCoupling.fill(0.0);
    // Every lower end to ground, every upper end to the rectifier only.
    for (int end = kEndA; end < kEnds; ++end) m_Connections[size_t(end)] = end % 2 == 0 ? kGround : kRectifierOnly;
    m_dCorePowerLoss = 0;
    m_CoreSatChar.InitDefaults();
}

void CPwrTransformer::SetDefaults(int variant, const OutputEnables& requirements, BOOL withReset) {
    InitDefaults();
    if (variant == 0) {
        m_dTurns = {10.0, 10.0, 1.0, 1.0, 1.0, 1.0};
        m_dDcResistance.fill(1e-6);
        m_dAcResistance.fill(1.0);
        m_dOpenInductance = {2e-4, 2e-4, 10.0, 10.0, 10.0, 10.0};
        m_dCapacitance.fill(1e-13);
        for (int later = kSecondary1; later <= kSecondary4; ++later) ShortedInductance(kPrimary, later) = 2e-6;
        ShortedInductance(kPrimary, kReset) = 1e-6;
        for (int later = kSecondary2; later <= kReset; ++later) ShortedInductance(kSecondary1, later) = 2e-6;
        for (int earlier = kSecondary2; earlier <= kSecondary4; ++earlier)
            for (int later = earlier + 1; later <= kReset; ++later) ShortedInductance(earlier, later) = 1e-8;
        m_dCorePowerLoss = 0;
    } else {
        ReportMessage1(kModuleParts, 3710, FALSE);
    }
    if (!ComputeCoupling(requirements, withReset)) ReportMessage1(kModuleParts, 3711, FALSE);
}

BOOL CPwrTransformer::ComputeCoupling(const OutputEnables& requirements, BOOL withReset) {
    m_nOutputPresent = requirements.flags;
    auto present = [this](int output) { return m_nOutputPresent[size_t(output - 1)] != 0; };
    auto fail = [this](int code) {
        ReportMessage1(kModuleParts, code, FALSE);
        ClearCouplingCoefficients();
        return FALSE;
    };
    // Coupling of `later` to `earlier`; false when out of range.
    auto couple = [this](int earlier, int later) {
        int pair = PairIndex(earlier, later);
        return CouplingFromInductances(m_dOpenInductance[size_t(later)], m_dShortedInductance[size_t(pair)],
                                       m_dCoupling[size_t(pair)]) != FALSE;
    };

    bool inputsOk = m_dTurns[kPrimary] != 0 && m_dOpenInductance[kPrimary] != 0;
    for (int k = 1; k <= 4; ++k)
        if (present(k) && m_dTurns[size_t(k)] == 0) inputsOk = false;
    if (!inputsOk) return fail(3712);

    for (int k = 1; k <= 4; ++k) {
        if (!present(k)) continue;
        if (!couple(kPrimary, k)) return fail(3713 + 2 * (k - 1));
        if (withReset && !couple(k, kReset)) return fail(3714 + 2 * (k - 1));
    }
    if (withReset && !couple(kPrimary, kReset)) return fail(3721);

    int code = 3722;
    for (int j = 1; j <= 4; ++j) {
        for (int k = j + 1; k <= 4; ++k, ++code) {
            if (present(j) && present(k) && !couple(j, k)) return fail(code);
        }
    }
    return TRUE;
}

void CPwrTransformer::CopyPrimaryToResetWinding() {
    m_dTurns[kReset] = m_dTurns[kPrimary];
    m_dDcResistance[kReset] = m_dDcResistance[kPrimary];
    m_dOpenInductance[kReset] = m_dOpenInductance[kPrimary];
}

void CPwrTransformer::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        if (m_strTag == kDbTransformerTag) m_strTag = kPwrTransformerTag;
        parts_detail::Store(*this, ar);
        return;
    }
    if (ReadTransformerHeader(ar, m_strTag, kPwrTransformerTag, 3728, [this] { InitDefaults(); }) < 0) return;
    fw::LoadFields(ar, FieldsOf(*this));
}

CPwrTransformer& CPwrTransformer::operator=(const CPwrTransformer& other) {
    parts_detail::Assign(*this, other);
    return *this;
}

CPwrTransformer& CPwrTransformer::operator=(const CTransformerDb& db) {
    // Database windings: 0 the primary, 1 unused, 2 to 6 our windings 1 to 5.
    auto dbWinding = [](int w) { return size_t(w == kPrimary ? 0 : w + 1); };
    m_strTag = kPwrTransformerTag;
    m_strName = db.m_strName;
    for (int w = kPrimary; w < kWindings; ++w) {
        m_dTurns[size_t(w)] = db.m_dTurns[dbWinding(w)];
        m_dDcResistance[size_t(w)] = db.m_dDcResistance[dbWinding(w)];
        m_dAcResistance[size_t(w)] = db.m_dAcResistance[dbWinding(w)];
        m_dOpenInductance[size_t(w)] = db.m_dOcInductance[dbWinding(w)];
        m_dCapacitance[size_t(w)] = db.m_dIntraCapacitance[dbWinding(w)];
    }
    // The pairs Secondary k / Reset keep their values.
    for (int earlier = kPrimary; earlier < kWindings; ++earlier) {
        for (int later = earlier + 1; later < kWindings; ++later) {
            if (earlier != kPrimary && later == kReset) continue;
            int dbPair = CTransformerDb::PairIndex(int(dbWinding(earlier)), int(dbWinding(later)));
            ShortedInductance(earlier, later) = db.m_dShortedInductance[size_t(dbPair)];
        }
    }
    // The database keeps the ends in the order A, C, B, D, E, F, G, H.
    m_Connections[kEndA] = db.m_nConnection[CTransformerDb::kEndA];
    m_Connections[kEndB] = db.m_nConnection[CTransformerDb::kEndB];
    m_Connections[kEndC] = db.m_nConnection[CTransformerDb::kEndC];
    m_Connections[kEndD] = db.m_nConnection[CTransformerDb::kEndD];
    m_Connections[kEndE] = db.m_nConnection[CTransformerDb::kEndE];
    m_Connections[kEndF] = db.m_nConnection[CTransformerDb::kEndF];
    m_Connections[kEndG] = db.m_nConnection[CTransformerDb::kEndG];
    m_Connections[kEndH] = db.m_nConnection[CTransformerDb::kEndH];
    m_dCorePowerLoss = db.m_dCorePowerLoss;
    m_CoreSatChar = db.m_CoreSatChar;
    return *this;
}

BOOL CPwrTransformer::operator!=(const CPwrTransformer& other) const {
    return parts_detail::Differ(*this, other);
}

BOOL CPwrTransformer::WriteSummary(fw::File& file, const OutputEnables& requirements, BOOL withReset) const {
    auto windingValues = [&](int w) {
        WriteValueLine(file, "\r\n      Turns: ", m_dTurns[size_t(w)]);
        WriteValueLine(file, "\r\n      DC Component Winding Resistance: ", m_dDcResistance[size_t(w)], "ohms");
        WriteValueLine(file, "\r\n      AC Component Winding Resistance: ", m_dAcResistance[size_t(w)], "ohms");
        WriteValueLine(file, "\r\n      Open Circuit Inductance: ", m_dOpenInductance[size_t(w)], "henry");
    };
    auto capacitance = [&](int w) {
        WriteValueLine(file, "\r\n      Intrawinding Capacitance: ", m_dCapacitance[size_t(w)], "farad");
    };
    auto shorted = [&](int earlier, int later) {
        WriteValueLine(file, ShortedCaption(earlier).c_str(), ShortedInductance(earlier, later), "henry");
    };
    auto coupling = [&](int earlier, int later) {
        WriteValueLine(file, CouplingCaption(earlier).c_str(), Coupling(earlier, later));
    };

    WriteNameLine(file, "\r\n    Name or Part Number: ", m_strName);
    file.Write(std::string("\r\n    Primary Winding: "));
    windingValues(kPrimary);
    capacitance(kPrimary);

    for (int k = 1; k <= 4; ++k) {
        if (!requirements.IsEnabled(k)) continue;
        file.Write("\r\n    Secondary " + std::to_string(k) + " Winding: ");
        windingValues(k);
        for (int j = kPrimary; j < k; ++j) shorted(j, k);
        capacitance(k);
        coupling(kPrimary, k);
        // Secondary 4 lists its couplings only to enabled secondaries.
        for (int j = 1; j < k; ++j)
            if (k != 4 || requirements.IsEnabled(j)) coupling(j, k);
    }

    if (withReset) {
        file.Write(std::string("\r\n    Reset Winding: "));
        windingValues(kReset);
        shorted(kPrimary, kReset);
        for (int j = 1; j <= 4; ++j)
            if (requirements.IsEnabled(j)) shorted(j, kReset);
        capacitance(kReset);
        coupling(kPrimary, kReset);
        for (int j = 1; j <= 4; ++j)
            if (requirements.IsEnabled(j)) coupling(j, kReset);
    }

    file.Write(std::string("\r\n    Winding Connections: "));
    int enabled = requirements.CountEnabledOutputs();
    for (int end = kEndH; end >= kEndA; --end) {
        int secondary = end / 2 + 1;
        if (enabled < secondary) continue;
        if (end % 2 == 1) file.Write("\r\n      Secondary " + std::to_string(secondary) + " Winding: ");
        const char* text = nullptr;
        switch (m_Connections[size_t(end)]) {
        case kAdjacentWinding: text = "goes to Adjacent Winding"; break;
        case kGround: text = "goes to Ground"; break;
        case kRectifierOnly: text = "goes only to Rectifier"; break;
        default: break;
        }
        if (text)
            file.Write(fw::Format("%s %c %s", "\r\n        Pwr Transformer Winding Connection", 'A' + end, text));
    }

    WriteValueLine(file, "\r\n    Core Power Loss: ", m_dCorePowerLoss, "watts");
    m_CoreSatChar.WriteSummary(file);
    return TRUE;
}
