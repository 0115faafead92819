#include "designs/Designs.h"

#include "circuit/Doc.h"
#include "platform/core/ReportSink.h"

const std::vector<RegressionDesign>& RegressionDesigns() {
    static const std::vector<RegressionDesign> designs = {
        {"first_config", &BuildFirstConfiguration},
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
