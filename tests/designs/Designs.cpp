#include "designs/Designs.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "analysis/frequency/AnalFSwp.h"
#include "designs/AnalHeadless.h"
#include "circuit/AnalCfg.h"
#include "circuit/Doc.h"
#include "platform/core/ReportSink.h"

const std::vector<RegressionDesign>& RegressionDesigns() {
    static const std::vector<RegressionDesign> designs = {
        {"first_config", &BuildFirstConfiguration},
        {"breakdown", &BuildBreakdownConfiguration},
        {"closed_loop", &BuildClosedLoopVoltageMode},
        {"current_limit", &BuildCurrentLimit},
        {"opto_loop", &BuildOptoLoop},
        {"uvlo", &BuildUvlo},
        {"average_current", &BuildAverageCurrent},
        {"peak_current", &BuildPeakCurrent},
        {"feed_forward", &BuildFeedForward},
        {"passive_clamp", &BuildPassiveClamp},
        {"resonant_reset", &BuildResonantReset},
        {"four_outputs", &BuildFourOutputs},
        {"active_clamp", &BuildActiveClamp},
        {"reset_winding", &BuildResetWinding},
        {"ac_bridge", &BuildAcBridge},
        {"ac_doubler", &BuildAcDoubler},
        {"load_source", &BuildLoadSource},
        {"two_stage", &BuildTwoStage},
        {"coupled_chokes", &BuildCoupledChokes},
        {"voltage_loop", &BuildVoltageLoop},
        {"ac_loop", &BuildAcLoop},
        {"skim_choke", &BuildSkimChoke},
        {"hysteretic", &BuildHysteretic},
        {"capacitor_sense", &BuildCapacitorSense},
        {"line_dropout", &BuildLineDropout},
        {"line_filter", &BuildLineFilter},
        {"load_step", &BuildLoadStep},
        {"saturating_choke", &BuildSaturatingChoke},
        {"sync_rect", &BuildSyncRectifier},
        {"hysteretic_caps", &BuildHystereticCaps},
        {"magnetic_losses", &BuildMagneticLosses},
        {"sense_droop", &BuildSenseDroop},
    };
    return designs;
}

bool WriteRegressionDesign(const RegressionDesign& design, const std::string& path) {
    fw::RecordingSink sink;
    fw::ScopedReportSink scoped(&sink);
    CPwrQuorraDoc doc;
    doc.OnNewDocument();
    design.build(doc);
    return doc.OnSaveDocument(path) != FALSE;
}

std::unique_ptr<CPwrQuorraDoc> OpenRegressionDesign(const std::string& name, std::string* problem) {
    const RegressionDesign* design = nullptr;
    for (const RegressionDesign& d : RegressionDesigns())
        if (name == d.name) design = &d;
    if (!design) {
        if (problem) *problem = "no regression design " + name;
        return nullptr;
    }
    const std::string path = std::filesystem::temp_directory_path().string() + "/" + name + "_" +
                             std::to_string(::getpid()) + ".SEF";
    if (!WriteRegressionDesign(*design, path)) {
        if (problem) *problem = "cannot write " + path;
        return nullptr;
    }
    std::unique_ptr<CPwrQuorraDoc> doc = OpenDesignHeadless(path, problem);
    std::remove(path.c_str());
    return doc;
}

HeadlessRun RunFrequencySweep(CPwrQuorraDoc& doc, int32_t kind, const SweepStimulus& stimulus,
                              CGraphSampleSink* sink) {
    CAnalysisConfig& config = *doc.GetAnalysisConfig();
    config.SetAnalysisKind(kind);
    CFreqDomainStimulusCfg& stim = config.GetStimulusCfg();
    stim.m_dStartFrequency = stimulus.start;
    stim.m_dStopFrequency = stimulus.stop;
    stim.m_nPointsPerDecade = stimulus.pointsPerDecade;
    stim.m_dAmplitude = stimulus.amplitude;
    InstallFrequencyDrivers();
    return RunDesignHeadless(doc, 0, nullptr, sink);
}

void FeedTheModulator(CPwrQuorraDoc& doc, double modulatorWeight, double outputWeight, double lag) {
    CVoltageFeedbackNetwork& vfn = *doc.GetVoltageFeedbackNetwork();
    vfn.m_bModulatorEnable[0] = 1;
    vfn.m_dModulatorWeight[0] = modulatorWeight;
    vfn.m_dOutputWeight[0] = outputWeight;
    vfn.m_dModulatorRC[0] = lag;
    doc.CheckAllSections();
}
