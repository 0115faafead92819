// What the viewer program shows: the graphs of a viewer file (".kvx"), with
// the settings and points the file holds, on the same graph page as the
// design window's.
#pragma once

#include <memory>
#include <string>

#include "graphs/GraphPage.h"
#include "graphs/KXGraph.h"

// The points of one graph of a viewer file, as far as the file held them.
class CKVXPoints : public chart::PointSource {
public:
    void Attach(const CKVXPointStore* store) { store_ = store; }
    size_t Count() const override;
    double X(size_t i) const override { return store_->x[i]; }
    double Y(size_t i) const override { return store_->y[i]; }

private:
    const CKVXPointStore* store_ = nullptr;
};

class CViewerGraphData : public CGraphPageData {
public:
    CViewerGraphData();
    ~CViewerGraphData() override;

    // Reads the file: what a damaged file holds up to the damage is kept and
    // its message shown once. FALSE, with message 52161, when the file
    // cannot be read at all (the graphs shown before are kept).
    BOOL Open(const std::string& path);
    const std::string& GetPath() const { return path_; }
    // The design the file was written from, with its time.
    const std::string& GetDesignText() const;
    const CPwrQuorraViewerObj& Root() const { return *root_; }

    int GetGraphCount() override;
    chart::ChartSettings GetSettings(int graph) override;
    const chart::PointSource* GetPoints(int graph) override;
    std::string GetJobName() override;

private:
    std::unique_ptr<CPwrQuorraViewerObj> root_;
    CKVXPoints points_[4];
    std::string path_;
};
