// Component records of module Parts: the bipolar transistor, the two-winding
// and the power transformer, the control-circuit parts (clock, comparator,
// amplifiers, reset switch, undervoltage lock-out) and the opto-isolator
// parts. Each is an archived record: tag, 16-bit schema, fields.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <tuple>

#include "platform/core/Archive.h"
#include "platform/core/Fields.h"
#include "platform/core/File.h"
#include "platform/core/Types.h"
#include "records/DbParts.h"
#include "records/Record.h"

// Module string "Parts:     CODE %1" of the internal codes below.
constexpr UINT kModuleParts = 56067;

// Coupling coefficient of a winding from its open-circuit inductance lo and
// its inductance ls with another winding shorted: k = sqrt((lo - ls) / lo).
// FALSE, k untouched, when lo is 0 or not finite or the ratio is outside
// 0 to 1 or not a number; it never divides by zero or takes the root of a
// negative number, so it leaves no zero-divide or invalid-operation flag.
BOOL CouplingFromInductances(double lo, double ls, double& k);

// Header of the two transformer records: like ReadRecordHeader (schema 0
// only), except that the parts database's tag "<DB_TRANSFORMER_DATA>" is
// read as expectedTag. Returns 0, or -1 after warning, code (codeA for the
// tag, codeA + 1 for the schema) and defaults.
int ReadTransformerHeader(fw::Archive& ar, std::string& tag, const char* expectedTag, int codeA,
                          const std::function<void()>& defaults);

// The steps that every record of this module shares: the tag is copied and
// compared with the fields, and stored before them.
namespace parts_detail {

template <class R>
void Assign(R& dst, const R& src) {
    dst.m_strTag = src.m_strTag;
    fw::CopyFields(R::FieldsOf(dst), R::FieldsOf(src));
}

template <class R>
BOOL Differ(const R& a, const R& b) {
    return (a.m_strTag != b.m_strTag || fw::FieldsDiffer(R::FieldsOf(a), R::FieldsOf(b))) ? TRUE : FALSE;
}

template <class R>
void Store(R& r, fw::Archive& ar, uint16_t schema = 0) {
    ar.WriteString(r.m_strTag);
    ar.WriteU16(schema);
    fw::StoreFields(ar, R::FieldsOf(r));
}

// Schema 0 only; codeA is logged for a wrong tag, codeA + 1 for a wrong schema.
template <class R>
void SerializeSchema0(R& r, fw::Archive& ar, const char* tag, int codeA) {
    if (ar.IsStoring()) {
        Store(r, ar);
        return;
    }
    if (ReadRecordHeader(ar, r.m_strTag, tag, kModuleParts, codeA, [&r] { r.InitDefaults(); }) < 0) return;
    fw::LoadFields(ar, R::FieldsOf(r));
}

// Variant 0 is the only preset of most records; another logs its code and
// the caller keeps the built-in values.
bool IsPresetZero(int variant, int code);

}  // namespace parts_detail

// ---------------------------------------------------------------------------
// Bipolar transistor, reduced to its forward-bias base-emitter voltage.
class CTransistorBP : public fw::Object {
public:
    CTransistorBP() { InitDefaults(); }
    CTransistorBP(const CTransistorBP& other) = default;
    static const char* StaticClassName() { return "CTransistorBP"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults();
    void SetDefaults(int preset);
    void Serialize(fw::Archive& ar) override;
    CTransistorBP& operator=(const CTransistorBP& other);
    BOOL operator!=(const CTransistorBP& other) const;
    BOOL WriteSummary(fw::File& file) const;

    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_dForwardBiasVoltage);
    }

    std::string m_strTag;
    double m_dForwardBiasVoltage = 0;  // volts
};

// ---------------------------------------------------------------------------
// Two-winding transformer (primary and secondary 1) with its core
// saturation characteristic. The coupling coefficient is derived from the
// inductances by ComputeCoupling, never entered.
class CTransformer : public fw::Object {
public:
    CTransformer() { InitDefaults(); }
    CTransformer(const CTransformer& other) = default;
    static const char* StaticClassName() { return "CTransformer"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults();
    // Preset 0: first-stage output filter; preset 1: current-sense transformer.
    void SetDefaults(int preset);
    // k = sqrt((Lo - Ls) / Lo), Lo secondary 1's open-circuit inductance and
    // Ls its inductance with the primary shorted. FALSE (code 3706 or 3707,
    // k = 0) when the inputs give no coefficient from 0 to 1.
    BOOL ComputeCoupling();
    void ResetCoupling() { m_dCoupling = 0; }
    void Serialize(fw::Archive& ar) override;
    CTransformer& operator=(const CTransformer& other);
    // From the parts database; the coupling coefficient keeps its value.
    CTransformer& operator=(const CTransformerDb& db);
    BOOL operator!=(const CTransformer& other) const;
    BOOL WriteSummary(fw::File& file) const;

    // Field and archive order after the tag.
    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_strName, s.m_dPrimaryTurns, s.m_dSecondaryTurns, s.m_dPrimaryDcResistance,
                        s.m_dSecondaryDcResistance, s.m_dPrimaryAcResistance, s.m_dSecondaryAcResistance,
                        s.m_dPrimaryInductance, s.m_dSecondaryInductance, s.m_dSecondaryShortedInductance,
                        s.m_dCoupling, s.m_dCorePowerLoss, s.m_CoreSatChar);
    }

    std::string m_strTag;
    std::string m_strName;
    double m_dPrimaryTurns = 0;
    double m_dSecondaryTurns = 0;
    double m_dPrimaryDcResistance = 0;         // ohms
    double m_dSecondaryDcResistance = 0;       // ohms
    double m_dPrimaryAcResistance = 0;         // ohms
    double m_dSecondaryAcResistance = 0;       // ohms
    double m_dPrimaryInductance = 0;           // henry, open circuit
    double m_dSecondaryInductance = 0;         // henry, open circuit
    double m_dSecondaryShortedInductance = 0;  // henry, primary winding shorted
    double m_dCoupling = 0;                    // secondary 1 to primary
    double m_dCorePowerLoss = 0;               // watts
    CCoreSatChar m_CoreSatChar;
};

// ---------------------------------------------------------------------------
// What the power transformer reads of the design's requirements: the
// enabled flags of outputs 1 to 4 (non-zero: enabled). The caller fills it
// from the requirements record, output k's enabled flag into flags[k - 1].
struct OutputEnables {
    std::array<int32_t, 4> flags{};

    // output is 1 to 4.
    BOOL IsEnabled(int output) const { return flags.at(size_t(output - 1)) != 0 ? TRUE : FALSE; }
    int CountEnabledOutputs() const {
        int n = 0;
        for (int32_t f : flags) n += f != 0 ? 1 : 0;
        return n;
    }
};

// The eight connection codes of the secondary-winding ends, A (index 0) to
// H (index 7). The archive holds them in the opposite order, H first and A
// last; their own Serialize keeps that out of the field list.
struct WindingConnections {
    std::array<int32_t, 8> code{};

    int32_t& operator[](size_t end) { return code.at(end); }
    const int32_t& operator[](size_t end) const { return code.at(end); }
    void Serialize(fw::Archive& ar);
    bool operator!=(const WindingConnections& other) const { return code != other.code; }
};

// Power transformer: primary, secondaries 1 to 4 and the reset winding.
class CPwrTransformer : public fw::Object {
public:
    // Winding order.
    enum Winding { kPrimary = 0, kSecondary1, kSecondary2, kSecondary3, kSecondary4, kReset, kWindings };
    // Secondary-winding ends: Secondary 1 A (lower) and B (upper) ... Secondary 4 G and H.
    enum End { kEndA = 0, kEndB, kEndC, kEndD, kEndE, kEndF, kEndG, kEndH, kEnds };
    // Connection codes of an end.
    enum Connection { kNotConnected = 0, kAdjacentWinding = 1, kGround = 2, kRectifierOnly = 3 };
    static constexpr int kPairs = 15;

    CPwrTransformer() { InitDefaults(); }
    // Like operator=, the copy leaves the working output flags at 0.
    CPwrTransformer(const CPwrTransformer& other) : fw::Object(other) { *this = other; }
    static const char* StaticClassName() { return "CPwrTransformer"; }
    const char* GetClassName() const override { return StaticClassName(); }

    // Index of the pair (earlier winding shorted or referred to, later
    // winding) in pair order; -1 unless earlier < later are both windings.
    static int PairIndex(int earlier, int later);

    void InitDefaults();
    void SetDefaults(int variant, const OutputEnables& requirements, BOOL withReset);
    // Couplings of every present output's winding (and of the reset winding
    // when withReset); FALSE at the first failure, all coefficients 0.
    BOOL ComputeCoupling(const OutputEnables& requirements, BOOL withReset);
    void ClearCouplingCoefficients() { m_dCoupling.fill(0.0); }
    void CopyPrimaryToResetWinding();
    void Serialize(fw::Archive& ar) override;
    CPwrTransformer& operator=(const CPwrTransformer& other);
    // From the parts database; the Secondary k / Reset shorted inductances and
    // the coupling coefficients keep their values.
    CPwrTransformer& operator=(const CTransformerDb& db);
    BOOL operator!=(const CPwrTransformer& other) const;
    BOOL WriteSummary(fw::File& file, const OutputEnables& requirements, BOOL withReset) const;

    // Inductance of winding `later` with winding `earlier` shorted, and the
    // coupling of `later` to `earlier` (throws std::out_of_range for a pair
    // that is not earlier < later).
    double& ShortedInductance(int earlier, int later) {
        return m_dShortedInductance.at(size_t(PairIndex(earlier, later)));
    }
    double ShortedInductance(int earlier, int later) const {
        return m_dShortedInductance.at(size_t(PairIndex(earlier, later)));
    }
    double& Coupling(int earlier, int later) { return m_dCoupling.at(size_t(PairIndex(earlier, later))); }
    double Coupling(int earlier, int later) const { return m_dCoupling.at(size_t(PairIndex(earlier, later))); }

    // Field and archive order after the tag.
    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_strName, s.m_dTurns, s.m_dDcResistance, s.m_dAcResistance, s.m_dOpenInductance,
                        s.m_dShortedInductance, s.m_dCapacitance, s.m_dCoupling, s.m_Connections,
                        s.m_dCorePowerLoss, s.m_CoreSatChar);
    }

    // Working copy of the requirements' enabled flags, outputs 1 to 4, set by
    // ComputeCoupling; not archived, copied or compared.
    std::array<int32_t, 4> m_nOutputPresent{};
    std::string m_strTag;
    std::string m_strName;
    std::array<double, kWindings> m_dTurns{};
    std::array<double, kWindings> m_dDcResistance{};       // ohms
    std::array<double, kWindings> m_dAcResistance{};       // ohms
    std::array<double, kWindings> m_dOpenInductance{};     // henry
    std::array<double, kPairs> m_dShortedInductance{};     // henry, pair order
    std::array<double, kWindings> m_dCapacitance{};        // farad, intrawinding
    std::array<double, kPairs> m_dCoupling{};              // pair order
    WindingConnections m_Connections;
    double m_dCorePowerLoss = 0;                           // watts
    CCoreSatChar m_CoreSatChar;
};

// ---------------------------------------------------------------------------
// Control-circuit parts. Each has built-in values (InitDefaults) and one
// preset, variant 0.

// The timing ramp.
class CSawtoothClock : public fw::Object {
public:
    CSawtoothClock() { InitDefaults(); }
    CSawtoothClock(const CSawtoothClock& other) = default;
    static const char* StaticClassName() { return "CSawtoothClock"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults();
    void SetDefaults(int variant);
    void Serialize(fw::Archive& ar) override;
    CSawtoothClock& operator=(const CSawtoothClock& other);
    BOOL operator!=(const CSawtoothClock& other) const;
    BOOL WriteSummary(fw::File& file) const;

    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_nInhibitDuringReset, s.m_dPeakToValleyVoltage, s.m_dDcAverageVoltage,
                        s.m_dPositiveSlopeDutyRatio, s.m_dBlankingDutyRatio, s.m_dFrequency);
    }

    std::string m_strTag;
    int32_t m_nInhibitDuringReset = 0;     // non-zero: inhibited during reset
    double m_dPeakToValleyVoltage = 0;     // volts
    double m_dDcAverageVoltage = 0;        // volts
    double m_dPositiveSlopeDutyRatio = 0;  // per cent
    double m_dBlankingDutyRatio = 0;       // per cent, leading edge blanking
    double m_dFrequency = 0;               // hertz, switching ripple frequency
};

class CComparator : public fw::Object {
public:
    CComparator() { InitDefaults(); }
    CComparator(const CComparator& other) = default;
    static const char* StaticClassName() { return "CComparator"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults();
    void SetDefaults(int variant);
    void Serialize(fw::Archive& ar) override;
    CComparator& operator=(const CComparator& other);
    BOOL operator!=(const CComparator& other) const;
    // The owner picks the form that suits the comparator's role.
    BOOL WriteSummaryDelay(fw::File& file) const;
    BOOL WriteSummaryLogic(fw::File& file) const;
    BOOL WriteSummarySoftStart(fw::File& file) const;

    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_dDelay, s.m_dLogicVoltage, s.m_nLogicVoltageInPercent, s.m_nSoftStartDischarge,
                        s.m_dSoftStartThreshold);
    }

    std::string m_strTag;
    double m_dDelay = 0;                  // seconds, control to output
    double m_dLogicVoltage = 0;           // volts, or per cent of the input voltage
    int32_t m_nLogicVoltageInPercent = 0; // 1: per cent
    int32_t m_nSoftStartDischarge = 0;    // 1: discharges the soft-start capacitor
    double m_dSoftStartThreshold = 0;     // volts
};

class CAmplifier : public fw::Object {
public:
    CAmplifier() { InitDefaults(); }
    CAmplifier(const CAmplifier& other) = default;
    static const char* StaticClassName() { return "CAmplifier"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults();
    void SetDefaults(int variant);
    void Serialize(fw::Archive& ar) override;
    CAmplifier& operator=(const CAmplifier& other);
    BOOL operator!=(const CAmplifier& other) const;
    BOOL WriteSummary(fw::File& file) const;

    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_dVoltageGain);
    }

    std::string m_strTag;
    double m_dVoltageGain = 0;
};

class CResetSwitch : public fw::Object {
public:
    CResetSwitch() { InitDefaults(); }
    CResetSwitch(const CResetSwitch& other) = default;
    static const char* StaticClassName() { return "CResetSwitch"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults();
    void SetDefaults(int variant);
    void Serialize(fw::Archive& ar) override;
    CResetSwitch& operator=(const CResetSwitch& other);
    BOOL operator!=(const CResetSwitch& other) const;
    BOOL WriteSummary(fw::File& file) const;

    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_dOnResistance);
    }

    std::string m_strTag;
    double m_dOnResistance = 0;  // ohms
};

class COperationalAmplifier : public fw::Object {
public:
    COperationalAmplifier() { InitDefaults(); }
    COperationalAmplifier(const COperationalAmplifier& other) = default;
    static const char* StaticClassName() { return "COperationalAmplifier"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults();
    void SetDefaults(int variant);
    void Serialize(fw::Archive& ar) override;
    COperationalAmplifier& operator=(const COperationalAmplifier& other);
    BOOL operator!=(const COperationalAmplifier& other) const;
    BOOL WriteSummary(fw::File& file) const;

    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_dMinimumOutput, s.m_dMaximumOutput);
    }

    std::string m_strTag;
    double m_dMinimumOutput = 0;  // volts
    double m_dMaximumOutput = 0;  // volts
};

class CUnderVoltLockOut : public fw::Object {
public:
    CUnderVoltLockOut() { InitDefaults(); }
    CUnderVoltLockOut(const CUnderVoltLockOut& other) = default;
    static const char* StaticClassName() { return "CUnderVoltLockOut"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults();
    void SetDefaults(int variant);
    void Serialize(fw::Archive& ar) override;
    CUnderVoltLockOut& operator=(const CUnderVoltLockOut& other);
    BOOL operator!=(const CUnderVoltLockOut& other) const;
    BOOL WriteSummary(fw::File& file) const;

    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_dTurnOnVoltage, s.m_dTurnOffVoltage);
    }

    std::string m_strTag;
    double m_dTurnOnVoltage = 0;   // volts
    double m_dTurnOffVoltage = 0;  // volts
};

// ---------------------------------------------------------------------------
// Opto-isolator parts.

// Supply of the transmitting diode.
class COptoIsoDriverSource : public fw::Object {
public:
    COptoIsoDriverSource() { InitDefaults(); }
    COptoIsoDriverSource(const COptoIsoDriverSource& other) = default;
    static const char* StaticClassName() { return "COptoIsoDriverSource"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults();
    void SetDefaults(int variant);
    void Serialize(fw::Archive& ar) override;
    COptoIsoDriverSource& operator=(const COptoIsoDriverSource& other);
    BOOL operator!=(const COptoIsoDriverSource& other) const;
    BOOL WriteSummary(fw::File& file) const;

    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_nDriverSource, s.m_dSourceVoltage);
    }

    std::string m_strTag;
    int32_t m_nDriverSource = 0;  // 0: independently regulated source; 1-4: that output
    double m_dSourceVoltage = 0;  // volts
};

// Bias supply of the receiving side.
class COptoIsoBiasVoltage : public fw::Object {
public:
    COptoIsoBiasVoltage() { InitDefaults(); }
    COptoIsoBiasVoltage(const COptoIsoBiasVoltage& other) = default;
    static const char* StaticClassName() { return "COptoIsoBiasVoltage"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults();
    void SetDefaults(int variant);
    void Serialize(fw::Archive& ar) override;
    COptoIsoBiasVoltage& operator=(const COptoIsoBiasVoltage& other);
    BOOL operator!=(const COptoIsoBiasVoltage& other) const;
    BOOL WriteSummary(fw::File& file) const;

    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_dBiasVoltage);
    }

    std::string m_strTag;
    double m_dBiasVoltage = 0;  // volts
};

// The receiving photo transistor. Schema 1 added the bandwidth; schema-0
// files still load, with the default bandwidth.
class CTransistorPhoto : public fw::Object {
public:
    CTransistorPhoto() { InitDefaults(); }
    CTransistorPhoto(const CTransistorPhoto& other) = default;
    static const char* StaticClassName() { return "CTransistorPhoto"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults();
    void SetDefaults(int variant);
    void Serialize(fw::Archive& ar) override;
    CTransistorPhoto& operator=(const CTransistorPhoto& other);
    BOOL operator!=(const CTransistorPhoto& other) const;
    BOOL WriteSummary(fw::File& file) const;

    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_dCurrentTransferRatio, s.m_dBandwidth);
    }

    std::string m_strTag;
    double m_dCurrentTransferRatio = 0;  // collector current per diode current
    double m_dBandwidth = 0;             // hertz, -3 dB
};
