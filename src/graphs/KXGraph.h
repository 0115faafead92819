// The viewer file (".kvx"): a root record with the design's name and notes and up to four
// graph records, each with its settings and its points. The program writes it; the viewer
// program reads it back with the same classes.
//
// Reading trusts nothing: a wrong tag or version, a graph count above four, a last index
// outside -1..63,999 or a file that ends early makes the record take its defaults (or keeps
// the points read so far) and shows the matching message once per file; nothing is
// allocated beyond what the file's bytes can hold.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/Archive.h"
#include "platform/core/Types.h"

class CAnalysisConfig;
class CGraphMgr;

constexpr UINT kModuleKXGraph = 56071;
constexpr const char* kViewerRootTag = "Halverd-PowerQuorra-Viewer";
constexpr const char* kViewerGraphTag = "Halverd-PowerQuorra-Viewer-Graph";

// The points of one graph; the count is the last index + 1.
struct CKVXPointStore {
    int32_t lastIndex = -1;
    std::vector<double> x;
    std::vector<double> y;
};

// Once-per-file messages of a load, shared by the root and its graph records.
struct KVXLoadFlags {
    BOOL corrupted = FALSE;
    BOOL version = FALSE;
};

class CKVXGraphObj : public fw::Object {
public:
    CKVXGraphObj();
    static const char* StaticClassName() { return "CKVXGraphObj"; }
    const char* GetClassName() const override { return StaticClassName(); }
    void Serialize(fw::Archive& ar) override;
    virtual void SetDefaults();

    // The store whose points the record writes or reads; not owned, none by default.
    void AttachPointStore(CKVXPointStore* store) { m_pPoints = store; }
    CKVXPointStore* GetPointStore() const { return m_pPoints; }
    // The flags a load reports through (the root's while it loads its graphs).
    void SetLoadFlags(KVXLoadFlags* flags) { m_pFlags = flags; }

    std::string m_strTag;
    std::string m_strTitle;
    std::string m_strXLabel;
    std::string m_strYLabel;
    double m_dXMin = 0.0;
    double m_dXMax = 1.0;
    double m_dYMin = 0.0;
    double m_dYMax = 1.0;
    int32_t m_nXMinorTicks = 0;
    int32_t m_nYMinorTicks = 0;
    int32_t m_nAxisColor = 4;
    int32_t m_nTraceColor = 11;
    int32_t m_bFrequency = 0;
    int32_t m_bGain = 0;
    int32_t m_nGridType = -1;
    int32_t m_nGridColor = 19;

private:
    void LoadPoints(fw::Archive& ar);
    KVXLoadFlags& Flags() { return m_pFlags ? *m_pFlags : m_ownFlags; }

    CKVXPointStore* m_pPoints = nullptr;
    KVXLoadFlags m_ownFlags;
    KVXLoadFlags* m_pFlags = nullptr;
};

class CPwrQuorraViewerObj : public fw::Object {
public:
    static constexpr int kGraphs = 4;

    CPwrQuorraViewerObj();
    CPwrQuorraViewerObj(const CPwrQuorraViewerObj&) = delete;
    CPwrQuorraViewerObj& operator=(const CPwrQuorraViewerObj&) = delete;
    static const char* StaticClassName() { return "CPwrQuorraViewerObj"; }
    const char* GetClassName() const override { return StaticClassName(); }
    void Serialize(fw::Archive& ar) override;
    // Defaults of the root; each graph record gets its defaults and the root's point store.
    virtual void SetDefaults();

    CKVXGraphObj& Graph(int index) { return m_graphs[size_t(index)]; }
    const CKVXGraphObj& Graph(int index) const { return m_graphs[size_t(index)]; }
    CKVXPointStore& Points(int index) { return m_points[size_t(index)]; }
    const CKVXPointStore& Points(int index) const { return m_points[size_t(index)]; }

    std::string m_strTag;
    std::string m_strDesignFile;
    std::string m_strNotes;
    uint16_t m_nGraphCount = 0;

private:
    CKVXGraphObj m_graphs[kGraphs];
    CKVXPointStore m_points[kGraphs];
    KVXLoadFlags m_flags;
};

// The design-file text of the root: the path, three blanks and the file's last-write time,
// or the path and "   < file timestamp unknown >".
std::string ViewerDesignText(const std::string& pathName);

// Writing the file: the root filled from the page (graphs 1..count, written in descending
// order), archived whole into memory, then written beside the target and renamed over it.
// A failed write tells the user (52161) and leaves no half file.
void FillViewerObject(const CGraphMgr& mgr, const CAnalysisConfig& config, const std::string& designText,
                      const std::string& notes, CPwrQuorraViewerObj& root);
std::vector<uint8_t> ViewerFileBytes(CPwrQuorraViewerObj& root);
BOOL SaveGraphsForViewerFile(const CGraphMgr& mgr, const std::string& target, const CAnalysisConfig& config,
                             const std::string& pathName, const std::string& notes);

// Reading: the root as far as the bytes hold it (messages as above).
void LoadViewerBytes(const std::vector<uint8_t>& bytes, CPwrQuorraViewerObj& root);
// FALSE, with the root at its defaults, when the file cannot be read at all.
BOOL LoadViewerFile(const std::string& path, CPwrQuorraViewerObj& root);
