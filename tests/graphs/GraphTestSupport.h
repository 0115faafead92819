// A graph manager of the test's own on a new design, with reports recorded: the page's
// graphs attached with their ranges, the design's analysis kind and sampling chosen.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "circuit/AnalCfg.h"
#include "circuit/Doc.h"
#include "circuit/USData.h"
#include "graphs/GraphMgr.h"
#include "support/ReportCapture.h"

namespace test_support {

struct Sample {
    double x;
    double y;
};

class GraphStoreTest : public ReportCaptureTest {
protected:
    void SetUp() override {
        ReportCaptureTest::SetUp();
        doc_ = std::make_unique<CPwrQuorraDoc>();
        doc_->OnNewDocument();
        mgr_ = std::make_unique<CGraphMgr>();
        SetCurrentGraphMgr(mgr_.get());
    }
    void TearDown() override {
        mgr_.reset();
        doc_.reset();
        ReportCaptureTest::TearDown();
    }

    // A page of count graphs, graph g over [start, stop], then the run starts with the kind
    // and sampling given.
    void StartRun(int count, double start, double stop, int sampling = CUSData::SAMPLING_NONE,
                  int kind = CAnalysisConfig::KIND_STEADY_STATE) {
        mgr_->Reset(count);
        const WORD ids[kGraphItemIds] = {};
        for (int g = 1; g <= count; ++g) mgr_->AttachGraph(g, 0, ids, start, stop);
        Choose(sampling, kind);
        mgr_->SetRunning(TRUE);
    }
    void Choose(int sampling, int kind) {
        doc_->GetUSData()->m_nDataSampling = sampling;
        doc_->GetAnalysisConfig()->SetAnalysisKind(kind);
    }

    std::vector<Sample> Points(int graph) const {
        std::vector<Sample> out;
        for (int i = 0; i <= mgr_->GetLastIndex(graph); ++i) {
            Sample s{};
            mgr_->GetPoint(graph, i, s.x, s.y);
            out.push_back(s);
        }
        return out;
    }

    // Offers f at x = start, start + dx, ... up to stop (in microseconds), with the time step
    // in seconds as weight; returns the samples offered.
    std::vector<Sample> Feed(int graph, double start, double stop, double dx, const std::function<double(double)>& f) {
        std::vector<Sample> offered;
        const long n = std::lround((stop - start) / dx);
        for (long k = 0; k <= n; ++k) {
            const double x = start + double(k) * dx;
            const double y = f(x);
            mgr_->PlotSample(graph, x, y, dx * 1e-6);
            offered.push_back({x, y});
        }
        return offered;
    }

    std::unique_ptr<CPwrQuorraDoc> doc_;
    std::unique_ptr<CGraphMgr> mgr_;
};

}  // namespace test_support
