#include <gtest/gtest.h>

#include "platform/ui/Canvas.h"

namespace {

// The recording canvas measures a character as half the font height: with a
// 20-unit font, 10 units a character.
TEST(CanvasText, WordBreakWrapsAtBlanksAndCutsLongWords) {
    fw::RecordingCanvas dc;
    dc.SelectFont(fw::Font{"Arial", 20});
    fw::Rect rc{0, 0, 100, 500};  // 10 characters a line
    int h = dc.DrawText("one two three four\r\nfive/abcdefghijklmno", rc, fw::DT_WORDBREAK | fw::DT_NOPREFIX);
    EXPECT_EQ(dc.OpsStartingWith("text"),
              (std::vector<std::string>{"text 0,0 one two", "text 0,20 three four", "text 0,40 five/abcde",
                                        "text 0,60 fghijklmno"}));
    EXPECT_EQ(h, 80);
}

TEST(CanvasText, CalcRectMeasuresWithoutDrawing) {
    fw::RecordingCanvas dc;
    dc.SelectFont(fw::Font{"Arial", 20});
    fw::Rect rc{10, 10, 110, 10};
    int h = dc.DrawText("one two three", rc, fw::DT_WORDBREAK | fw::DT_CALCRECT | fw::DT_EXTERNALLEADING);
    EXPECT_TRUE(dc.OpsStartingWith("text").empty());
    // External leading 20 / 8 = 2 per line.
    EXPECT_EQ(h, 44);
    EXPECT_EQ(rc.bottom, 54);
}

TEST(CanvasText, PrefixesAndAlignment) {
    fw::RecordingCanvas dc;
    dc.SelectFont(fw::Font{"Arial", 20});
    fw::Rect rc{0, 0, 100, 20};
    dc.DrawText("&Open", rc, fw::DT_SINGLELINE | fw::DT_CENTER);
    dc.SetTextAlign(fw::TA_RIGHT);
    dc.TextOut(100, 50, "abc");
    EXPECT_EQ(dc.OpsStartingWith("text"), (std::vector<std::string>{"text 30,0 Open", "text 70,50 abc"}));
}

TEST(CanvasState, SaveAndRestore) {
    fw::RecordingCanvas dc;
    int saved = dc.SaveDC();
    dc.SelectPen(fw::Pen{fw::Pen::Solid, 8, fw::colors::Black});
    dc.SelectFont(fw::Font{"Arial", 85});
    EXPECT_TRUE(dc.RestoreDC(saved));
    EXPECT_EQ(dc.GetPen().width, 1);
    EXPECT_EQ(dc.GetFont().height, 0);
    EXPECT_FALSE(dc.RestoreDC(saved));
    dc.MoveTo(1, 2);
    dc.LineTo(30, 2);
    EXPECT_EQ(dc.ops.back(), "line 1,2-30,2 w1");
}

TEST(Images, ScaleCopyAndBlend) {
    fw::Image img(4, 2, 0xFF000000u);
    img.SetPixel(3, 1, 0xFFFF0000u);
    fw::Image big = img.Scaled({0, 0, 4, 2}, 8, 4);
    EXPECT_EQ(big.Pixel(7, 3), 0xFFFF0000u);
    EXPECT_EQ(big.Pixel(5, 1), 0xFF000000u);
    fw::Image top(2, 1, 0x00000000u);
    top.SetPixel(1, 0, 0xFF00FF00u);
    img.Blend(top, 2, 1);
    EXPECT_EQ(img.Pixel(2, 1), 0xFF000000u);  // transparent leaves what was there
    EXPECT_EQ(img.Pixel(3, 1), 0xFF00FF00u);
}

}  // namespace
