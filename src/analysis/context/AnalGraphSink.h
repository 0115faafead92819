// The graph store as a run sees it. The analysis sits below the graphs, so a run reaches the
// store through this seam: the graph manager implements it and the document hands it to the
// worker in the parameter block. Every call comes from the worker thread.
#pragma once

#include "platform/core/Types.h"

class CGraphSampleSink {
public:
    virtual ~CGraphSampleSink() = default;
    // The graph (1..4) that shows plotted quantity 1..6; FALSE when it is not plotted.
    virtual BOOL GetVariableGraph(int quantity, int& graph) = 0;
    // The configured x range of graph 1..4.
    virtual double GetGraphStart(int graph) = 0;
    virtual double GetGraphStop(int graph) = 0;
    // Offers one sample; weight is the time step in seconds (0 for frequency runs).
    virtual BOOL PlotSample(int graph, double x, double y, double weight) = 0;
};
