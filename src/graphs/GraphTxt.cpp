// Graph > Save As Text: every graph of the page with its title, equation, axis labels and
// points, in CR LF lines that a spreadsheet reads.
#include <string>
#include <vector>

#include "circuit/AnalCfg.h"
#include "circuit/Doc.h"
#include "graphs/GraphMgr.h"
#include "graphs/GraphTxt.h"
#include "platform/core/Archive.h"
#include "platform/core/File.h"
#include "platform/core/Format.h"
#include "records/Utils.h"

namespace {
constexpr UINT kMsgGraphTextWriteFailed = 52164;
}  // namespace

void CGraphMgr::SaveAsText(fw::File& file, const CAnalysisConfig& config, const std::string& pathName,
                           const std::tm& now) const {
    file.Write("File:  " + pathName + "\r\n");
    file.Write("Date:  " + SummaryDateText(now) + ", " + SummaryTimeText(now) + "\r\n");
    for (int g = 1; g <= m_nGraphCount && g <= kMaxPageGraphs; ++g) WriteGraphText(file, config, GetGraphSetting(g), g);
}

void CGraphMgr::WriteGraphText(fw::File& file, const CAnalysisConfig& config, int setting, int graph) const {
    if (const std::string* title = config.GetGraphTitle(setting))
        file.Write(fw::Format("%s %s %s", "\r\nGraph Title: ", title->c_str(), "\r\n"));
    if (config.IsTimeDomain()) {
        if (const std::string* text = config.GetVariableText(setting))
            file.Write(fw::Format("%s %s %s", "\r\nVariable Equation: ", text->c_str(), "\r\n"));
    }
    const std::string* xLabel = config.GetXAxisLabel(setting);
    const std::string* yLabel = config.GetYAxisLabel(setting);
    if (xLabel && yLabel)
        file.Write(fw::Format("%s%-9s%-34s%-9s%s", "\r\n", "X Axis:", xLabel->c_str(), "Y Axis:", yLabel->c_str()));
    const int last = GetLastIndex(graph);
    if (last < 0) {
        file.Write(fw::Format("%s%9s%-29s%s", "\r\n", " ", "No Data ", "No Data\r\n\r\n\r\n"));
        return;
    }
    const double* xs = GetXData(graph);
    const double* ys = GetYData(graph);
    for (int i = 0; i <= last; ++i) file.Write(fw::Format("%s%9s%+16.16e%10s%+16.16e", "\r\n", " ", xs[i], " ", ys[i]));
    file.Write("\r\n\r\n\r\n\r\n");
}

BOOL SaveGraphsAsTextFile(const CGraphMgr& mgr, const std::string& target, const CAnalysisConfig& config,
                          const std::string& pathName, const std::tm& now) {
    fw::StringFile text;
    mgr.SaveAsText(text, config, pathName, now);
    const std::vector<uint8_t> bytes(text.text.begin(), text.text.end());
    if (fw::WriteFileAtomic(target, bytes)) return TRUE;
    ReportMessage(kMsgGraphTextWriteFailed, TRUE);
    return FALSE;
}
