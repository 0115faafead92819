// What a design file holds that no dialog could have entered is damage, said once at open
// (52080) and mended there, so that the design is safe to edit and to check: a NaN or an
// infinity takes its field's default, and a section variant past its list leaves the section
// not chosen (Problem Check then asks for it).
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "circuit/Doc.h"
#include "designs/Designs.h"
#include "platform/core/Archive.h"
#include "platform/core/ReportSink.h"
#include "records/Utils.h"
#include "resources/StringTable.h"
#include "DocTestSupport.h"

namespace {

using Bytes = std::vector<uint8_t>;

class DamagedValues : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories(folder_); }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    Bytes Saved(CPwrQuorraDoc& doc) {
        fw::Archive ar;
        doc.Serialize(ar);
        return ar.Bytes();
    }
    // The bytes opened as File Open opens them; null when refused.
    std::unique_ptr<CPwrQuorraDoc> Open(const Bytes& bytes) {
        const std::string path = folder_ + "/design.SEF";
        test_support::WriteBytes(path, bytes);
        sink_.Clear();
        auto doc = std::make_unique<CPwrQuorraDoc>();
        if (!doc->OnOpenDocument(path)) return nullptr;
        return doc;
    }
    int Boxes(UINT id) const {
        int n = 0;
        for (const std::string& b : sink_.boxes) n += b == res::FindString(id);
        return n;
    }

    std::string folder_ = ::testing::TempDir() + "pq_damaged_" + std::to_string(::getpid());
    fw::RecordingSink sink_;
    fw::ScopedReportSink scoped_{&sink_};
};

// Replaces every stored copy of `marker` with `value`; the count of copies.
int Overwrite(Bytes& bytes, double marker, double value) {
    int n = 0;
    for (size_t i = 0; i + 8 <= bytes.size(); ++i) {
        if (std::memcmp(&bytes[i], &marker, 8) != 0) continue;
        std::memcpy(&bytes[i], &value, 8);
        ++n;
    }
    return n;
}

TEST_F(DamagedValues, NonFiniteNumbersTakeTheirDefaultsWithOneWarning) {
    constexpr double kOnMarker = 0.01234567890123, kEslMarker = 3.21098765432109e-9;
    const double cases[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                            -std::numeric_limits<double>::infinity()};
    for (double bad : cases) {
        SCOPED_TRACE(bad);
        CPwrQuorraDoc source;
        source.OnNewDocument();
        BuildFirstConfiguration(source);
        source.GetPrimarySection()->GetSwitchSW1().m_dOnResistance = kOnMarker;
        source.GetLoadNetwork1()->GetResistorLoad2().m_dEsl = kEslMarker;
        Bytes bytes = Saved(source);
        ASSERT_EQ(Overwrite(bytes, kOnMarker, bad), 1);
        ASSERT_EQ(Overwrite(bytes, kEslMarker, bad), 1);

        std::unique_ptr<CPwrQuorraDoc> doc = Open(bytes);
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(sink_.boxes.size(), 1u);
        EXPECT_EQ(Boxes(52080), 1);
        EXPECT_EQ(doc->GetPrimarySection()->GetSwitchSW1().m_dOnResistance, CTransistorFE().m_dOnResistance);
        EXPECT_EQ(doc->GetLoadNetwork1()->GetResistorLoad2().m_dEsl, CResistor().m_dEsl);
        // The rest of the design is as it was, and it runs.
        EXPECT_EQ(doc->GetVoltageErrorAmp()->GetResistorFeedback().m_dResistance,
                  source.GetVoltageErrorAmp()->GetResistorFeedback().m_dResistance);
        sink_.Clear();
        EXPECT_TRUE(doc->PrepareAnalysis()) << (sink_.boxes.empty() ? "" : sink_.boxes[0]);
        doc->EndAnalysis();
    }
}

TEST_F(DamagedValues, VariantsPastTheirListLeaveTheSectionNotChosen) {
    struct Case {
        const char* what;
        CSection& (*section)(CPwrQuorraDoc&);
        WORD variant;
    };
    const Case cases[] = {
        {"output choke 2", [](CPwrQuorraDoc& d) -> CSection& { return *d.GetOutputChoke1(); }, 2},
        {"output choke 13", [](CPwrQuorraDoc& d) -> CSection& { return *d.GetOutputChoke1(); }, 13},
        {"output choke 32767", [](CPwrQuorraDoc& d) -> CSection& { return *d.GetOutputChoke1(); }, 32767},
        {"output choke 65535", [](CPwrQuorraDoc& d) -> CSection& { return *d.GetOutputChoke1(); }, 65535},
        {"control section 5", [](CPwrQuorraDoc& d) -> CSection& { return *d.GetControlSection(); }, 5},
        {"line filter 10", [](CPwrQuorraDoc& d) -> CSection& { return *d.GetLineFilter(); }, 10},
        {"secondary section 1", [](CPwrQuorraDoc& d) -> CSection& { return *d.GetSecondarySection1(); }, 1},
        {"load network 1000", [](CPwrQuorraDoc& d) -> CSection& { return *d.GetLoadNetwork1(); }, 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CPwrQuorraDoc source;
        source.OnNewDocument();
        BuildFirstConfiguration(source);
        const WORD last = WORD(c.section(source).VariantCount() - 1);
        c.section(source).SetTopology(c.variant);
        std::unique_ptr<CPwrQuorraDoc> doc = Open(Saved(source));
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(Boxes(52080), 1);
        EXPECT_EQ(c.section(*doc).GetTopology(), kTopologyNotChosen);
        EXPECT_FALSE(c.section(*doc).IsValid());
        // The last variant of the list is no damage.
        c.section(source).SetTopology(last);
        doc = Open(Saved(source));
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(Boxes(52080), 0);
        EXPECT_EQ(c.section(*doc).GetTopology(), last);
    }
}

}  // namespace
