// The first configuration's converter with its output capacitor's current sensed (first
// stage "Single Capacitor with Current Sensing"): Capacitor Out 1 of 100 uF (10 mohm ESR,
// 1 nH ESL) returns through a 1:100 current sense transformer (1 uH primary, 10 mH
// secondary, 100 uH with the primary shorted: k = sqrt(0.99); 1 mohm and 0.1 ohm windings,
// each with its preset's 1 ohm AC resistance);
// its secondary feeds a diode without forward drop (10 mohm) into Resistor Cap Sense of
// 1 ohm, offset from V Bias of 1 V through Resistor Bias 1 of 10 kohm and filtered by
// Resistor Bias 2 of 1 kohm into Capacitor Bias of 100 pF.
#include "circuit/Doc.h"
#include "designs/Designs.h"

void SetCapacitorSenseStage(C1StgOutputFilter& f1, double senseResistance, double biasCapacitance) {
    f1.SetTopology(2);
    f1.SetDefaults();
    CCapacitor& c = f1.GetCapacitorOut1();
    c.m_dCapacitance = 100e-6;
    c.m_dEsr = 0.01;
    c.m_dEsl = 1e-9;
    CTransformer& ct = f1.GetCurrentSenseTransformer();
    ct.m_dPrimaryTurns = 1;
    ct.m_dSecondaryTurns = 100;
    ct.m_dPrimaryInductance = 1e-6;
    ct.m_dSecondaryInductance = 10e-3;
    ct.m_dSecondaryShortedInductance = 100e-6;
    ct.m_dPrimaryDcResistance = 1e-3;
    ct.m_dSecondaryDcResistance = 0.1;
    ct.ComputeCoupling();
    f1.GetCurrentSenseDiode().m_dDynamicResistance = 0.01;
    f1.GetResistorCapSense().m_dResistance = senseResistance;
    f1.GetResistorBias1().m_dResistance = 10e3;
    f1.GetResistorBias2().m_dResistance = 1e3;
    f1.GetCapacitorBias().m_dCapacitance = biasCapacitance;
    f1.GetVoltageSourceVBias().m_dDCMagnitude = 1.0;
}

void BuildCapacitorSense(CPwrQuorraDoc& doc) {
    BuildFirstConfiguration(doc);
    SetCapacitorSenseStage(*doc.Get1StgOutputFilter1(), 1.0, 100e-12);
    doc.CheckAllSections();
}
