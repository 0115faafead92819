// Filling the parts-database transformer record from the design's two
// transformer records. The database table has one more winding slot than
// the power transformer (index 1, always 0 here), so the power
// transformer's windings 1 to 5 land on indices 2 to 6.
#include "records/DbParts.h"
#include "records/Parts.h"

namespace {

// Database winding index of a power-transformer winding.
size_t DbWinding(int pwrWinding) { return size_t(pwrWinding == CPwrTransformer::kPrimary ? 0 : pwrWinding + 1); }

size_t DbPair(int earlier, int later) { return size_t(CTransformerDb::PairIndex(earlier, later)); }

// The shorted inductances of a secondary winding against the reset winding
// survive both conversions.
bool IsSecondaryResetPair(int earlier, int later) { return later == 6 && earlier >= 2; }

}  // namespace

CTransformerDb& CTransformerDb::operator=(const CTransformer& xfmr) {
    m_strTag = kDbTransformerTag;
    m_strName = xfmr.m_strName;
    m_dTurns.fill(0.0);
    m_dDcResistance.fill(0.0);
    m_dAcResistance.fill(0.0);
    m_dOcInductance.fill(0.0);
    m_dTurns[0] = xfmr.m_dPrimaryTurns;
    m_dTurns[2] = xfmr.m_dSecondaryTurns;
    m_dDcResistance[0] = xfmr.m_dPrimaryDcResistance;
    m_dDcResistance[2] = xfmr.m_dSecondaryDcResistance;
    m_dAcResistance[0] = xfmr.m_dPrimaryAcResistance;
    m_dAcResistance[2] = xfmr.m_dSecondaryAcResistance;
    m_dOcInductance[0] = xfmr.m_dPrimaryInductance;
    m_dOcInductance[2] = xfmr.m_dSecondaryInductance;
    for (int a = 0; a < kWindings; ++a)
        for (int b = a + 1; b < kWindings; ++b)
            if (PairIndex(a, b) >= 0 && !IsSecondaryResetPair(a, b)) m_dShortedInductance[DbPair(a, b)] = 0.0;
    m_dShortedInductance[DbPair(0, 2)] = xfmr.m_dSecondaryShortedInductance;
    m_nConnection.fill(0);
    m_dCorePowerLoss = xfmr.m_dCorePowerLoss;
    m_CoreSatChar = xfmr.m_CoreSatChar;
    return *this;
}

CTransformerDb& CTransformerDb::operator=(const CPwrTransformer& xfmr) {
    m_strTag = kDbTransformerTag;
    m_strName = xfmr.m_strName;
    for (int w = 0; w < CPwrTransformer::kWindings; ++w) {
        m_dTurns[DbWinding(w)] = xfmr.m_dTurns[size_t(w)];
        m_dDcResistance[DbWinding(w)] = xfmr.m_dDcResistance[size_t(w)];
        m_dAcResistance[DbWinding(w)] = xfmr.m_dAcResistance[size_t(w)];
        m_dOcInductance[DbWinding(w)] = xfmr.m_dOpenInductance[size_t(w)];
        m_dIntraCapacitance[DbWinding(w)] = xfmr.m_dCapacitance[size_t(w)];
    }
    m_dTurns[1] = 0.0;
    m_dDcResistance[1] = 0.0;
    m_dAcResistance[1] = 0.0;
    m_dOcInductance[1] = 0.0;
    m_dIntraCapacitance[1] = xfmr.m_dCapacitance[CPwrTransformer::kPrimary];

    for (int b = 2; b < kWindings; ++b) m_dShortedInductance[DbPair(1, b)] = 0.0;
    for (int a = 0; a < CPwrTransformer::kWindings; ++a) {
        for (int b = a + 1; b < CPwrTransformer::kWindings; ++b) {
            int dbA = int(DbWinding(a));
            int dbB = int(DbWinding(b));
            if (IsSecondaryResetPair(dbA, dbB)) continue;
            m_dShortedInductance[DbPair(dbA, dbB)] = xfmr.ShortedInductance(a, b);
        }
    }

    const WindingConnections& c = xfmr.m_Connections;
    m_nConnection[kEndA] = c[CPwrTransformer::kEndA];
    m_nConnection[kEndC] = c[CPwrTransformer::kEndC];
    m_nConnection[kEndB] = c[CPwrTransformer::kEndB];
    m_nConnection[kEndD] = c[CPwrTransformer::kEndD];
    m_nConnection[kEndE] = c[CPwrTransformer::kEndE];
    m_nConnection[kEndF] = c[CPwrTransformer::kEndF];
    m_nConnection[kEndG] = c[CPwrTransformer::kEndG];
    m_nConnection[kEndH] = c[CPwrTransformer::kEndH];
    m_dCorePowerLoss = xfmr.m_dCorePowerLoss;
    m_CoreSatChar = xfmr.m_CoreSatChar;
    return *this;
}
