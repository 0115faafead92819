// The first configuration with its loop closed: the DC-feedback error amplifier at a gain of
// one (R1 = Rfb = 100 kohm) and its pole at 30 Hz (C3 = 53 nF), so that the loop crosses over
// near 100 Hz, well below the output filter's resonance (1.6 kHz). The swept sine runs from
// 300 Hz to 20 kHz (a fifth of the switching frequency), one point a decade; the graphs end at
// 20 kHz, so the sweep lands on 300 Hz, 3 kHz and 20 kHz.
#include "circuit/Doc.h"
#include "designs/Designs.h"

void BuildVoltageLoop(CPwrQuorraDoc& doc) {
    BuildFirstConfiguration(doc);
    CVoltageErrorAmp& vea = *doc.GetVoltageErrorAmp();
    vea.GetResistor1().m_dResistance = 100e3;
    vea.GetResistorFeedback().m_dResistance = 100e3;
    vea.GetCapacitor3().m_dCapacitance = 53e-9;

    CAnalysisConfig& config = *doc.GetAnalysisConfig();
    config.SetAnalysisKind(CAnalysisConfig::KIND_VOLTAGE_LOOP);
    CFreqDomainStimulusCfg& stim = config.GetStimulusCfg();
    stim.m_dStartFrequency = 5000.0;
    stim.m_dStopFrequency = 20e3;
    stim.m_nPointsPerDecade = 3;
    stim.m_dAmplitude = 0.02;
    // One quantity a graph, four graphs: the loop and the error amplifier.
    const int32_t graphOf[6] = {1, 2, 0, 0, 3, 4};
    for (int q = 0; q < 6; ++q) stim.m_nChoice[size_t(CFreqDomainStimulusCfg::CHOICE_VOLTAGE_LOOP + q)] = graphOf[q];
    for (int q = 0; q < 2; ++q) stim.m_nChoice[size_t(CFreqDomainStimulusCfg::CHOICE_AMPLIFIER + q)] = q + 1;
    // Input to output: the converter's part and the whole path.
    const int32_t lineGraphOf[6] = {0, 0, 1, 2, 3, 4};
    for (int q = 0; q < 6; ++q) stim.m_nChoice[size_t(CFreqDomainStimulusCfg::CHOICE_INPUT_TO_OUTPUT + q)] = lineGraphOf[q];
    // Each frequency analysis keeps its four graph settings from setting 8 on: gain and phase
    // graphs in turn, the gains from -100 to +20 dB, each phase over its window (the loop
    // phases end at -90 degrees, the others at 0).
    for (int32_t kind : {CAnalysisConfig::KIND_VOLTAGE_LOOP, CAnalysisConfig::KIND_INPUT_TO_OUTPUT,
                         CAnalysisConfig::KIND_AMPLIFIER}) {
        const int first = 8 + 4 * (kind - CAnalysisConfig::KIND_VOLTAGE_LOOP);
        const double phaseMax = kind == CAnalysisConfig::KIND_VOLTAGE_LOOP ? -90.0 : 0.0;
        for (int g = first; g < first + 4; ++g) {
            CGraphCfg& graph = *config.GetGraphCfg(g);
            graph.m_dXMin = 5000.0;
            graph.m_dXMax = 20e3;
            const bool phase = (g - first) % 2 == 1;
            graph.m_dYMin = phase ? phaseMax - 360.0 : -100.0;
            graph.m_dYMax = phase ? phaseMax : 20.0;
        }
    }
    doc.CheckAllSections();
}
