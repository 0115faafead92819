#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include <unistd.h>

#include "circuit/AppServices.h"
#include "circuit/Doc.h"
#include "circuit/GraphServices.h"
#include "platform/core/Archive.h"
#include "platform/core/File.h"
#include "platform/core/ReportSink.h"
#include "records/Utils.h"
#include "DocTestSupport.h"
#include "support/ArchiveBytes.h"
#include "support/Golden.h"
#include "support/ReadFile.h"

namespace {

using test_support::DifferingRecords;
using test_support::WriteBytes;

using test_support::Store;

BOOL Load(CPwrQuorraDoc& doc, const std::vector<uint8_t>& bytes) {
    fw::Archive ar(bytes);
    return doc.Serialize(ar);
}

// A folder of this process's own: test programs run in parallel never share
// a design file or a log.
std::string TempFolder() { return ::testing::TempDir() + "pq_doc_" + std::to_string(::getpid()); }

std::string TempPath(const std::string& name) {
    std::filesystem::create_directories(TempFolder());
    return TempFolder() + "/pq_doc_" + name;
}


using test_support::ReadAll;

// Offset of an archived string's text (after its one-byte length).
size_t TextOffset(const std::vector<uint8_t>& bytes, const std::string& text) {
    return std::string(bytes.begin(), bytes.end()).find(text);
}

// A design that differs from the defaults in several records.
void Customise(CPwrQuorraDoc& doc) {
    doc.GetRequirements()->GetOutput(1)->SetEnabled(TRUE);
    doc.GetRequirements()->GetOutput(1)->SetTargetVoltage(12.0);
    doc.GetLineFilter()->SetTopology(1);
    doc.GetSecondarySection2()->SetTopology(0);
    doc.GetMiscData()->SetNotes("first line\r\nsecond line");
    doc.GetOutputChokeMutualInd()->SetCouplingEnabled(TRUE);
    doc.GetOutputChokeMutualInd()->ShortedInductance(COutputChokeMutualInd::k12) = 3.3e-6;
    CEquation* eq = doc.GetAnalysisConfig()->GetEquation(2);
    CObEquation token;
    token.m_nKind = CObEquation::KIND_VARIABLE;
    token.m_nVarId = 17;
    eq->GetTokens().AddCopy(token);
    eq->m_strText = " < v17 >";
    eq->m_nLastEntry = CEquation::LAST_VALUE;
}

// Records what the document asks of the application.
class FakeApp : public CAppServices {
public:
    void SetDocument(CPwrQuorraDoc* d) override { doc = d; }
    void RefreshMainFrame(int refreshPicture) override { refreshes.push_back(refreshPicture); }
    // As the application answers: the command line's logging, else the current document's
    // switch while its analysis runs. The worker asks this from its own thread.
    BOOL IsLoggingOn() override {
        if (loggingOn) return TRUE;
        return (doc && doc->IsAnalysisRunning() && doc->GetUSData()->GetDataLogging()) ? TRUE : FALSE;
    }
    intptr_t GetMainWindowHandle() override { return 77; }
    void ServeWorkerRequests() override { ++served; }

    CPwrQuorraDoc* doc = nullptr;
    std::vector<int> refreshes;
    BOOL loggingOn = FALSE;
    std::atomic<int> served{0};
};

class DocTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetFileWarnings();
        previousApp = SetAppServices(&app);
    }
    void TearDown() override {
        SetAppServices(previousApp);
        SetLoggingQuery(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(TempFolder(), ignored);
    }

    // A new design, as File New leaves it.
    std::unique_ptr<CPwrQuorraDoc> NewDoc() {
        auto doc = std::make_unique<CPwrQuorraDoc>();
        doc->OnNewDocument();
        return doc;
    }

    // Logs every report into a fresh file; returns its path.
    std::string StartLog(const std::string& name) {
        std::string path = TempPath(name);
        std::remove(path.c_str());
        SetLogPath(path);
        ResetLogStarted();
        SetLoggingQuery([] { return true; });
        return path;
    }

    fw::RecordingSink sink;
    fw::ScopedReportSink scoped{&sink};
    FakeApp app;
    CAppServices* previousApp = nullptr;
};

// ---------------------------------------------------------------------------------------------
// New design

TEST_F(DocTest, NewDesignHasEveryDefault) {
    auto doc = NewDoc();
    EXPECT_EQ(app.doc, doc.get());
    EXPECT_EQ(GetCurrentDoc(), doc.get());
    EXPECT_EQ(doc->GetTitle(), "untitled");
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->GetDocumentTag(), "<POWER_QUORRA_DATA>");
    EXPECT_EQ(app.refreshes, std::vector<int>{0});
    const CSection* sections[] = {doc->GetLineFilter(),        doc->GetLineRectifier(),    doc->GetInputCapacitor(),
                                  doc->GetPrimarySection(),    doc->GetSecondarySection1(), doc->GetOutputChoke2(),
                                  doc->Get1StgOutputFilter3(), doc->Get2StgOutputFilter4(), doc->GetLoadNetwork1(),
                                  doc->GetVoltageErrorAmp(),   doc->GetControlSection()};
    for (const CSection* s : sections) EXPECT_EQ(s->GetTopology(), kTopologyNotChosen) << s->GetClassName();
    EXPECT_EQ(doc->GetSecondarySection1()->GetOutputNumber(), 0);
    EXPECT_EQ(doc->GetSecondarySection4()->GetOutputNumber(), 3);
    EXPECT_EQ(doc->GetOutputChoke3()->GetOutputNumber(), 2);
    EXPECT_EQ(doc->Get1StgOutputFilter2()->GetOutputNumber(), 1);
    EXPECT_EQ(doc->Get2StgOutputFilter4()->GetOutputNumber(), 3);
    EXPECT_EQ(doc->GetLoadNetwork4()->GetOutputNumber(), 3);
    EXPECT_TRUE(doc->IsSingleEndedForward());
    EXPECT_FALSE(doc->IsAnalysisRunning());
    doc->CheckAllSections();
    EXPECT_FALSE(doc->GetCircuitComplete());
    EXPECT_TRUE(sink.boxes.empty());
}

// File New after a design was edited: nothing of the old design survives, the choke
// coupling and the whole of every equation included.
TEST_F(DocTest, NewDesignAfterEditsCarriesNothingOver) {
    auto doc = NewDoc();
    Customise(*doc);
    doc->SetModifiedAndCheck();
    doc->OnNewDocument();
    auto fresh = NewDoc();
    EXPECT_EQ(DifferingRecords(*doc, *fresh), std::vector<std::string>{});
    EXPECT_EQ(doc->GetAnalysisConfig()->GetEquation(2)->GetText(), "");
    EXPECT_EQ(doc->GetAnalysisConfig()->GetEquation(2)->m_nLastEntry, CEquation::LAST_NOTHING);
    EXPECT_EQ(doc->GetTitle(), "untitled");
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(DocTest, DestroyingTheDocumentClearsTheApplicationsPointer) {
    {
        auto doc = NewDoc();
        app.refreshes.clear();
    }
    EXPECT_EQ(app.doc, nullptr);
    EXPECT_EQ(GetCurrentDoc(), nullptr);
    EXPECT_EQ(app.refreshes, std::vector<int>{0});
}

// ---------------------------------------------------------------------------------------------
// Design file

TEST_F(DocTest, StoreLoadStoreGivesTheSameBytesAndEqualRecords) {
    for (bool customised : {false, true}) {
        SCOPED_TRACE(customised ? "customised design" : "new design");
        auto a = NewDoc();
        if (customised) Customise(*a);
        a->CheckAllSections();
        std::vector<uint8_t> first = Store(*a);
        auto b = std::make_unique<CPwrQuorraDoc>();
        ASSERT_TRUE(Load(*b, first));
        EXPECT_EQ(Store(*b), first);
        EXPECT_EQ(DifferingRecords(*a, *b), std::vector<std::string>{});
        EXPECT_TRUE(sink.boxes.empty());
    }
}

// The design file of a new design, byte for byte.
TEST_F(DocTest, NewDesignFileMatchesTheGoldenFile) {
    auto doc = NewDoc();
    std::vector<uint8_t> bytes = Store(*doc);
    test_support::ExpectGolden("circuit", "DocNew.SEF", std::string(bytes.begin(), bytes.end()));
    const std::string path = test_support::GoldenPath("circuit", "DocNew.SEF");
    auto loaded = std::make_unique<CPwrQuorraDoc>();
    ASSERT_TRUE(loaded->OnOpenDocument(path));
    doc->CheckAllSections();  // as the opening did
    EXPECT_EQ(DifferingRecords(*doc, *loaded), std::vector<std::string>{});
    EXPECT_TRUE(sink.boxes.empty());
}

TEST_F(DocTest, FileStartsWithTheDocumentTagAndVersion) {
    auto doc = NewDoc();
    std::vector<uint8_t> bytes = Store(*doc);
    ASSERT_GT(bytes.size(), 22u);
    EXPECT_EQ(bytes[0], 19);
    EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 20), "<POWER_QUORRA_DATA>");
    EXPECT_EQ(bytes[20], 0);
    EXPECT_EQ(bytes[21], 0);
    EXPECT_EQ(bytes[22], 19);
    EXPECT_EQ(std::string(bytes.begin() + 23, bytes.begin() + 42), "Halverd-PowerQuorra");
}

TEST_F(DocTest, SaveAndOpenThroughFiles) {
    std::string path = TempPath("design.SEF");
    auto a = NewDoc();
    Customise(*a);
    a->SetModifiedAndCheck();
    EXPECT_EQ(a->GetTitle(), "untitled*");
    ASSERT_TRUE(a->OnSaveDocument(path));
    EXPECT_FALSE(a->IsModified());
    EXPECT_EQ(a->GetTitle(), "pq_doc_design.SEF");
    EXPECT_EQ(a->GetPathName(), path);

    auto b = NewDoc();
    app.refreshes.clear();
    ASSERT_TRUE(b->OnOpenDocument(path));
    EXPECT_EQ(DifferingRecords(*a, *b), std::vector<std::string>{});
    EXPECT_EQ(b->GetTitle(), "pq_doc_design.SEF");
    EXPECT_FALSE(b->IsModified());
    EXPECT_EQ(app.refreshes, std::vector<int>{1});
    EXPECT_TRUE(sink.boxes.empty());
}

TEST_F(DocTest, FailedSaveSaysSoAndKeepsTheDesignModified) {
    auto doc = NewDoc();
    doc->SetModifiedFlag(TRUE);
    std::string path = TempPath("no_such_folder/design.SEF");
    EXPECT_FALSE(doc->OnSaveDocument(path));
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_NE(sink.boxes[0].find("Could not save"), std::string::npos);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->GetTitle(), "untitled*");
    EXPECT_EQ(doc->GetPathName(), "");
}

TEST_F(DocTest, ADamagedFirstRecordTakesItsDefaultsAndTheFileStillOpens) {
    std::string log = StartLog("damaged_first.log");
    auto a = NewDoc();
    std::vector<uint8_t> bytes = Store(*a);
    size_t at = TextOffset(bytes, "Halverd-PowerQuorra");
    ASSERT_NE(at, std::string::npos);
    bytes[at] = 'X';
    std::string path = TempPath("damaged_first.SEF");
    WriteBytes(path, bytes);

    auto b = NewDoc();
    ASSERT_TRUE(b->OnOpenDocument(path));
    EXPECT_EQ(sink.boxes, std::vector<std::string>{"The SEF file has been corrupted.\nNot all data has been restored."});
    EXPECT_EQ(b->GetSignature()->GetSignature(), "Halverd-PowerQuorra");
    EXPECT_NE(ReadAll(log).find("CODE 4100"), std::string::npos);
}

// The open design stays as it was when a file cannot be read as a design.
TEST_F(DocTest, AFileThatIsNotAWholeDesignDoesNotOpen) {
    auto source = NewDoc();
    std::vector<uint8_t> good = Store(*source);

    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* box;
        const char* logged;  // the Doc module's code, when one is logged
    };
    const char* kCorrupted = "The SEF file has been corrupted.\nNot all data has been restored.";
    const char* kVersion = "The version of the SEF file is incorrect.\nNot all data has been restored.";
    std::vector<uint8_t> wrongTag = good;
    wrongTag[18] = 'X';
    std::vector<uint8_t> version1 = good;
    version1[20] = 1;
    std::vector<Case> cases = {
        {"empty", {}, kCorrupted, nullptr},
        {"wrong tag", wrongTag, kCorrupted, "Doc:       CODE 301"},
        {"version 1", version1, kVersion, "Doc:       CODE 302"},
        {"tag only", std::vector<uint8_t>(good.begin(), good.begin() + 20), kCorrupted, nullptr},
        {"after the signature", std::vector<uint8_t>(good.begin(), good.begin() + 44), kCorrupted, nullptr},
        {"half", std::vector<uint8_t>(good.begin(), good.begin() + long(good.size() / 2)), kCorrupted, nullptr},
        {"last byte missing", std::vector<uint8_t>(good.begin(), good.end() - 1), kCorrupted, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string log = StartLog("not_whole.log");
        sink.Clear();
        auto doc = NewDoc();
        Customise(*doc);
        doc->SetModifiedAndCheck();
        auto expected = NewDoc();
        Customise(*expected);
        expected->SetModifiedAndCheck();
        std::string path = TempPath("not_whole.SEF");
        WriteBytes(path, c.bytes);

        EXPECT_FALSE(doc->OnOpenDocument(path));
        // Said as the other file messages say it: not opened, with the file's name.
        EXPECT_EQ(sink.boxes, std::vector<std::string>{"Problem:  Could not open the file " + path + "\n" + c.box});
        EXPECT_EQ(DifferingRecords(*doc, *expected), std::vector<std::string>{});
        EXPECT_EQ(doc->GetTitle(), "untitled*");
        EXPECT_TRUE(doc->IsModified());
        EXPECT_EQ(doc->GetDocumentTag(), "<POWER_QUORRA_DATA>");
        if (c.logged) {
            EXPECT_NE(ReadAll(log).find(c.logged), std::string::npos);
        }
    }
}

// A damaged record says "not all data has been restored"; when the file then ends early the
// user is also told that it was not opened at all. Loading from memory keeps the plain warning.
TEST_F(DocTest, ARefusedFileIsToldAfterAnInnerRecordsWarning) {
    auto source = NewDoc();
    std::vector<uint8_t> bytes = Store(*source);
    // A switching frequency of zero: damage, and the load reads on.
    size_t at = TextOffset(bytes, "<REQUIREMENTS_DATA>");
    ASSERT_NE(at, std::string::npos);
    std::fill_n(bytes.begin() + long(at + 19 + 2 + 4), 8, uint8_t(0));
    bytes.pop_back();
    std::string path = TempPath("damaged_and_short.SEF");
    WriteBytes(path, bytes);
    auto doc = NewDoc();
    EXPECT_FALSE(doc->OnOpenDocument(path));
    const std::string corrupted = "The SEF file has been corrupted.\nNot all data has been restored.";
    EXPECT_EQ(sink.boxes,
              (std::vector<std::string>{corrupted, "Problem:  Could not open the file " + path + "\n" + corrupted}));

    sink.Clear();
    EXPECT_FALSE(Load(*doc, {}));
    EXPECT_EQ(sink.boxes, std::vector<std::string>{corrupted});
}

TEST_F(DocTest, AFileThatCannotBeReadSaysSo) {
    auto doc = NewDoc();
    EXPECT_FALSE(doc->OnOpenDocument(TempPath("does_not_exist.SEF")));
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_NE(sink.boxes[0].find("Could not open"), std::string::npos);
}

TEST_F(DocTest, ADesignOfAnotherCircuitTypeGivesANewDesign) {
    auto other = NewDoc();
    Customise(*other);
    other->GetMiscData()->m_nCircuitType = 2;
    std::string path = TempPath("other_type.SEF");
    ASSERT_TRUE(other->OnSaveDocument(path));

    auto doc = NewDoc();
    ASSERT_TRUE(doc->OnOpenDocument(path));
    EXPECT_EQ(sink.boxes,
              std::vector<std::string>{"The file loaded was not Single Ended Forward type\nso the data has been defaulted."});
    auto fresh = NewDoc();
    fresh->CheckAllSections();
    EXPECT_EQ(DifferingRecords(*doc, *fresh), std::vector<std::string>{});
    EXPECT_EQ(doc->GetTitle(), "untitled");
    EXPECT_EQ(doc->GetPathName(), "");
    EXPECT_TRUE(doc->IsSingleEndedForward());
}

TEST_F(DocTest, LoadingKeepsTheDataLoggingSwitch) {
    auto a = NewDoc();
    std::vector<uint8_t> bytes = Store(*a);
    auto b = NewDoc();
    b->GetUSData()->SetDataLogging(TRUE);
    ASSERT_TRUE(Load(*b, bytes));
    EXPECT_TRUE(b->GetUSData()->GetDataLogging());
}

// ---------------------------------------------------------------------------------------------
// Title, modified flag and checks

TEST_F(DocTest, TheTitleCarriesOneModifiedMark) {
    auto doc = NewDoc();
    doc->SetModifiedAndCheck();
    EXPECT_EQ(doc->GetTitle(), "untitled*");
    doc->SetModifiedAndCheck();
    EXPECT_EQ(doc->GetTitle(), "untitled*");
    doc->SetModifiedFlag(FALSE);
    EXPECT_EQ(doc->GetTitle(), "untitled");
    EXPECT_FALSE(doc->IsModified());
}

// The flag is saved with the design, so the title marks it as the close question sees it.
TEST_F(DocTest, ToggleShowMessagesMarksTheDesignAndItsTitle) {
    auto doc = NewDoc();
    BOOL first = doc->GetShowMessages();
    doc->ToggleShowMessages();
    EXPECT_NE(doc->GetShowMessages(), first);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->GetTitle(), "untitled*");
    doc->ToggleShowMessages();
    EXPECT_EQ(doc->GetShowMessages(), first);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->GetTitle(), "untitled*");
}

// A partly built design (two-switch primary, secondary not chosen) reopens unchanged: the
// checks of the opening and of later edits find nothing to reset.
TEST_F(DocTest, APartlyBuiltDesignReopensUnmodified) {
    std::string path = TempPath("partly_built.SEF");
    auto a = NewDoc();
    a->GetPrimarySection()->SetTopology(0);
    a->SetModifiedAndCheck();
    ASSERT_EQ(a->GetSecondarySection1()->GetTopology(), kTopologyNotChosen);
    ASSERT_TRUE(a->OnSaveDocument(path));

    auto b = NewDoc();
    ASSERT_TRUE(b->OnOpenDocument(path));
    EXPECT_FALSE(b->IsModified());
    EXPECT_EQ(b->GetTitle(), "pq_doc_partly_built.SEF");
    b->CheckAllSections();
    EXPECT_FALSE(b->IsModified());
    EXPECT_EQ(b->GetSecondarySection1()->GetTopology(), kTopologyNotChosen);
}

// The checks report only with the show-messages flag set, and a change of the complete flag
// marks the design modified without touching the title.
TEST_F(DocTest, ChecksReportOnlyWhenAskedTo) {
    auto doc = NewDoc();
    doc->GetMiscData()->SetCircuitComplete(1);
    doc->CheckAllSections();
    EXPECT_TRUE(sink.boxes.empty());
    EXPECT_FALSE(doc->GetCircuitComplete());
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->GetTitle(), "untitled");

    doc->SetShowMessages(1);
    doc->CheckAllSections();
    EXPECT_FALSE(sink.boxes.empty());
}

// ---------------------------------------------------------------------------------------------
// Summary

std::string NormaliseDateAndTime(std::string text) {
    text = std::regex_replace(text, std::regex("Date:  [A-Z][a-z]+day, [A-Z][a-z]+ [0-9]{2}, [0-9]{4}\r\n"),
                              "Date:  <date>\r\n");
    text = std::regex_replace(text, std::regex("Time:  [0-9]{2}:[0-9]{2}:[0-9]{2} (AM|PM)\r\n"), "Time:  <time>\r\n");
    return text;
}

TEST_F(DocTest, SummaryOfANewDesign) {
    auto doc = NewDoc();
    doc->CheckAllSections();
    fw::StringFile file;
    ASSERT_TRUE(doc->WriteSummaryText(file));
    std::string text = NormaliseDateAndTime(file.text);
    EXPECT_EQ(text.rfind("File:  untitled\r\nType:  Single Ended Forward\r\nDate:  <date>\r\nTime:  <time>\r\n", 0), 0u)
        << text.substr(0, 120);
    test_support::ExpectGolden("circuit", "DocSummaryNew.txt", text);
    // Only output 1 is enabled: nothing of outputs 2 to 4 and no current networks.
    EXPECT_EQ(text.find(" 2:  "), std::string::npos);
    EXPECT_EQ(text.find("Current Feedback Network:"), std::string::npos);
    EXPECT_EQ(text.find("Current Limit Network:"), std::string::npos);
}

// Four outputs, and a control section whose current feedback and current limit sense the
// chokes, so that both current networks take part.
TEST_F(DocTest, SummaryWithFourOutputsHasEverySection) {
    auto doc = NewDoc();
    for (int n = 0; n < 4; ++n) doc->GetRequirements()->GetOutput(n)->SetEnabled(TRUE);
    doc->GetControlSection()->GetFeedbackCurrentSourceVIS().m_iSensedCurrent = CCrntSensSource::SENSE_CHOKE;
    doc->GetControlSection()->GetLimitCurrentSourceVISCL().m_iSensedCurrent = CCrntSensSource::SENSE_CHOKE;
    doc->SetModifiedAndCheck();
    fw::StringFile file;
    ASSERT_TRUE(doc->WriteSummaryText(file));
    std::string text = NormaliseDateAndTime(file.text);
    EXPECT_EQ(text.rfind("File:  untitled*\r\n", 0), 0u);
    test_support::ExpectGolden("circuit", "DocSummaryFourOutputs.txt", text);
    EXPECT_NE(text.find("Current Feedback Network:"), std::string::npos);
    EXPECT_NE(text.find("Current Limit Network:"), std::string::npos);
}

// ---------------------------------------------------------------------------------------------
// Analysis runs

// A worker that runs one analysis per start and reports success, the way the analysis worker
// does; the document ends it on the run-finished message.
struct RunRecorder {
    std::atomic<int> runs{0};
    std::atomic<int> loggingWord{-1};
    fw::Event done{false, false};
};

CAnalysisThreadCtl::WorkerProc SucceedingWorker(std::shared_ptr<RunRecorder> r) {
    return [r](AnalysisThreadParams& p) {
        p.runStatus = 1;
        for (;;) {
            if (!p.hStartEvent->Wait(5000) || p.hQuitEvent->IsSet()) break;
            p.hBusyEvent->Reset();
            ++r->runs;
            r->loggingWord = p.pSettings->loggingOn;
            p.hBusyEvent->Set();
            r->done.Set();
        }
        p.hFinishedEvent->Set();
    };
}

TEST_F(DocTest, PrepareAnalysisFillsTheBlock) {
    auto doc = NewDoc();
    ASSERT_TRUE(doc->PrepareAnalysis());
    const AnalysisThreadParams& p = doc->GetThreadParams();
    EXPECT_EQ(p.pSettings, doc->GetAnalysisSettings());
    EXPECT_EQ(p.pLineSourceInput, doc->GetLineSourceInput());
    EXPECT_EQ(p.pPrimaryInput, doc->GetPrimaryInput());
    EXPECT_EQ(p.pControlInput, doc->GetControlInput());
    for (int n = 0; n < 4; ++n) {
        EXPECT_EQ(p.pLoadNetworkInput[n], doc->GetLoadNetworkInput(n));
        EXPECT_EQ(p.pOutputChokeInput[n], doc->GetOutputChokeInput(n));
        EXPECT_EQ(p.pSecondaryRectifierInput[n], doc->GetSecondaryRectifierInput(n));
        EXPECT_EQ(p.pOutputFilterInput[n], doc->GetOutputFilterInput(n));
        EXPECT_EQ(p.pEquation[n], doc->GetAnalysisConfig()->GetEquation(n + 1));
        EXPECT_NE(p.pEquation[n], nullptr);
    }
    for (int i = 0; i < 10; ++i) EXPECT_EQ(p.pTable101[i], doc->GetTable101(i));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(p.pTable3[i], doc->GetTable3(i));
    for (int i = 0; i < 30; ++i) EXPECT_EQ(p.pTable[i], doc->GetTable(i));
    EXPECT_NE(p.hStartEvent, nullptr);
    EXPECT_TRUE(p.hBusyEvent->IsSet());
    EXPECT_FALSE(p.hQuitEvent->IsSet());
    EXPECT_FALSE(p.hFinishedEvent->IsSet());
}

TEST_F(DocTest, ARunFromStartToEnd) {
    std::string log = StartLog("run.log");
    auto doc = NewDoc();
    auto rec = std::make_shared<RunRecorder>();
    doc->SetAnalysisWorkerProc(SucceedingWorker(rec));

    // The logging word follows the logging state of each run.
    struct Step {
        BOOL appLogging;
        BOOL userSwitch;
        int32_t word;
    };
    const Step steps[] = {{FALSE, TRUE, 1}, {FALSE, FALSE, 0}, {TRUE, FALSE, 1}, {FALSE, FALSE, 0}};
    for (const Step& s : steps) {
        app.loggingOn = s.appLogging;
        doc->GetUSData()->SetDataLogging(s.userSwitch);
        ASSERT_TRUE(doc->PrepareAnalysis());
        EXPECT_EQ(doc->GetAnalysisSettings()->loggingOn, s.word);
        ASSERT_TRUE(doc->StartAnalysis());
        EXPECT_TRUE(doc->IsAnalysisRunning());
        EXPECT_EQ(doc->GetThreadParams().hNotifyWnd, 77);
        ASSERT_TRUE(rec->done.Wait(5000));
        EXPECT_EQ(rec->loggingWord, s.word);
        doc->EndAnalysis();
        EXPECT_FALSE(doc->IsAnalysisRunning());
        EXPECT_FALSE(doc->HasAnalysisWorker());
        EXPECT_EQ(doc->GetRunStatus(), 1);
    }
    EXPECT_EQ(rec->runs, 4);
    std::string text = ReadAll(log);
    size_t code = text.find("Doc:       CODE 300\r\n...VALUE 300,  VALUE 1\r\n");
    EXPECT_NE(code, std::string::npos) << text;
}

// The worker asks whether logging is on (every report does) while the user-interface thread
// starts and ends the run: the running flag behind that answer is shared by both threads.
TEST_F(DocTest, TheWorkerAsksForLoggingWhileTheRunIsEnded) {
    auto doc = NewDoc();
    doc->GetUSData()->SetDataLogging(TRUE);
    auto asked = std::make_shared<fw::Event>(false, false);
    auto answers = std::make_shared<std::atomic<int>>(0);
    doc->SetAnalysisWorkerProc([asked, answers](AnalysisThreadParams& p) {
        p.runStatus = 1;
        if (p.hStartEvent->Wait(5000)) {
            // Keeps asking until the stop: reports go on until the driver sees quit.
            auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(3);
            do {
                if (AppIsLoggingOn()) ++*answers;
                asked->Set();
            } while (!p.hQuitEvent->IsSet() && std::chrono::steady_clock::now() < limit);
        }
        p.hFinishedEvent->Set();
    });
    for (int run = 0; run < 3; ++run) {
        ASSERT_TRUE(doc->PrepareAnalysis());
        ASSERT_TRUE(doc->StartAnalysis());
        ASSERT_TRUE(asked->Wait(5000));
        if (run == 1) doc->EndAnalysis();
        else doc->StopAnalysis();
        EXPECT_FALSE(doc->IsAnalysisRunning());
        EXPECT_FALSE(AppIsLoggingOn()) << "the switch counts only while a run is live";
    }
    EXPECT_GT(answers->load(), 0);
}

TEST_F(DocTest, AFailedInitialValueCalculationRefusesOnlyItsOwnRun) {
    auto doc = NewDoc();
    auto rec = std::make_shared<RunRecorder>();
    doc->SetAnalysisWorkerProc(SucceedingWorker(rec));
    ASSERT_TRUE(doc->PrepareAnalysis());
    ASSERT_TRUE(doc->StartAnalysis());
    ASSERT_TRUE(rec->done.Wait(5000));
    doc->ClearInitValuesOk();  // as the analysis does when its initial values fail
    doc->EndAnalysis();
    EXPECT_FALSE(doc->GetInitValuesOk());
    ASSERT_TRUE(doc->PrepareAnalysis());
    EXPECT_TRUE(doc->GetInitValuesOk());
    ASSERT_TRUE(doc->StartAnalysis());
    ASSERT_TRUE(rec->done.Wait(5000));
    doc->EndAnalysis();
    EXPECT_EQ(rec->runs, 2);
}

TEST_F(DocTest, StartRebuildsTheGraphPageBeforeTheWorkerRuns) {
    struct PageMgr : CGraphMgrServices {
        void SetQuantityGraph(int32_t, int32_t) override {}
        void SetGraphSource(int32_t, int32_t) override {}
        void SetGraphQuantity(int32_t, int32_t) override {}
        void SetChoiceQuantity(int32_t, int32_t) override {}
        int32_t GetChoiceQuantity(int32_t) override { return 0; }
        void RebuildPage() override { rebuilt = runsAtRebuild ? runsAtRebuild->load() : -1; }
        int rebuilt = -2;
        const std::atomic<int>* runsAtRebuild = nullptr;
    } mgr;
    SetCurrentGraphMgr(&mgr);
    auto doc = NewDoc();
    auto rec = std::make_shared<RunRecorder>();
    mgr.runsAtRebuild = &rec->runs;
    doc->SetAnalysisWorkerProc(SucceedingWorker(rec));
    ASSERT_TRUE(doc->PrepareAnalysis());
    ASSERT_TRUE(doc->StartAnalysis());
    ASSERT_TRUE(rec->done.Wait(5000));
    doc->EndAnalysis();
    SetCurrentGraphMgr(nullptr);
    EXPECT_EQ(mgr.rebuilt, 0);
}

TEST_F(DocTest, NoSecondRunWhileOneIsLive) {
    auto doc = NewDoc();
    auto rec = std::make_shared<RunRecorder>();
    doc->SetAnalysisWorkerProc(SucceedingWorker(rec));
    ASSERT_TRUE(doc->PrepareAnalysis());
    ASSERT_TRUE(doc->StartAnalysis());
    EXPECT_FALSE(doc->PrepareAnalysis());
    EXPECT_FALSE(doc->StartAnalysis());
    doc->StopAnalysis();
    EXPECT_FALSE(doc->IsAnalysisRunning());
    EXPECT_FALSE(doc->HasAnalysisWorker());
    EXPECT_LE(rec->runs, 1);
}

TEST_F(DocTest, ClosingTheDocumentEndsALiveRun) {
    auto rec = std::make_shared<RunRecorder>();
    {
        auto doc = NewDoc();
        doc->SetAnalysisWorkerProc(SucceedingWorker(rec));
        ASSERT_TRUE(doc->PrepareAnalysis());
        ASSERT_TRUE(doc->StartAnalysis());
        ASSERT_TRUE(rec->done.Wait(5000));
    }
    EXPECT_EQ(rec->runs, 1);
}

}  // namespace
