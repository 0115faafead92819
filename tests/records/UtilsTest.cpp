#include <gtest/gtest.h>

#include <cfenv>
#include <cstdio>
#include <fstream>
#include <regex>
#include <thread>
#include <vector>

#include "platform/core/Archive.h"
#include "platform/core/ReportSink.h"
#include "records/KXObject.h"
#include "records/Record.h"
#include "records/Utils.h"
#include "resources/StringTable.h"
#include "support/ArchiveBytes.h"
#include "support/CommaLocale.h"
#include "support/ReportCapture.h"

namespace {


// Logging can be switched off per test.
class Reporting : public test_support::ReportCaptureTest {
protected:
    void SetUp() override {
        ReportCaptureTest::SetUp();
        ResetFirstMessageFlag();
        SetLoggingQuery([this] { return loggingOn_; });
    }

    bool loggingOn_ = true;
};

}  // namespace

TEST_F(Reporting, InternalCodeIsLoggedNotShown) {
    ReportMessage1(56036, 301, FALSE);
    EXPECT_TRUE(sink_.boxes.empty());
    std::string log = Log();
    // A time line, then the text with its CR LF.
    size_t firstLine = log.find("\r\n");
    ASSERT_NE(firstLine, std::string::npos);
    EXPECT_EQ(log.substr(firstLine + 2), "Doc:       CODE 301\r\n");
}

TEST_F(Reporting, FirstLoggedReportTruncatesThenAppends) {
    {
        std::ofstream old(logPath_, std::ios::binary);
        old << "old contents";
    }
    ReportMessage(52080, FALSE);
    ReportMessage(52081, FALSE);
    std::string log = Log();
    EXPECT_EQ(log.find("old contents"), std::string::npos);
    std::string expectedTail = std::string(res::FindString(52080)) + "\r\n" + res::FindString(52081) + "\r\n";
    ASSERT_GE(log.size(), expectedTail.size());
    EXPECT_EQ(log.substr(log.size() - expectedTail.size()), expectedTail);
    // Exactly one time line.
    EXPECT_EQ(log.find(" \r\n"), log.find("\r\n") - 1);
}

// Reports from the worker and the user-interface thread at once: one of
// them starts the log, nothing is lost, no line is torn.
TEST_F(Reporting, ConcurrentReportsStartTheLogOnce) {
    constexpr int kEach = 200;
    auto report = [](int code) {
        for (int i = 0; i < kEach; ++i) ReportMessage1(56036, code, FALSE);
    };
    std::thread worker(report, 301);
    report(302);
    worker.join();
    const std::string log = Log();
    const std::string body = test_support::AfterTimeLine(log);
    EXPECT_EQ(test_support::CountOf(body, "Doc:       CODE 301\r\n"), kEach);
    EXPECT_EQ(test_support::CountOf(body, "Doc:       CODE 302\r\n"), kEach);
    EXPECT_EQ(body.size(), size_t(2 * kEach) * std::string("Doc:       CODE 301\r\n").size());
    EXPECT_EQ(test_support::CountOf(log, " \r\n"), 1);
}

// A log that cannot be written loses that report only; the next report
// starts the log as the first one would have.
TEST_F(Reporting, UnwritableLogLosesOneReportAndTriesAgain) {
    SetLogPath(::testing::TempDir() + "no_such_folder/PwrQuorra.log");
    ReportMessage1(56036, 300, FALSE);
    SetLogPath(logPath_);
    ReportMessage1(56036, 301, FALSE);
    const std::string log = Log();
    EXPECT_EQ(test_support::AfterTimeLine(log), "Doc:       CODE 301\r\n");
    EXPECT_EQ(test_support::CountOf(log, " \r\n"), 1);
}

// The time line is the date and time in English, whatever locale the
// toolkit adopted: "Wed Dec 10 13:07:00 2025 ".
TEST_F(Reporting, TimeLineIsEnglish) {
    const bool comma = test_support::UseCommaLocale();
    ReportMessage1(56036, 301, FALSE);
    test_support::RestoreCLocale();
    const std::string log = Log();
    const std::string line = log.substr(0, log.find("\r\n") + 2);
    EXPECT_TRUE(std::regex_match(line, std::regex("[A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9][0-9] "
                                                  "[0-9]{2}:[0-9]{2}:[0-9]{2} [0-9]{4} \r\n")))
        << line << (comma ? " (decimal-comma locale)" : " (C locale only)");
}

TEST_F(Reporting, LoggingOffNeverTouchesTheFile) {
    loggingOn_ = false;
    ReportMessage(52080, TRUE);
    ReportMessage1(56036, 300, FALSE);
    EXPECT_EQ(sink_.boxes.size(), 1u);
    std::ifstream f(logPath_);
    EXPECT_FALSE(f.good());
}

// An id without text is a fault of the program: shown and logged even where the caller asked
// for the log only, with the id, never dropped.
TEST_F(Reporting, MissingIdIsALoudInternalError) {
    ReportMessage1(9999, 7, FALSE);
    ASSERT_EQ(sink_.boxes.size(), 1u);
    EXPECT_EQ(sink_.boxes[0], "Utils:     CODE 10002\n...VALUE 9999,  VALUE 7");
    EXPECT_NE(Log().find("...VALUE 9999,  VALUE 7\r\n"), std::string::npos);
}

TEST_F(Reporting, UnrecoverableErrorPostsStop) {
    ReportMessage(52148, FALSE);
    ASSERT_EQ(sink_.posts.size(), 1u);
    EXPECT_EQ(sink_.posts[0].message, 0x8004u);
    EXPECT_TRUE(sink_.boxes.empty());
}

TEST_F(Reporting, FirstBoxVariantsShowOneBoxPerReset) {
    ReportMessageFirstBox(52080);
    ReportMessage1FirstBox(56036, 1);
    ReportMessage2FirstBox(56083, 1, 2);
    EXPECT_EQ(sink_.boxes.size(), 1u);
    ResetFirstMessageFlag();
    ReportMessage2FirstBox(56083, 7, 8);
    ASSERT_EQ(sink_.boxes.size(), 2u);
    EXPECT_EQ(sink_.boxes[1], "...VALUE 7,  VALUE 8");
}

TEST_F(Reporting, FileWarningsShareOneFlagPerLoad) {
    WarnFileVersion();
    WarnFileCorrupted();
    WarnFileCorrupted();
    WarnOlderFileVersion();
    WarnOlderFileVersion();
    ASSERT_EQ(sink_.boxes.size(), 2u);
    EXPECT_EQ(sink_.boxes[0], res::FindString(52081));
    EXPECT_EQ(sink_.boxes[1], res::FindString(54035));
    ResetFileWarnings();
    WarnFileCorrupted();
    EXPECT_EQ(sink_.boxes.back(), res::FindString(52080));
}

TEST_F(Reporting, FloatingPointStatusPrecedence) {
    struct Case {
        int raise;
        BOOL reported;
        UINT id;
    };
    const Case cases[] = {
        {0, FALSE, 0},
        {FE_INEXACT, FALSE, 0},
        {FE_DIVBYZERO | FE_OVERFLOW, TRUE, 52168},
        {FE_OVERFLOW | FE_UNDERFLOW, TRUE, 52125},
        {FE_UNDERFLOW | FE_INVALID, TRUE, 52146},
        {FE_INVALID | FE_INEXACT, TRUE, 52086},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        std::remove(logPath_.c_str());
        ResetLogStarted();
        std::feclearexcept(FE_ALL_EXCEPT);
        if (c.raise) std::feraiseexcept(c.raise);
        EXPECT_EQ(CheckFloatingPointStatus(), c.reported);
        EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT), 0);
        std::string log = Log();
        if (c.id) {
            std::string text = std::string(res::FindString(c.id)) + "\r\n";
            EXPECT_EQ(log.substr(log.size() - text.size()), text);
            EXPECT_EQ(log.find("ErrorOccurred"), log.rfind("ErrorOccurred"));
        } else {
            EXPECT_TRUE(log.empty());
        }
    }
    EXPECT_TRUE(sink_.boxes.empty());
}

// Records read one after the other in one load: a damaged tag or an unknown
// schema restores the record's defaults and logs its own code, and the load
// shows one box, the first failure's.
TEST_F(Reporting, RecordHeadersShareOneWarningPerLoad) {
    struct Header {
        const char* tag;
        uint16_t schema;
    };
    struct Case {
        const char* what;
        std::vector<Header> headers;
        std::vector<int> results;  // schema read, or -1
        const char* box;           // nullptr: none
        std::vector<int> codes;    // logged in this order
    };
    const Case cases[] = {
        {"sound", {{"<R_DATA>", 0}, {"<R_DATA>", 0}}, {0, 0}, nullptr, {}},
        {"two wrong tags", {{"<X_DATA>", 0}, {"<Y_DATA>", 0}}, {-1, -1}, "52080", {7000, 7000}},
        {"wrong schema, then wrong tag", {{"<R_DATA>", 3}, {"<X_DATA>", 0}}, {-1, -1}, "52081", {7001, 7000}},
        {"known older schema", {{"<R_DATA>", 0}, {"<R_DATA>", 1}}, {0, 1}, nullptr, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResetFileWarnings();
        sink_.Clear();
        std::remove(logPath_.c_str());
        ResetLogStarted();
        fw::Archive out;
        for (const Header& h : c.headers) WriteRecordHeader(out, h.tag, h.schema);
        fw::Archive in(out.Bytes());
        for (size_t i = 0; i < c.headers.size(); ++i) {
            std::string tag = "stale";
            int defaults = 0;
            int got = ReadRecordHeader(in, tag, "<R_DATA>", 56036, 7000, [&] { ++defaults; tag = "<R_DATA>"; }, {1, 0});
            EXPECT_EQ(got, c.results[i]);
            EXPECT_EQ(defaults, got < 0 ? 1 : 0);
            EXPECT_EQ(tag, "<R_DATA>");
        }
        if (c.box) {
            ASSERT_EQ(sink_.boxes.size(), 1u);
            EXPECT_EQ(sink_.boxes[0], res::FindString(UINT(std::stoi(c.box))));
        } else {
            EXPECT_TRUE(sink_.boxes.empty());
        }
        // The warning is logged too, before the code of the record that raised it.
        std::string expected = c.box ? std::string(res::FindString(UINT(std::stoi(c.box)))) + "\r\n" : "";
        for (int code : c.codes) expected += "Doc:       CODE " + std::to_string(code) + "\r\n";
        EXPECT_EQ(test_support::AfterTimeLine(Log()), expected);
    }
    // The next load warns again.
    ResetFileWarnings();
    sink_.Clear();
    fw::Archive again(test_support::Store(CPwrQuorraObject()));
    std::string tag;
    EXPECT_EQ(ReadRecordHeader(again, tag, "<R_DATA>", 56036, 7000, [] {}), -1);
    EXPECT_EQ(sink_.boxes.size(), 1u);
}

TEST(Utils, InterpolateLogXAndCompareDoubles) {
    EXPECT_NEAR(InterpolateLogX(10, 100, 1000, 0, 2), 1.0, 1e-12);
    EXPECT_NEAR(InterpolateLogX(1, 1, 10, 5, 9), 5.0, 1e-12);
    double a = 1, b = 2;
    EXPECT_EQ(CompareDoubles(&a, &b), -1);
    EXPECT_EQ(CompareDoubles(&b, &a), 1);
    EXPECT_EQ(CompareDoubles(&a, &a), 0);
}

TEST(Signature, StoresLoadsAndResetsADamagedSignature) {
    fw::RecordingSink sink;
    fw::ScopedReportSink scoped(&sink);
    ResetFileWarnings();
    CPwrQuorraObject sig;
    fw::Archive ar;
    sig.Serialize(ar);
    std::vector<uint8_t> expected = {19};
    std::string s = "Halverd-PowerQuorra";
    expected.insert(expected.end(), s.begin(), s.end());
    expected.push_back(0);
    expected.push_back(0);
    EXPECT_EQ(ar.Bytes(), expected);

    struct Case {
        std::vector<uint8_t> bytes;
        const char* box;
    };
    std::vector<uint8_t> wrongName = expected;
    wrongName[1] = 'X';
    std::vector<uint8_t> wrongSchema = expected;
    wrongSchema.back() = 1;
    const Case cases[] = {{expected, nullptr}, {wrongName, "52080"}, {wrongSchema, "52081"}};
    for (const Case& c : cases) {
        sink.Clear();
        ResetFileWarnings();
        fw::Archive in(c.bytes);
        CPwrQuorraObject loaded;
        loaded.Serialize(in);
        EXPECT_EQ(loaded.GetSignature(), "Halverd-PowerQuorra");
        if (c.box) {
            ASSERT_EQ(sink.boxes.size(), 1u);
            EXPECT_EQ(sink.boxes[0], res::FindString(UINT(std::stoi(c.box))));
        } else {
            EXPECT_TRUE(sink.boxes.empty());
        }
    }
}
