// Shared pieces of the circuit tests: fakes of the document and the graph
// manager, a reporting fixture that sees message boxes and logged codes,
// archive helpers, hand-built expected bytes and golden files.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "circuit/AnalCfg.h"
#include "circuit/DocServices.h"
#include "circuit/GraphServices.h"
#include "circuit/InCap.h"
#include "circuit/LinFil.h"
#include "circuit/LinRec.h"
#include "circuit/MiscData.h"
#include "circuit/Require.h"
#include "circuit/Section.h"
#include "circuit/USData.h"
#include "circuit/FbNet.h"
#include "circuit/OutChk.h"
#include "circuit/OutFil1.h"
#include "circuit/PriSec.h"
#include "platform/core/Archive.h"
#include "platform/core/File.h"
#include "platform/core/ReportSink.h"
#include "records/Utils.h"
#include "resources/StringTable.h"
#include "support/ArchiveBytes.h"
#include "support/Golden.h"
#include "support/ReportCapture.h"

namespace circuit_test {

using Bytes = std::vector<uint8_t>;
using test_support::ReadAll;

// The document as the sections see it, with its own members.
class FakeDoc : public CDocServices {
public:
    FakeDoc() { SetCurrentDoc(this); }
    ~FakeDoc() override { SetCurrentDoc(nullptr); }
    FakeDoc(const FakeDoc&) = delete;
    FakeDoc& operator=(const FakeDoc&) = delete;

    CRequirements* GetRequirements() override { return &requirements; }
    CLineFilter* GetLineFilter() override { return &lineFilter; }
    CLineRectifier* GetLineRectifier() override { return &lineRectifier; }
    CInputCapacitor* GetInputCapacitor() override { return &inputCapacitor; }
    CSection* GetControlSection() override { return &controlSection; }
    CMiscData* GetMiscData() override { return &miscData; }
    CUSData* GetUSData() override { return &usData; }
    CAnalysisConfig* GetAnalysisConfig() override { return &analysisConfig; }
    void SetModifiedFlag(BOOL modified) override { modifiedCalls.push_back(modified); }
    BOOL IsAnalysisRunning() override { return running; }
    BOOL IsAnalysisSetupOpen() override { return setupOpen; }

    CRequirements requirements;
    CLineFilter lineFilter;
    CLineRectifier lineRectifier;
    CInputCapacitor inputCapacitor;
    CSection controlSection;
    CMiscData miscData;
    CUSData usData;
    CAnalysisConfig analysisConfig;
    std::vector<BOOL> modifiedCalls;
    BOOL running = 0;
    BOOL setupOpen = 0;

    // Power stage and outputs.
    CPrimarySection* GetPrimarySection() override { return &primarySection; }
    COutputChoke* GetOutputChoke1() override { return &outputChokes[0]; }
    COutputChoke* GetOutputChoke2() override { return &outputChokes[1]; }
    COutputChoke* GetOutputChoke3() override { return &outputChokes[2]; }
    COutputChoke* GetOutputChoke4() override { return &outputChokes[3]; }
    C1StgOutputFilter* Get1StgOutputFilter1() override { return &firstStageFilters[0]; }
    C1StgOutputFilter* Get1StgOutputFilter2() override { return &firstStageFilters[1]; }
    C1StgOutputFilter* Get1StgOutputFilter3() override { return &firstStageFilters[2]; }
    C1StgOutputFilter* Get1StgOutputFilter4() override { return &firstStageFilters[3]; }
    CCurrentFeedbackNetwork* GetCurrentFeedbackNetwork() override { return &currentFeedbackNetwork; }

    CPrimarySection primarySection;
    COutputChoke outputChokes[4];
    C1StgOutputFilter firstStageFilters[4];
    CCurrentFeedbackNetwork currentFeedbackNetwork;
};

// Records what the analysis configuration tells the graph manager.
class FakeGraphMgr : public CGraphMgrServices {
public:
    FakeGraphMgr() { SetCurrentGraphMgr(this); }
    ~FakeGraphMgr() override { SetCurrentGraphMgr(nullptr); }
    FakeGraphMgr(const FakeGraphMgr&) = delete;
    FakeGraphMgr& operator=(const FakeGraphMgr&) = delete;

    void SetQuantityGraph(int32_t quantity, int32_t graph) override {
        calls.push_back("QuantityGraph " + std::to_string(quantity) + " " + std::to_string(graph));
    }
    void SetGraphSource(int32_t source, int32_t graph) override {
        calls.push_back("GraphSource " + std::to_string(source) + " " + std::to_string(graph));
    }
    void SetGraphQuantity(int32_t quantity, int32_t graph) override {
        calls.push_back("GraphQuantity " + std::to_string(quantity) + " " + std::to_string(graph));
    }
    void SetChoiceQuantity(int32_t quantity, int32_t userGraph) override {
        calls.push_back("ChoiceQuantity " + std::to_string(quantity) + " " + std::to_string(userGraph));
        choice[userGraph] = quantity;
    }
    int32_t GetChoiceQuantity(int32_t userGraph) override {
        auto it = choice.find(userGraph);
        return it == choice.end() ? 0 : it->second;
    }

    void RebuildPage() override { calls.push_back("RebuildPage"); }

    std::vector<std::string> calls;
    std::map<int32_t, int32_t> choice;
};

// Message boxes and logged internal codes, with the circuit modules' texts.
class ReportingTest : public test_support::ReportCaptureTest {
protected:
    // Logged texts after the time line, one per report.
    std::vector<std::string> Logged() {
        std::string log = Log();
        std::vector<std::string> lines;
        size_t pos = log.find("\r\n");
        if (pos == std::string::npos) return lines;
        pos += 2;
        while (pos < log.size()) {
            size_t end = log.find("\r\n", pos);
            if (end == std::string::npos) end = log.size();
            lines.push_back(log.substr(pos, end - pos));
            pos = end + 2;
        }
        return lines;
    }
    static std::string Msg(UINT id) { return res::FindString(id); }
    // The texts of the given messages, in order.
    static std::vector<std::string> Boxes(const std::vector<UINT>& ids) {
        std::vector<std::string> v;
        for (UINT id : ids) v.push_back(Msg(id));
        return v;
    }
    // The logged line of an internal code: module text with the code.
    static std::string Code(UINT module, int code) {
        std::string text = res::FindString(module);
        return text.replace(text.find("%1"), 2, std::to_string(code));
    }
};

using test_support::Store;

// Loads bytes into r; TRUE when every byte was read.
template <class R>
bool Load(R& r, const Bytes& bytes) {
    fw::Archive ar(bytes);
    r.Serialize(ar);
    return ar.AtEnd();
}

// Expected archive bytes, built by hand in the documented encodings.
class ByteBuilder {
public:
    ByteBuilder& Str(const std::string& s) {
        if (s.size() < 255) {
            U8(uint8_t(s.size()));
        } else {
            U8(0xFF);
            U16(uint16_t(s.size()));
        }
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    ByteBuilder& U8(uint8_t v) {
        bytes.push_back(v);
        return *this;
    }
    ByteBuilder& U16(uint16_t v) {
        U8(uint8_t(v & 0xFF));
        return U8(uint8_t(v >> 8));
    }
    ByteBuilder& I32(int32_t v) {
        uint32_t u = uint32_t(v);
        for (int i = 0; i < 4; ++i) U8(uint8_t(u >> (8 * i)));
        return *this;
    }
    ByteBuilder& F64(double v) {
        uint64_t u;
        std::memcpy(&u, &v, 8);
        for (int i = 0; i < 8; ++i) U8(uint8_t(u >> (8 * i)));
        return *this;
    }
    ByteBuilder& Raw(const Bytes& b) {
        bytes.insert(bytes.end(), b.begin(), b.end());
        return *this;
    }
    // A record header: tag and schema 0.
    ByteBuilder& Header(const std::string& tag) { return Str(tag).U16(0); }

    Bytes bytes;
};

inline std::string AsString(const Bytes& b) { return std::string(b.begin(), b.end()); }

// Compares with tests/fixtures/circuit/<name>.
inline void ExpectGolden(const std::string& name, const std::string& actual) {
    test_support::ExpectGolden("circuit", name, actual);
}

inline std::string Summary(CSection& s) {
    fw::StringFile f;
    EXPECT_TRUE(s.WriteSummary(f));
    return f.text;
}

}  // namespace circuit_test
