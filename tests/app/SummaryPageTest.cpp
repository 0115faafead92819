// The printed design summary: its lines, its date and time, and its layout
// on a 600 dpi page.
#include "AppFixture.h"
#include "app/SummaryPage.h"
#include "circuit/Doc.h"
#include "app/View.h"

namespace {

std::tm At(int year, int month, int day, int wday, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_wday = wday;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

TEST(SummaryPage, DateAndTimeTexts) {
    EXPECT_EQ(SummaryDateText(At(2025, 12, 10, 3, 19, 5, 7)), "Wednesday, December 10, 2025");
    EXPECT_EQ(SummaryDateText(At(2002, 9, 1, 0, 0, 0, 0)), "Sunday, September 01, 2002");
    // The hour stays on the 24-hour clock beside its AM or PM.
    EXPECT_EQ(SummaryTimeText(At(2025, 12, 10, 3, 19, 5, 7)), "19:05:07 PM");
    EXPECT_EQ(SummaryTimeText(At(2025, 12, 10, 3, 0, 0, 0)), "00:00:00 AM");
    EXPECT_EQ(SummaryTimeText(At(2025, 12, 10, 3, 12, 0, 0)), "12:00:00 PM");
    EXPECT_EQ(SummaryHeaderText("/d/Buck.SEF", At(2025, 12, 10, 3, 9, 30, 0)),
              "File Name:  /d/Buck.SEF\r\nDate:  Wednesday, December 10, 2025\r\nTime:  09:30:00 AM");
}

TEST(SummaryPage, ANewDesignPrintsTheNoneForms) {
    fw::RecordingSink sink;
    fw::ScopedReportSink scoped(&sink);
    CPwrQuorraDoc doc;
    doc.OnNewDocument();
    EXPECT_EQ(SummaryBodyLines(doc), (std::vector<std::string>{
                                         "Type:  Single Ended Forward",
                                         "Line Source:  none",
                                         "Line Filter:  none",
                                         "Line Rectifier:  none",
                                         "Input Capacitor:  none",
                                         "Primary Section:  none",
                                         "Secondary Section 1:  none",
                                         "Output Choke 1:  none",
                                         "First Stage Output Filter 1:  none",
                                         "Second Stage Output Filter 1:  none",
                                         "Load Network 1:  none",
                                         "Voltage Error Amplifier:  none",
                                         "Opto-Isolator:  None",  // a new design's variant
                                         "Control Section:  none",
                                     }));
}

TEST(SummaryPage, ChosenVariantsAndEnabledOutputs) {
    fw::RecordingSink sink;
    fw::ScopedReportSink scoped(&sink);
    CPwrQuorraDoc doc;
    doc.OnNewDocument();
    doc.GetRequirements()->GetOutput(1)->SetEnabled(TRUE);
    doc.GetLineFilter()->SetLineSourceType(3);
    doc.GetLineFilter()->SetTopology(2);
    doc.GetLineRectifier()->SetTopology(5);
    doc.GetInputCapacitor()->SetTopology(1);
    doc.GetPrimarySection()->SetTopology(9);
    doc.GetSecondarySection1()->SetTopology(0);
    doc.GetOutputChoke2()->SetTopology(1);
    doc.Get1StgOutputFilter1()->SetTopology(3);
    doc.Get2StgOutputFilter2()->SetTopology(6);
    doc.GetLoadNetwork1()->SetTopology(9);  // no such variant: the caption alone
    doc.GetLoadNetwork3()->SetTopology(0);  // output 3 is not enabled
    doc.GetVoltageErrorAmp()->SetTopology(7);
    doc.GetOptoIsolator()->SetTopology(5);
    doc.GetControlSection()->SetTopology(4);
    EXPECT_EQ(SummaryBodyLines(doc),
              (std::vector<std::string>{
                  "Type:  Single Ended Forward",
                  "Line Source:  3 Phase AC",
                  "Line Filter:  1 Stage with Damping Resistor and Choke",
                  "Line Rectifier:  Multi-Phase Doubler",
                  "Input Capacitor:  Single Capacitor with Damping",
                  "Primary Section:  Passive Clamp with Current Sense Resistor",
                  "Secondary Section 1:  Double Rectifier Half Wave",
                  "Secondary Section 2:  none",
                  "Output Choke 1:  none",
                  "Output Choke 2:  Output Choke with Skim Inductor",
                  "First Stage Output Filter 1:  Capacitor with Damping and Current Sensing",
                  "First Stage Output Filter 2:  none",
                  "Second Stage Output Filter 1:  none",
                  "Second Stage Output Filter 2:  LC with Ind. Damping, Damping Ind., Cap. Damping",
                  "Load Network 1:  ",
                  "Load Network 2:  none",
                  "Voltage Error Amplifier:  Single Pole with DC Feedback",
                  "Opto-Isolator:  Voltage Drive Transmitter, Follower Receiver with Op Amp Inverter and Compensation Pole",
                  "Control Section:  Average Current",
              }));
    const std::pair<WORD, const char*> sources[] = {
        {0, "Line Source:  DC"}, {1, "Line Source:  1 Phase AC"}, {2, "Line Source:  2 Phase AC"},
        {4, "Line Source:  none"}, {999, "Line Source:  none"}};
    for (const auto& [type, line] : sources) {
        doc.GetLineFilter()->SetLineSourceType(type);
        EXPECT_EQ(SummaryBodyLines(doc)[1], line) << type;
    }
}

// The page through File > Print Summary, on a recording 600 dpi page.
class SummaryPrintTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        ASSERT_TRUE(Start(""));
        Frame().UpdateCommandUI();
    }
    std::vector<std::string> Ops(const std::string& prefix) { return ui_.printing.lastPage->OpsStartingWith(prefix); }
};

TEST_F(SummaryPrintTest, GeometryAt600Dpi) {
    EXPECT_TRUE(Frame().OnUserCommand(fw::ID_FILE_PRINT));
    ASSERT_EQ(ui_.printing.jobs, std::vector<std::string>{"print Morvane1"});
    ASSERT_NE(ui_.printing.lastPage, nullptr);
    EXPECT_TRUE(ui_.printing.lastInfo.noPageNumbers);
    EXPECT_TRUE(ui_.printing.lastInfo.hidePrintToFile);
    // Half-inch margins (300), an 8-unit pen, a font of 600 / 7 = 85 units
    // (its lines 85 + 10 leading on this canvas) and a 1/32 inch step of 18.
    std::vector<std::string> lines = Ops("line ");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "line 300,300-4800,300 w8");
    std::vector<std::string> texts = Ops("text ");
    ASSERT_EQ(texts.size(), 3u + 14u);
    EXPECT_EQ(texts[0], "text 300,318 File Name:  ");
    EXPECT_EQ(texts[1].substr(0, 20), "text 300,413 Date:  ");
    EXPECT_EQ(texts[2].substr(0, 20), "text 300,508 Time:  ");
    // Second rule: text top 318 + step 18 + header 3 x 95.
    EXPECT_EQ(lines[1], "line 300,621-4800,621 w8");
    // Body: three steps below the rule, then step + line height apart.
    EXPECT_EQ(texts[3], "text 300,675 Type:  Single Ended Forward");
    EXPECT_EQ(texts[4], "text 300,788 Line Source:  none");
    EXPECT_EQ(texts[16], "text 300,2144 Control Section:  none");
    // Every block is clipped to the drawing rectangle.
    EXPECT_EQ(Ops("clip ")[0], "clip 300,318-4800,6300");
}

TEST_F(SummaryPrintTest, MarginsFollowEachAxis) {
    ui_.printing.ppiX = 300;
    ui_.printing.pageSize = {2550, 6600};
    EXPECT_TRUE(Frame().OnUserCommand(fw::ID_FILE_PRINT));
    EXPECT_EQ(Ops("line ")[0], "line 150,300-2400,300 w8");
}

TEST_F(SummaryPrintTest, ALongPathWrapsAndMovesTheRuleDown) {
    std::string path = "/designs";
    while (path.size() < 400) path += "/a rather long folder name";
    app_.GetDocument()->SetPathName(path + "/Buck.SEF");
    EXPECT_TRUE(Frame().OnUserCommand(fw::ID_FILE_PRINT));
    std::vector<std::string> lines = Ops("line ");
    ASSERT_EQ(lines.size(), 2u);
    int headerLines = static_cast<int>(Ops("text ").size()) - 14;
    EXPECT_GT(headerLines, 3);
    EXPECT_EQ(lines[1], "line 300," + std::to_string(318 + 18 + headerLines * 95) + "-4800," +
                            std::to_string(318 + 18 + headerLines * 95) + " w8");
}

TEST_F(SummaryPrintTest, ATallFontIsCutOffAtThePageBottom) {
    ui_.printing.pageSize = {5100, 2000};
    EXPECT_TRUE(Frame().OnUserCommand(fw::ID_FILE_PRINT));
    for (const std::string& t : Ops("text ")) {
        int y = std::stoi(t.substr(t.find(',') + 1));
        EXPECT_LT(y, 2000 - 300) << t;
    }
    EXPECT_LT(Ops("text ").size(), 17u);
}

TEST_F(SummaryPrintTest, TheJobIsNamedWithoutTheUnsavedMark) {
    // A printer-file dialog offers the job's name as the file name.
    app_.GetDocument()->SetTitle("Buck.SEF*");
    EXPECT_TRUE(Frame().OnUserCommand(fw::ID_FILE_PRINT));
    EXPECT_TRUE(Frame().OnUserCommand(fw::ID_FILE_PRINT_PREVIEW));
    EXPECT_EQ(ui_.printing.jobs, (std::vector<std::string>{"print Buck.SEF", "preview Buck.SEF"}));
}

// A picture dialog's Print goes to the circuit picture page; the next
// printout or preview is the summary again.
TEST_F(SummaryPrintTest, PicturePrintoutThenTheSummaryAgain) {
    struct PagePrinter : CCircuitPagePrinter {
        void PrintHeader(fw::Canvas&, fw::Rect& area, const CPwrQuorraView& view) override {
            calls.push_back("header " + std::to_string(area.left) + "," + std::to_string(area.top) + "-" +
                            std::to_string(area.right) + "," + std::to_string(area.bottom) + " bitmap " +
                            std::to_string(view.GetPrintBitmapId()) + " title " +
                            std::to_string(view.GetPrintTitleId()) + " output " +
                            std::to_string(view.GetPrintOutput()));
            area.top += 400;  // the header's height
        }
        void PrintPicture(fw::Canvas&, const fw::Rect& area, const CPwrQuorraView&) override {
            calls.push_back("picture top " + std::to_string(area.top));
        }
        std::vector<std::string> calls;
    } pages;
    CPwrQuorraView::SetCircuitPagePrinter(&pages);
    CPwrQuorraView* view = GetActivePwrQuorraView();
    ASSERT_NE(view, nullptr);
    view->PrintItem(420, 51601, 2);
    CPwrQuorraView::SetCircuitPagePrinter(nullptr);
    // The header inside the half-inch margins, the picture a further half
    // inch below it.
    EXPECT_EQ(pages.calls, (std::vector<std::string>{"header 300,300-4800,6300 bitmap 420 title 51601 output 2",
                                                     "picture top 1000"}));
    EXPECT_TRUE(Ops("text ").empty());
    EXPECT_EQ(view->GetPrintBitmapId(), CPwrQuorraView::kPrintSummary);

    EXPECT_TRUE(Frame().OnUserCommand(fw::ID_FILE_PRINT_PREVIEW));
    EXPECT_EQ(Ops("text ").at(3).substr(13), "Type:  Single Ended Forward");

    // Without the picture page's module a picture printout stays empty.
    view->PrintItem(420, 51601, 2);
    EXPECT_TRUE(Ops("text ").empty());
    EXPECT_TRUE(Ops("line ").empty());
}

TEST_F(SummaryPrintTest, PreviewAndAvailability) {
    EXPECT_TRUE(Frame().OnUserCommand(fw::ID_FILE_PRINT_PREVIEW));
    EXPECT_EQ(ui_.printing.jobs, std::vector<std::string>{"preview Morvane1"});
    EXPECT_EQ(Ops("text ")[3].substr(13), "Type:  Single Ended Forward");
    // A cancelled print dialog prints nothing.
    ui_.printing.printAnswer = false;
    ui_.printing.lastPage.reset();
    EXPECT_TRUE(Frame().OnUserCommand(fw::ID_FILE_PRINT));
    EXPECT_EQ(ui_.printing.lastPage, nullptr);
    // No design, or a run in progress: unavailable.
    doc_.running = TRUE;
    Frame().UpdateCommandUI();
    EXPECT_FALSE(Frame().OnUserCommand(fw::ID_FILE_PRINT));
    doc_.running = FALSE;
    ASSERT_TRUE(app_.CloseCurrentDocument());
    EXPECT_EQ(GetActivePwrQuorraView(), nullptr);
    Frame().UpdateCommandUI();
    EXPECT_FALSE(Frame().OnUserCommand(fw::ID_FILE_PRINT_PREVIEW));
}

}  // namespace
