// Damaged design files opened through the real document: a fixed-seed loop of random damage
// to a new design and to a design with content in every kind of table. Each open returns;
// a refused file leaves the open design as it was, and an accepted one can be saved and
// opened again to the same bytes.
//
// PQ_FUZZ_SEED overrides the seed and PQ_FUZZ_ITERATIONS the number of damaged files, to
// search further by hand; a failure names the seed, the iteration and the damage.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "circuit/Doc.h"
#include "platform/core/Archive.h"
#include "platform/core/ReportSink.h"
#include "records/Utils.h"
#include "resources/StringTable.h"
#include "DocTestSupport.h"
#include "support/ArchiveBytes.h"
#include "support/Golden.h"
#include "support/ReadFile.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint64_t kDefaultSeed = 0x5EF0F022u;
constexpr int kDefaultIterations = 800;
// Far above a normal open under the sanitizers: an open this slow is a near-hang.
constexpr double kSlowOpenSeconds = 2.0;

uint64_t EnvNumber(const char* name, uint64_t fallback) {
    const char* text = std::getenv(name);
    if (!text || !*text) return fallback;
    return std::strtoull(text, nullptr, 0);
}

using test_support::Store;

std::string Folder() { return ::testing::TempDir() + "pq_docfuzz_" + std::to_string(::getpid()); }

std::string WriteFile(const std::string& name, const Bytes& bytes) {
    std::filesystem::create_directories(Folder());
    const std::string path = Folder() + "/" + name;
    test_support::WriteBytes(path, bytes);
    return path;
}

// The archived records that differ between two documents, as one line.
std::string DifferingRecords(CPwrQuorraDoc& a, CPwrQuorraDoc& b) {
    std::string out;
    for (const std::string& name : test_support::DifferingRecords(a, b)) out += (out.empty() ? "" : ", ") + name;
    return out;
}

void AddToken(CEquation& eq, int32_t kind, int32_t value, double number = 0.0) {
    CObEquation t;
    t.m_nKind = kind;
    if (kind == CObEquation::KIND_OPERATOR) t.m_nOperator = value;
    if (kind == CObEquation::KIND_VARIABLE) t.m_nVarId = value;
    t.m_dNumber = number;
    eq.GetTokens().AddCopy(t);
}

// Content in every kind of table and in the long-string encoding: three outputs, transient
// points of both line voltage tables, two equations, saturation points of two inductors and
// notes longer than a one-byte length.
void FillDesign(CPwrQuorraDoc& doc) {
    CRequirements& req = *doc.GetRequirements();
    req.GetOutput(1)->SetEnabled(TRUE);
    req.GetOutput(1)->SetTargetVoltage(12.0);
    req.GetOutput(2)->SetEnabled(TRUE);
    req.GetOutput(2)->SetTargetVoltage(3.3);
    req.GetOutput(3)->SetTargetVoltage(-5.0);
    doc.GetLineFilter()->SetTopology(1);
    doc.GetSecondarySection2()->SetTopology(0);

    CLineVoltage& line = doc.GetLineFilter()->GetLineVoltage();
    for (int i = 0; i < 3; ++i) {
        CObTimeMagnitude p;
        p.m_dTime = 1e-3 * i;
        p.m_dMagnitude = 300.0 + 10.0 * i;
        line.GetDCMagnitudeTable().AddCopy(i, p);
    }
    for (int i = 0; i < 2; ++i) {
        CObTimeMagnitude p;
        p.m_dTime = 2e-3 * i;
        p.m_dMagnitude = 120.0 - 5.0 * i;
        line.GetACMagnitudeTable().AddCopy(i, p);
    }

    for (int i = 0; i < 4; ++i) {
        doc.GetLineFilter()->GetInductorIn1().m_CoreSatChar.m_arPoints.AddCopy(
            i, CObCurrentInductance(0.5 * i, 1e-3 / (1 + i)));
    }
    for (int i = 0; i < 2; ++i) {
        doc.GetOutputChoke2()->GetInductorOut1().m_CoreSatChar.m_arPoints.AddCopy(
            i, CObCurrentInductance(2.0 * i, 10e-6 / (1 + i)));
    }

    // ( v17 + 2.5 ) * v3
    CEquation& eq1 = *doc.GetAnalysisConfig()->GetEquation(1);
    AddToken(eq1, CObEquation::KIND_OPERATOR, CObEquation::OP_LEFT_PAREN);
    AddToken(eq1, CObEquation::KIND_VARIABLE, 17);
    AddToken(eq1, CObEquation::KIND_OPERATOR, CObEquation::OP_ADD);
    AddToken(eq1, CObEquation::KIND_NUMBER, 0, 2.5);
    AddToken(eq1, CObEquation::KIND_OPERATOR, CObEquation::OP_RIGHT_PAREN);
    AddToken(eq1, CObEquation::KIND_OPERATOR, CObEquation::OP_MULTIPLY);
    AddToken(eq1, CObEquation::KIND_VARIABLE, 3);
    eq1.m_nLeftParens = 1;
    eq1.m_nRightParens = 1;
    eq1.m_nLastEntry = CEquation::LAST_VALUE;
    eq1.m_strText = " ( < v17 > + 2.5 ) * < v3 >";
    CEquation& eq4 = *doc.GetAnalysisConfig()->GetEquation(4);
    AddToken(eq4, CObEquation::KIND_VARIABLE, 509);
    eq4.m_nLastEntry = CEquation::LAST_VALUE;
    eq4.m_strText = " < v509 >";

    // Coupled chokes and current networks that take part: the checks that run on opening
    // read values from several records.
    doc.GetOutputChokeMutualInd()->SetCouplingEnabled(TRUE);
    doc.GetOutputChokeMutualInd()->ShortedInductance(COutputChokeMutualInd::k12) = 3.3e-6;
    doc.GetOutputChokeMutualInd()->ShortedInductance(COutputChokeMutualInd::k13) = 4.7e-6;
    doc.GetControlSection()->GetFeedbackCurrentSourceVIS().m_iSensedCurrent = CCrntSensSource::SENSE_CHOKE;
    doc.GetControlSection()->GetLimitCurrentSourceVISCL().m_iSensedCurrent = CCrntSensSource::SENSE_CHOKE;
    doc.GetAnalysisConfig()->SetAnalysisKind(CAnalysisConfig::KIND_TURN_ON);

    std::string notes;
    while (notes.size() < 300) notes += "Bench prototype, rev B.\r\n";
    doc.GetMiscData()->SetNotes(notes);
    doc.SetModifiedAndCheck();
}

// Offsets of bytes that hold a string length, a class-name length or an element count, found
// by the shape of what follows them.
std::vector<size_t> LengthAndCountOffsets(const Bytes& b) {
    std::vector<size_t> out;
    auto printable = [](uint8_t c) { return (c >= 0x20 && c < 0x7F) || c == '\r' || c == '\n'; };
    size_t textEnd = 0;  // the text of the last string found ends before this offset
    for (size_t i = 0; i + 1 < b.size(); ++i) {
        const size_t n = b[i];
        if (i >= textEnd && n >= 3 && n < 0xFF && i + n < b.size()) {
            bool text = true;
            for (size_t k = 1; k <= n && text; ++k) text = printable(b[i + k]);
            if (text) {
                out.push_back(i);
                textEnd = i + 1 + n;
            }
        }
        // 0xFF then a 16-bit length: the long-string form.
        if (b[i] == 0xFF && i + 3 < b.size() && printable(b[i + 3]) && (b[i + 1] | (b[i + 2] << 8)) < 0xFFFE &&
            (b[i + 1] | (b[i + 2] << 8)) >= 0xFF)
            out.push_back(i + 1);
        // A new-class tag: FFFF, schema, 16-bit name length, then the name.
        if (b[i] == 0xFF && b[i + 1] == 0xFF && i + 6 < b.size() && b[i + 5] == 0 && b[i + 6] == 'C')
            out.push_back(i + 4);
        // An element count, followed by an object tag (new class or class back-reference).
        if (i + 3 < b.size() && b[i + 1] == 0 && b[i] > 0 &&
            ((b[i + 2] == 0xFF && b[i + 3] == 0xFF) || b[i + 3] == 0x80))
            out.push_back(i);
        // A zero word before a record's tag: an empty table's count or a record's schema.
        if (i + 3 < b.size() && b[i] == 0 && b[i + 1] == 0 && b[i + 2] >= 3 && b[i + 2] < 0xFF && b[i + 3] == '<')
            out.push_back(i);
    }
    return out;
}

struct Damage {
    Bytes bytes;
    std::string what;
};

Damage MakeDamage(std::mt19937_64& rng, const Bytes& good, const std::vector<size_t>& lengths) {
    auto pick = [&](size_t n) { return size_t(std::uniform_int_distribution<uint64_t>(0, n - 1)(rng)); };
    Damage d{good, ""};
    std::ostringstream what;
    switch (pick(4)) {
    case 0: {
        const size_t keep = pick(good.size());
        d.bytes.resize(keep);
        what << "truncated to " << keep << " of " << good.size() << " bytes";
        break;
    }
    case 1: {
        const size_t flips = 1 + pick(4);
        what << "bit flips at";
        for (size_t k = 0; k < flips; ++k) {
            const size_t at = pick(good.size());
            const int bit = int(pick(8));
            d.bytes[at] ^= uint8_t(1u << bit);
            what << " " << at << ":" << bit;
        }
        break;
    }
    case 2: {
        const size_t at = pick(good.size());
        const size_t len = std::min<size_t>(1 + pick(64), good.size() - at);
        const uint8_t fill = pick(2) ? 0xFF : 0x00;
        std::fill(d.bytes.begin() + long(at), d.bytes.begin() + long(at + len), fill);
        what << len << " bytes from " << at << " set to " << (fill ? "0xFF" : "0x00");
        break;
    }
    default: {
        size_t at = lengths[pick(lengths.size())];
        if (at >= good.size()) at = pick(good.size());
        const uint8_t old = d.bytes[at];
        static const int kDeltas[] = {1, -1, 2, -2, 0x40, 0x80};
        switch (pick(4)) {
        case 0: d.bytes[at] = uint8_t(old + kDeltas[pick(6)]); break;
        case 1: d.bytes[at] = 0; break;
        case 2: d.bytes[at] = 0xFF; break;
        default: d.bytes[at] = uint8_t(pick(256)); break;
        }
        what << "length/count byte at " << at << " changed from " << int(old) << " to " << int(d.bytes[at]);
        break;
    }
    }
    d.what = what.str();
    return d;
}

class DocFuzzTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetLoggingQuery(nullptr);
        ResetFileWarnings();
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(Folder(), ignored);
    }

    fw::RecordingSink sink_;
    fw::ScopedReportSink scoped_{&sink_};

    // Opens the file into the document and its mirror, two equal copies of the open design.
    void Reset(const std::string& path) {
        ASSERT_TRUE(doc_->OnOpenDocument(path)) << path;
        ASSERT_TRUE(mirror_->OnOpenDocument(path)) << path;
        image_ = Store(*doc_);
        ASSERT_EQ(Store(*mirror_), image_);
    }

    // Opens one damaged file into the document and checks the result; empty when all is
    // well. Afterwards the mirror and image_ hold the open design again.
    std::string OpenOne(const Bytes& damaged, BOOL* opened, double* seconds) {
        const std::string title = doc_->GetTitle();
        const std::string pathName = doc_->GetPathName();
        const BOOL modified = doc_->IsModified();
        const std::string path = WriteFile("damaged.SEF", damaged);
        // As in the program, the document being opened is the current one.
        SetCurrentDoc(doc_.get());
        sink_.Clear();
        const auto start = std::chrono::steady_clock::now();
        *opened = doc_->OnOpenDocument(path);
        *seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (*seconds > kSlowOpenSeconds) return "the open took " + std::to_string(*seconds) + " s";
        if (!*opened) {
            const std::string diff = DifferingRecords(*doc_, *mirror_);
            if (!diff.empty()) return "refused, but the open design changed: " + diff;
            if (Store(*doc_) != image_) return "refused, but the open design stores other bytes";
            if (doc_->GetTitle() != title || doc_->GetPathName() != pathName || doc_->IsModified() != modified ||
                doc_->GetDocumentTag() != kDocumentTag)
                return "refused, but the title, path, modified flag or document tag changed";
            return "";
        }
        // Accepted: saved and opened again, the design gives the same bytes without a warning.
        image_ = Store(*doc_);
        const std::string resavedPath = WriteFile("resaved.SEF", image_);
        sink_.Clear();
        if (!mirror_->OnOpenDocument(resavedPath)) return "accepted, but its saved file does not open";
        for (const std::string& box : sink_.boxes)
            if (box == res::FindString(52080) || box == res::FindString(52081))
                return "accepted, but its saved file opens as damaged: " + box;
        if (Store(*mirror_) != image_) return "accepted, but saved and opened again it stores other bytes";
        const std::string diff = DifferingRecords(*doc_, *mirror_);
        if (!diff.empty()) return "accepted, but saved and opened again these records differ: " + diff;
        return "";
    }

    std::unique_ptr<CPwrQuorraDoc> doc_ = std::make_unique<CPwrQuorraDoc>();
    std::unique_ptr<CPwrQuorraDoc> mirror_ = std::make_unique<CPwrQuorraDoc>();
    Bytes image_;  // what the open design stores
};

TEST_F(DocFuzzTest, DamagedFilesNeitherCrashNorChangeTheOpenDesignNorLoadWhatCannotBeSaved) {
    const uint64_t seed = EnvNumber("PQ_FUZZ_SEED", kDefaultSeed);
    const int iterations = int(EnvNumber("PQ_FUZZ_ITERATIONS", kDefaultIterations));

    // The two starting files: a new design as stored, and a design with content.
    const std::string newPath = test_support::GoldenPath("circuit", "DocNew.SEF");
    const std::string newText = test_support::ReadAll(newPath);
    ASSERT_FALSE(newText.empty()) << newPath;
    Bytes filled;
    {
        CPwrQuorraDoc doc;
        doc.OnNewDocument();
        FillDesign(doc);
        filled = Store(doc);
    }
    const Bytes bases[2] = {Bytes(newText.begin(), newText.end()), filled};
    const char* baseNames[2] = {"new design", "design with content"};
    const std::string basePaths[2] = {WriteFile("new.SEF", bases[0]), WriteFile("filled.SEF", bases[1])};
    std::vector<size_t> lengths[2] = {LengthAndCountOffsets(bases[0]), LengthAndCountOffsets(bases[1])};

    ASSERT_GT(lengths[0].size(), 100u);
    ASSERT_GT(lengths[1].size(), 100u);

    // Undamaged, each file opens over the other and saves back to what it opened as.
    for (int b = 0; b < 2; ++b) {
        Reset(basePaths[1 - b]);
        BOOL opened = FALSE;
        double seconds = 0;
        EXPECT_EQ(OpenOne(bases[b], &opened, &seconds), "") << baseNames[b];
        EXPECT_TRUE(opened) << baseNames[b];
    }
    EXPECT_EQ(mirror_->GetLineFilter()->GetLineVoltage().GetDCMagnitudeTable().GetCount(), 3);
    EXPECT_EQ(mirror_->GetLineFilter()->GetInductorIn1().m_CoreSatChar.m_arPoints.GetCount(), 4);
    EXPECT_TRUE(mirror_->GetAnalysisConfig()->GetEquation(1)->IsInUse());
    EXPECT_EQ(mirror_->GetRequirements()->CountEnabledOutputs(), 3);
    if (HasFailure()) return;

    std::mt19937_64 rng(seed);
    int refused = 0;
    int accepted = 0;
    int failures = 0;
    double slowest = 0;
    for (int it = 0; it < iterations && failures < 5; ++it) {
        const int b = it % 2;
        Damage damage = MakeDamage(rng, bases[b], lengths[b]);
        // Every fifth file takes a second damage on top of the first.
        if (it % 5 == 4 && !damage.bytes.empty()) {
            Damage more = MakeDamage(rng, damage.bytes, lengths[b]);
            more.what = damage.what + ", then " + more.what;
            damage = std::move(more);
        }
        // Now and then the open design is the other undamaged one again, so that a partly
        // taken file shows; otherwise it is what the last accepted file gave.
        if (it % 50 == 0) {
            Reset(basePaths[1 - b]);
            if (it % 100 == 0) doc_->SetModifiedFlag(TRUE);
        }
        BOOL opened = FALSE;
        double seconds = 0;
        const std::string fault = OpenOne(damage.bytes, &opened, &seconds);
        slowest = std::max(slowest, seconds);
        if (!fault.empty()) {
            ++failures;
            ADD_FAILURE() << "PQ_FUZZ_SEED=" << seed << " iteration " << it << ", " << baseNames[b] << ", "
                          << damage.what << ": " << fault;
            Reset(basePaths[1 - b]);
            continue;
        }
        ++(opened ? accepted : refused);
    }
    std::printf("[ fuzz     ] seed %llu: %d refused, %d accepted, slowest open %.3f s\n",
                static_cast<unsigned long long>(seed), refused, accepted, slowest);
    // Both paths must have been taken for the loop to show anything.
    EXPECT_GT(refused, iterations / 10);
    EXPECT_GT(accepted, iterations / 10);
}

}  // namespace
