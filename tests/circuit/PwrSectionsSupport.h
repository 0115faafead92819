// Shared pieces of the tests of the power-stage, output and control
// sections: a fake document with a real control section and numbered
// per-output members, output enabling, and the summary and round-trip
// helpers every section test uses.
#pragma once

#include <initializer_list>
#include <string>

#include "CircuitTestSupport.h"
#include "circuit/CtlSec.h"
#include "circuit/FbNet.h"
#include "circuit/LdNet.h"
#include "circuit/OptoIso.h"
#include "circuit/OutChk.h"
#include "circuit/OutFil1.h"
#include "circuit/OutFil2.h"
#include "circuit/PriSec.h"
#include "circuit/SecSec.h"
#include "circuit/VErAmp.h"

namespace circuit_test {

class PwrDoc : public FakeDoc {
public:
    PwrDoc() {
        for (WORD k = 0; k < 4; ++k) {
            outputChokes[k].SetOutputNumber(k);
            firstStageFilters[k].SetOutputNumber(k);
        }
    }
    CSection* GetControlSection() override { return &control; }
    CControlSection control;
};

// A section test whose sections see PwrDoc as their document.
class PwrSectionTest : public ReportingTest {
protected:
    PwrDoc doc_;
};

// Exactly these outputs (1 to 4) enabled, counted as CheckOutputs counts them.
inline void EnableOutputs(CRequirements& req, std::initializer_list<int> outputs) {
    for (int k = 0; k < 4; ++k) req.GetOutput(k)->SetEnabled(FALSE);
    for (int k : outputs) req.GetOutput(k - 1)->SetEnabled(TRUE);
    req.CheckOutputs(FALSE);
}

// Outputs 1 to n enabled, the others disabled.
inline void EnableFirstOutputs(CRequirements& req, int n) {
    for (int k = 0; k < 4; ++k) req.GetOutput(k)->SetEnabled(k < n ? TRUE : FALSE);
    req.CheckOutputs(FALSE);
}

// The summary of any record with WriteSummary(file).
template <class R>
std::string SummaryText(R& record) {
    fw::StringFile f;
    EXPECT_TRUE(record.WriteSummary(f));
    return f.text;
}

// The summaries of the given variants, each under a banner line.
template <class S>
std::string SummariesOf(S& section, std::initializer_list<WORD> topologies) {
    std::string out;
    for (WORD t : topologies) {
        section.SetTopology(t);
        out += "==== topology " + std::to_string(t) + " ====" + Summary(section) + "\n";
    }
    return out;
}

// Stores the record, loads the bytes into `into` (prepared as its owner
// would, e.g. with its output number) and expects an equal record that
// stores the same bytes.
template <class S>
void ExpectRoundTrip(S& record, S& into) {
    const Bytes bytes = Store(record);
    ASSERT_TRUE(Load(into, bytes));
    EXPECT_FALSE(into != record);
    EXPECT_EQ(Store(into), bytes);
}

inline void SetTiming(CTransistorFE& t, double on, double rise, double off, double fall) {
    t.m_dTurnOnDelay = on;
    t.m_dRiseTime = rise;
    t.m_dTurnOffDelay = off;
    t.m_dFallTime = fall;
}

// The base record of a section: tag, schema, topology, valid, pending.
inline Bytes BaseRecord(WORD topology, int32_t valid = 1, int32_t pending = 0) {
    return ByteBuilder().Header("<BASE_SECTION_DATA>").U16(topology).I32(valid).I32(pending).bytes;
}

}  // namespace circuit_test
