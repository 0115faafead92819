// The closed-loop voltage-mode design (10 V set point, integrating error amplifier) with its
// load split between a 10 ohm resistor and a current source of 1 A, 2 A in all at the set
// point as before. The source's transient table adds 1 A at 5 ms, in 1 us: a load step from
// 2 A to 3 A that the loop recovers from. The table plays in a steady-state run, which starts
// at the operating point with the precise initialisation. 20 ms run.
#include "circuit/Doc.h"
#include "designs/Designs.h"

void BuildLoadStep(CPwrQuorraDoc& doc) {
    BuildClosedLoopVoltageMode(doc);
    CCrntVoltSource& source = SetResistorBesideSource(doc, 10.0, 1.0);
    source.m_dACPeakMagnitude = 0.0;
    source.m_Transient.DeleteAll();
    const double points[][2] = {{0.0, 0.0}, {5e-3, 0.0}, {5.001e-3, 1.0}};
    for (int i = 0; i < 3; ++i) {
        CObTimeMagnitude p;
        p.m_dTime = points[i][0];
        p.m_dMagnitude = points[i][1];
        source.m_Transient.AddCopy(i, p);
    }
    CAnalysisConfig& config = *doc.GetAnalysisConfig();
    config.SetAnalysisKind(CAnalysisConfig::KIND_STEADY_STATE);
    config.m_nInitMode = CAnalysisConfig::INIT_SLOW_PRECISE;
    config.m_dTime = 0.02;
    doc.CheckAllSections();
}
