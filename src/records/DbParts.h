// Component records of the passive parts, the field-effect transistor, the
// core saturation characteristic (current, inductance points) and the
// transformer record of the parts database.
//
// Every record is a plain value: its owner holds it by value, copies it with
// operator= and loads it in place. FieldsOf lists the fields that follow the
// tag and schema word in the archive; copy and compare take the tag as well. Internal codes are reported under the
// module string 56035 ("DbParts:   CODE %1").
#pragma once

#include <array>
#include <string>
#include <tuple>

#include "platform/core/Archive.h"
#include "platform/core/File.h"
#include "platform/core/ObArray.h"
#include "platform/core/Types.h"

class CTransformer;
class CPwrTransformer;

constexpr UINT kModuleDbParts = 56035;

// ---------------------------------------------------------------------------
// Passive parts

class CCapacitor : public fw::Object {
public:
    CCapacitor() { InitDefaults(); }
    CCapacitor(const CCapacitor&) = default;
    static const char* StaticClassName() { return "CCapacitor"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults();
    // Presets 0 to 3; another value logs 21300 and keeps the InitDefaults values.
    void SetDefaults(int preset);
    CCapacitor& operator=(const CCapacitor& other);
    BOOL operator!=(const CCapacitor& other) const;
    void Serialize(fw::Archive& ar) override;
    BOOL WriteSummary(fw::File& file) const;
    BOOL WriteSummaryShort(fw::File& file) const;

    std::string m_strTag;
    std::string m_strName;
    double m_dCapacitance;          // farads
    double m_dBreakdownVoltage;     // volts
    double m_dCapTempCoefLinear;    // %/Kelvin
    double m_dCapTempCoefQuad;      // %/Kelvin/Kelvin
    double m_dEsr;                  // ohms
    double m_dEsrTempCoefLinear;    // %/Kelvin
    double m_dEsrTempCoefQuad;      // %/Kelvin/Kelvin
    double m_dEsl;                  // henries
    double m_dLeakageCurrent;       // amperes, at rated voltage
    double m_dLeakageTempCoef;      // %/Kelvin

    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_strName, s.m_dCapacitance, s.m_dBreakdownVoltage, s.m_dCapTempCoefLinear,
                        s.m_dCapTempCoefQuad, s.m_dEsr, s.m_dEsrTempCoefLinear, s.m_dEsrTempCoefQuad, s.m_dEsl,
                        s.m_dLeakageCurrent, s.m_dLeakageTempCoef);
    }
};

class CDiode : public fw::Object {
public:
    CDiode() { InitDefaults(); }
    CDiode(const CDiode&) = default;
    static const char* StaticClassName() { return "CDiode"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults();
    // Presets 0 to 2; another value logs 21303.
    void SetDefaults(int preset);
    CDiode& operator=(const CDiode& other);
    BOOL operator!=(const CDiode& other) const;
    void Serialize(fw::Archive& ar) override;
    // A current-sense arrangement replaces the lead inductance and junction
    // capacitance lines by one line naming the arrangement.
    BOOL WriteSummary(fw::File& file, BOOL currentSenseArrangement) const;
    BOOL WriteSummaryShort(fw::File& file) const;

    std::string m_strTag;
    std::string m_strName;
    double m_dForwardVoltage;           // volts
    double m_dForwardVoltageTempCoef;   // 1/Kelvin, exponential
    double m_dDynamicResistance;        // ohms (body resistance)
    double m_dBreakdownVoltage;         // volts, reverse
    double m_dLeadInductance;           // henries
    double m_dJunctionCapacitance;      // farads

    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_strName, s.m_dForwardVoltage, s.m_dForwardVoltageTempCoef,
                        s.m_dDynamicResistance, s.m_dBreakdownVoltage, s.m_dLeadInductance,
                        s.m_dJunctionCapacitance);
    }
};

class CResistor : public fw::Object {
public:
    CResistor() { InitDefaults(); }
    CResistor(const CResistor&) = default;
    static const char* StaticClassName() { return "CResistor"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults();
    // Presets 0 to 3; another value logs 21309.
    void SetDefaults(int preset);
    CResistor& operator=(const CResistor& other);
    BOOL operator!=(const CResistor& other) const;
    void Serialize(fw::Archive& ar) override;
    BOOL WriteSummary(fw::File& file) const;
    BOOL WriteSummaryShort(fw::File& file) const;

    std::string m_strTag;
    std::string m_strName;
    double m_dResistance;       // ohms
    double m_dTempCoefLinear;   // ppm/Kelvin
    double m_dTempCoefQuad;     // ppm/Kelvin/Kelvin
    double m_dEsl;              // henries

    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_strName, s.m_dResistance, s.m_dTempCoefLinear, s.m_dTempCoefQuad, s.m_dEsl);
    }
};

// ---------------------------------------------------------------------------
// Core saturation characteristic

// One point of the characteristic: the winding inductance at a current.
class CObCurrentInductance : public fw::Object {
public:
    CObCurrentInductance() { InitDefaults(); }
    CObCurrentInductance(double current, double inductance) : CObCurrentInductance() {
        m_dCurrent = current;
        m_dInductance = inductance;
    }
    CObCurrentInductance(const CObCurrentInductance&) = default;
    static const char* StaticClassName() { return "CObCurrentInductance"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults();
    CObCurrentInductance& operator=(const CObCurrentInductance& other);
    BOOL operator!=(const CObCurrentInductance& other) const;
    void Serialize(fw::Archive& ar) override;
    BOOL WriteSummary(fw::File& file) const;

    std::string m_strTag;
    double m_dCurrent;      // amperes
    double m_dInductance;   // henries

    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_dCurrent, s.m_dInductance);
    }
};

// The owning, ordered list of points; insertion order is kept, nothing sorts.
class CObArrayCurrentInductance : public fw::ObArray<CObCurrentInductance> {
public:
    CObArrayCurrentInductance() = default;
    CObArrayCurrentInductance(const CObArrayCurrentInductance& other) : fw::ObArray<CObCurrentInductance>(other) {}

    // Stores a copy of the point at the index (replacing the point there).
    // An index outside the list appends, so the list never has gaps; an
    // allocation failure shows 52094 and stores nothing.
    void AddCopy(int index, const CObCurrentInductance& point);
    // The point at the index, or nullptr outside the list.
    CObCurrentInductance* GetPointAt(int index) const { return GetAt(index); }
    // Copies every point; assigning the list to itself keeps it, and an
    // allocation failure shows 52094 and leaves the list as it was.
    CObArrayCurrentInductance& operator=(const CObArrayCurrentInductance& other);
    BOOL operator!=(const CObArrayCurrentInductance& other) const;
    BOOL WriteSummary(fw::File& file) const;
};

class CCoreSatChar : public fw::Object {
public:
    CCoreSatChar() { InitDefaults(); }
    CCoreSatChar(const CCoreSatChar&) = default;
    static const char* StaticClassName() { return "CCoreSatChar"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults();
    // Only preset 0 exists; another value logs 21317.
    void SetDefaults(int preset);
    CCoreSatChar& operator=(const CCoreSatChar& other);
    BOOL operator!=(const CCoreSatChar& other) const;
    BOOL HasPoints() const { return m_arPoints.GetCount() > 0 ? TRUE : FALSE; }
    void Serialize(fw::Archive& ar) override;
    // Only the point lines: they follow the owner's last value line.
    BOOL WriteSummary(fw::File& file) const;

    std::string m_strTag;
    CObArrayCurrentInductance m_arPoints;
};

// ---------------------------------------------------------------------------
// Inductor (embeds a characteristic)

class CInductor : public fw::Object {
public:
    CInductor() { InitDefaults(); }
    CInductor(const CInductor&) = default;
    static const char* StaticClassName() { return "CInductor"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults();
    // Presets 0 and 1; another value logs 21306.
    void SetDefaults(int preset);
    CInductor& operator=(const CInductor& other);
    BOOL operator!=(const CInductor& other) const;
    void Serialize(fw::Archive& ar) override;
    BOOL WriteSummary(fw::File& file) const;
    BOOL WriteSummaryShort(fw::File& file) const;

    std::string m_strTag;
    std::string m_strName;
    double m_dInductance;       // henries, at zero current
    double m_dDcResistance;     // ohms
    double m_dAcResistance;     // ohms
    double m_dCorePowerLoss;    // watts
    CCoreSatChar m_CoreSatChar;

    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_strName, s.m_dInductance, s.m_dDcResistance, s.m_dAcResistance,
                        s.m_dCorePowerLoss, s.m_CoreSatChar);
    }
};

// ---------------------------------------------------------------------------
// Field-effect transistor. Schema 1 added the linear coefficient of the on
// resistance; schema-0 records still load, without it.

class CTransistorFE : public fw::Object {
public:
    CTransistorFE() { InitDefaults(); }
    CTransistorFE(const CTransistorFE&) = default;
    static const char* StaticClassName() { return "CTransistorFE"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults();
    // Only preset 0 exists; another value logs 21312.
    void SetDefaults(int preset);
    CTransistorFE& operator=(const CTransistorFE& other);
    BOOL operator!=(const CTransistorFE& other) const;
    void Serialize(fw::Archive& ar) override;
    BOOL WriteSummary(fw::File& file) const;

    std::string m_strTag;
    std::string m_strName;
    double m_dOnResistance;             // ohms
    double m_dOnResistanceTempCoef;     // %/Kelvin, linear (schema 1)
    double m_dBreakdownVoltage;         // volts, drain-source
    double m_dTurnOnDelay;              // seconds
    double m_dRiseTime;                 // seconds
    double m_dTurnOffDelay;             // seconds
    double m_dFallTime;                 // seconds
    double m_dBodyDiodeForwardVoltage;  // volts
    double m_dBodyDiodeResistance;      // ohms, dynamic
    double m_dSourceInductance;         // henries, lead
    double m_dDrainInductance;          // henries, lead
    double m_dOutputCapacitance;        // farads

    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_strName, s.m_dOnResistance, s.m_dOnResistanceTempCoef,
                        s.m_dBreakdownVoltage, s.m_dTurnOnDelay, s.m_dRiseTime, s.m_dTurnOffDelay, s.m_dFallTime,
                        s.m_dBodyDiodeForwardVoltage, s.m_dBodyDiodeResistance, s.m_dSourceInductance,
                        s.m_dDrainInductance, s.m_dOutputCapacitance);
    }
};

// ---------------------------------------------------------------------------
// Transformer record of the parts database: a table of up to seven windings.
// Index 0 is the primary, 1 a slot that the conversions set to 0, 2 to 6 the
// further windings (secondary 1 to 4 and the reset winding when filled from
// a power transformer). Never archived: the database is switched off.

constexpr const char* kDbTransformerTag = "<DB_TRANSFORMER_DATA>";

class CTransformerDb : public fw::Object {
public:
    static constexpr int kWindings = 7;
    static constexpr int kPairs = 20;        // every pair of windings but (0, 1)
    static constexpr int kConnections = 8;   // ends A, C, B, D, E, F, G, H
    enum ConnectionEnd { kEndA = 0, kEndC, kEndB, kEndD, kEndE, kEndF, kEndG, kEndH };

    CTransformerDb() { InitDefaults(); }
    CTransformerDb(const CTransformerDb&) = default;
    static const char* StaticClassName() { return "CTransformerDb"; }
    const char* GetClassName() const override { return StaticClassName(); }

    // Index of the pair (earlier, later) in the shorted-inductance table:
    // 0 <= earlier < later <= 6, not (0, 1); -1 for any other pair.
    static int PairIndex(int earlier, int later);

    void InitDefaults();
    CTransformerDb& operator=(const CTransformerDb& other);
    CTransformerDb& operator=(const CTransformer& xfmr);
    CTransformerDb& operator=(const CPwrTransformer& xfmr);
    BOOL operator!=(const CTransformerDb& other) const;
    // Neither writes nor reads anything.
    void Serialize(fw::Archive& ar) override;

    std::string m_strTag;
    std::string m_strName;
    std::array<double, kWindings> m_dTurns;
    std::array<double, kWindings> m_dDcResistance;       // ohms
    std::array<double, kWindings> m_dAcResistance;       // ohms
    std::array<double, kWindings> m_dOcInductance;       // henries, open circuit
    // Inductance of the later winding of a pair with the earlier one
    // shorted (henries), pair order (0,2) .. (0,6), (1,2) .. (5,6).
    std::array<double, kPairs> m_dShortedInductance;
    std::array<double, kWindings> m_dIntraCapacitance;   // farads
    std::array<int32_t, kConnections> m_nConnection;     // codes of the power transformer's ends
    double m_dCorePowerLoss;                             // watts
    CCoreSatChar m_CoreSatChar;

    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_strName, s.m_dTurns, s.m_dDcResistance, s.m_dAcResistance,
                        s.m_dOcInductance, s.m_dShortedInductance, s.m_dIntraCapacitance, s.m_nConnection,
                        s.m_dCorePowerLoss, s.m_CoreSatChar);
    }
};
