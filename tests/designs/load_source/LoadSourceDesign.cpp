// The first configuration's converter into a complex load: a near-zero series branch
// (1 mohm, 1 nH) to the 5 ohm load resistor (with a 1 nH inductor) beside a current source of
// 0.5 A DC and 1 A peak at 5 kHz. The resistor damps the output filter as in the first
// configuration, so the source's sine shows the output filter's impedance at 5 kHz.
#include "circuit/Doc.h"
#include "designs/Designs.h"

CCrntVoltSource& SetResistorBesideSource(CPwrQuorraDoc& doc, double resistance, double sourceCurrent) {
    CLoadNetwork& load = *doc.GetLoadNetwork1();
    load.SetTopology(3);
    load.SetDefaults();
    load.GetResistorLoad1().m_dResistance = 1e-3;
    load.GetInductorLoad1().m_dInductance = 1e-9;
    load.GetInductorLoad1().m_dDcResistance = 1e-6;
    load.GetResistorLoad2().m_dResistance = resistance;
    load.GetInductorLoad2().m_dInductance = 1e-9;
    load.GetInductorLoad2().m_dDcResistance = 1e-6;
    CCrntVoltSource& source = load.GetCurrentSourceILoad();
    source.m_dDCMagnitude = sourceCurrent;
    return source;
}

void BuildLoadSource(CPwrQuorraDoc& doc) {
    BuildFirstConfiguration(doc);
    CCrntVoltSource& source = SetResistorBesideSource(doc, 5.0, 0.5);
    source.m_dACPeakMagnitude = 1.0;
    source.m_dACFrequency = 5000.0;
    doc.CheckAllSections();
}
