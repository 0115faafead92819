// Shared pieces of the document tests.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "circuit/Doc.h"

namespace test_support {

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// The names of the archived records that differ between two documents, in file order.
inline std::vector<std::string> DifferingRecords(CPwrQuorraDoc& a, CPwrQuorraDoc& b) {
    std::vector<std::string> out;
    auto check = [&](bool differs, const std::string& name) {
        if (differs) out.push_back(name);
    };
    check(a.GetSignature()->GetSignature() != b.GetSignature()->GetSignature(), "signature");
    check(*a.GetRequirements() != *b.GetRequirements(), "requirements");
    check(*a.GetLineFilter() != *b.GetLineFilter(), "line filter");
    check(*a.GetLineRectifier() != *b.GetLineRectifier(), "line rectifier");
    check(*a.GetInputCapacitor() != *b.GetInputCapacitor(), "input capacitor");
    check(*a.GetPrimarySection() != *b.GetPrimarySection(), "primary");
    check(*a.GetSecondarySection1() != *b.GetSecondarySection1(), "secondary 1");
    check(*a.GetSecondarySection2() != *b.GetSecondarySection2(), "secondary 2");
    check(*a.GetSecondarySection3() != *b.GetSecondarySection3(), "secondary 3");
    check(*a.GetSecondarySection4() != *b.GetSecondarySection4(), "secondary 4");
    check(*a.GetOutputChoke1() != *b.GetOutputChoke1(), "choke 1");
    check(*a.GetOutputChoke2() != *b.GetOutputChoke2(), "choke 2");
    check(*a.GetOutputChoke3() != *b.GetOutputChoke3(), "choke 3");
    check(*a.GetOutputChoke4() != *b.GetOutputChoke4(), "choke 4");
    check(*a.GetOutputChokeMutualInd() != *b.GetOutputChokeMutualInd(), "choke coupling");
    check(*a.Get1StgOutputFilter1() != *b.Get1StgOutputFilter1(), "first stage filter 1");
    check(*a.Get1StgOutputFilter2() != *b.Get1StgOutputFilter2(), "first stage filter 2");
    check(*a.Get1StgOutputFilter3() != *b.Get1StgOutputFilter3(), "first stage filter 3");
    check(*a.Get1StgOutputFilter4() != *b.Get1StgOutputFilter4(), "first stage filter 4");
    check(*a.Get2StgOutputFilter1() != *b.Get2StgOutputFilter1(), "second stage filter 1");
    check(*a.Get2StgOutputFilter2() != *b.Get2StgOutputFilter2(), "second stage filter 2");
    check(*a.Get2StgOutputFilter3() != *b.Get2StgOutputFilter3(), "second stage filter 3");
    check(*a.Get2StgOutputFilter4() != *b.Get2StgOutputFilter4(), "second stage filter 4");
    check(*a.GetLoadNetwork1() != *b.GetLoadNetwork1(), "load 1");
    check(*a.GetLoadNetwork2() != *b.GetLoadNetwork2(), "load 2");
    check(*a.GetLoadNetwork3() != *b.GetLoadNetwork3(), "load 3");
    check(*a.GetLoadNetwork4() != *b.GetLoadNetwork4(), "load 4");
    check(*a.GetVoltageFeedbackNetwork() != *b.GetVoltageFeedbackNetwork(), "voltage feedback");
    check(*a.GetVoltageErrorAmp() != *b.GetVoltageErrorAmp(), "error amplifier");
    check(*a.GetOptoIsolator() != *b.GetOptoIsolator(), "opto-isolator");
    check(*a.GetControlSection() != *b.GetControlSection(), "control");
    check(*a.GetCurrentFeedbackNetwork() != *b.GetCurrentFeedbackNetwork(), "current feedback");
    check(*a.GetCurrentLimitNetwork() != *b.GetCurrentLimitNetwork(), "current limit");
    check(*a.GetMiscData() != *b.GetMiscData(), "misc data");
    check(*a.GetUSData() != *b.GetUSData(), "user data");
    check(*a.GetAnalysisConfig() != *b.GetAnalysisConfig(), "analysis configuration");
    return out;
}

}  // namespace test_support
