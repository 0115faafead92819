#include "designs/Designs.h"

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
