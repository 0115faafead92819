// The voltage-loop design fed from the AC bridge's line: 60 V peak at 400 Hz through a
// full-wave bridge into 150 uF, the bulk rippling at 800 Hz, the output filter 100 uH and
// 10 uF (resonance 5 kHz). The sweeps run from 1 kHz to 4 kHz, three points a decade, landing
// on 1 kHz, 2.15 kHz and 4 kHz (the graphs' end), between the ripple's harmonics.
#include "circuit/Doc.h"
#include "designs/Designs.h"

void BuildAcLoop(CPwrQuorraDoc& doc) {
    BuildVoltageLoop(doc);
    FeedFromAcLine(doc, false);
    CAnalysisConfig& config = *doc.GetAnalysisConfig();
    CFreqDomainStimulusCfg& stim = config.GetStimulusCfg();
    stim.m_dStartFrequency = 1000.0;
    stim.m_dStopFrequency = 4000.0;
    for (int g = 8; g < 20; ++g) {
        config.GetGraphCfg(g)->m_dXMin = 1000.0;
        config.GetGraphCfg(g)->m_dXMax = 4000.0;
    }
    doc.CheckAllSections();
}
