// The output choke of one output (optionally with a skim inductor, with the
// output's current-sense resistor and amplifier), and the magnetic coupling
// between the output chokes of the outputs.
#pragma once

#include <array>
#include <string>
#include <tuple>

#include "circuit/Section.h"
#include "records/DbParts.h"
#include "records/Parts.h"

constexpr UINT kModuleOutChk = 56059;
constexpr const char* kOutputChokeTag = "<OUTPUT_CHOKE_DATA>";
constexpr const char* kOutputChokeMutualIndTag = "<OUTPUT_FILTER_MUTUAL_IND_DATA>";

class COutputChoke : public COutputSection {
public:
    COutputChoke();
    COutputChoke(const COutputChoke&) = default;
    static const char* StaticClassName() { return "COutputChoke"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults(BOOL withBase) override;
    void SetDefaults() override;
    BOOL WriteSummary(fw::File& file) override;
    void CheckChosen(BOOL report) override;
    void Serialize(fw::Archive& ar) override;

    COutputChoke& operator=(const COutputChoke& other);
    BOOL operator!=(const COutputChoke& other) const;

    CAmplifier& GetSenseAmplifier() { return m_SenseAmplifier; }
    CInductor& GetInductorOut1() { return m_InductorOut1; }
    CInductor& GetSkimInductor() { return m_SkimInductor; }
    CResistor& GetSenseResistor() { return m_SenseResistor; }

protected:
    // A wrong schema is warned about but logs no internal code.
    BOOL ReadOwnHeader(fw::Archive& ar, const OwnRecord& record) override;

private:
    // Archive, copy and comparison order after the output number.
    template <class Self>
    static auto RecordsOf(Self& s) {
        return std::tie(s.m_SenseAmplifier, s.m_InductorOut1, s.m_SkimInductor, s.m_SenseResistor);
    }

    CAmplifier m_SenseAmplifier;
    CInductor m_InductorOut1;
    CInductor m_SkimInductor;
    CResistor m_SenseResistor;
};

// Pair ij joins outputs i < j. S_ij is the inductance of output j's winding
// with output i's winding shorted (henries), L_j the open-circuit inductance
// of output j (henries), k_ij = sqrt(1 - S_ij / L_j) their coupling.
class COutputChokeMutualInd : public fw::Object {
public:
    // Pair order of the S and k tables.
    enum Pair { k12 = 0, k13, k14, k23, k24, k34, kPairs };

    COutputChokeMutualInd() { SetDefaults(); }
    COutputChokeMutualInd(const COutputChokeMutualInd&) = default;
    static const char* StaticClassName() { return "COutputChokeMutualInd"; }
    const char* GetClassName() const override { return StaticClassName(); }

    virtual void SetDefaults();
    virtual BOOL WriteSummary(fw::File& file);
    virtual void CheckChosen(BOOL report);
    void Serialize(fw::Archive& ar) override;

    COutputChokeMutualInd& operator=(const COutputChokeMutualInd& other);
    BOOL operator!=(const COutputChokeMutualInd& other) const;

    // Takes the output count and the open-circuit inductances from the
    // current document and computes the coefficients of the coupled pairs.
    // A coefficient above 0.998, or one that has no real value (L_j not
    // positive, S_ij above L_j), is reported with the pair's message; the
    // latter is stored as 0. Returns TRUE.
    BOOL CheckMutualInductance(BOOL show);

    BOOL IsValid() const { return m_bValid; }
    BOOL IsCouplingEnabled() const { return m_bCouplingEnabled; }
    void SetCouplingEnabled(BOOL enabled) { m_bCouplingEnabled = enabled; }
    int32_t GetOutputCount() const { return m_nOutputCount; }
    double& ShortedInductance(Pair p) { return m_dShorted.at(size_t(p)); }
    double Coupling(Pair p) const { return m_dCoupling.at(size_t(p)); }
    // Output 1 to 4.
    double OpenInductance(int output) const { return m_dOpen.at(size_t(output - 1)); }

    std::string m_strTag;
    BOOL m_bValid = 1;
    BOOL m_bCouplingEnabled = 0;
    int32_t m_nOutputCount = 0;         // coupled outputs, 0 to 4
    std::array<double, kPairs> m_dShorted{};   // henries, S12 .. S34
    std::array<double, kPairs> m_dCoupling{};  // k12 .. k34
    std::array<double, 4> m_dOpen{};           // henries, L1 .. L4

private:
    // Archive, copy and comparison order after the tag.
    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_bValid, s.m_bCouplingEnabled, s.m_nOutputCount, s.m_dShorted, s.m_dCoupling, s.m_dOpen);
    }
};
