#include <gtest/gtest.h>

#include <vector>

#include "schematics/HotSpot.h"
#include "schematics/SchemBase.h"

namespace {

struct ListCount {
    UINT id;
    int groups, rects, bytes;
};

// Group, rectangle and byte counts of every list the program carries.
const ListCount kCounts[] = {
    {800, 1, 2, 40},    {801, 2, 4, 76},    {802, 3, 6, 112},   {803, 3, 6, 112},   {804, 5, 10, 184},
    {805, 4, 8, 148},   {806, 5, 10, 184},  {807, 6, 12, 220},  {808, 7, 14, 256},  {810, 1, 2, 40},
    {811, 4, 8, 148},   {812, 2, 4, 76},    {813, 2, 4, 76},    {814, 2, 4, 76},    {820, 1, 2, 40},
    {821, 3, 6, 112},   {850, 2, 4, 76},    {860, 3, 5, 96},    {861, 4, 7, 132},   {822, 2, 4, 76},    {823, 6, 12, 220},  {830, 8, 13, 244},  {831, 7, 13, 240},
    {832, 6, 9, 172},   {833, 5, 11, 200},  {834, 6, 10, 188},  {835, 5, 10, 184},  {836, 7, 11, 208},
    {837, 6, 11, 204},  {838, 8, 14, 260},  {839, 7, 13, 240},  {870, 1, 2, 40},    {871, 3, 6, 112},
    {872, 8, 15, 276},  {873, 10, 19, 348}, {880, 2, 4, 76},    {881, 3, 6, 112},   {882, 4, 8, 148},
    {883, 4, 8, 148},   {884, 5, 10, 184},  {885, 6, 12, 220},  {890, 1, 2, 40},    {891, 2, 4, 76},
    {892, 1, 2, 40},    {893, 5, 10, 184},  {900, 9, 18, 328},  {901, 7, 14, 256},  {902, 6, 12, 220},
    {903, 5, 10, 184},  {904, 10, 20, 364}, {905, 8, 16, 292},  {906, 7, 14, 256},  {907, 6, 12, 220},
    {910, 6, 9, 172},   {911, 7, 10, 192},  {912, 7, 11, 208},  {913, 11, 18, 336}, {914, 10, 17, 316},
    {915, 11, 19, 352}, {920, 19, 37, 672}, {921, 14, 27, 492}, {922, 11, 21, 384}, {923, 17, 34, 616},
    {924, 18, 36, 652},
};

TEST(HotSpotLists, EveryListLoadsWhole) {
    for (const ListCount& c : kCounts) {
        SCOPED_TRACE(c.id);
        const HotSpotList* list = FindHotSpotList(c.id);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(static_cast<int>(EncodeHotSpotList(*list).size() * 2), c.bytes);
        CHotSpotRect records[kMaxHotSpots];
        int count = -1;
        CResourceWordReader reader(c.id);
        EXPECT_EQ(LoadHotSpots(reader, records, count), 0);
        EXPECT_EQ(count, c.rects);
        EXPECT_EQ(records[count - 1].GetGroup(), c.groups - 1);
        for (int i = 0; i < count; ++i) {
            const fw::Rect& r = records[i].GetRect();
            EXPECT_LT(r.left, r.right);
            EXPECT_LT(r.top, r.bottom);
        }
    }
}

// Words of a list: every value is (1, value); raw words are written as {0, w}.
std::vector<WORD> Words(std::initializer_list<int> values) {
    std::vector<WORD> w;
    for (int v : values) {
        if (v < 0) {
            w.push_back(static_cast<WORD>(-v));  // a bare word where a tag belongs
        } else {
            w.push_back(1);
            w.push_back(static_cast<WORD>(v));
        }
    }
    return w;
}

TEST(HotSpotLists, DamagedListsStopWithTheirCodeAndKeepWhatWasRead) {
    struct Case {
        const char* name;
        std::vector<WORD> words;
        int code;
        int count;
        std::vector<int> groups;
    };
    std::vector<WORD> cut = Words({2, 1, 10, 10, 20, 20, 1, 30, 30});  // second rectangle ends early
    std::vector<WORD> oddEnd = Words({1, 1, 10, 10, 20});
    oddEnd.push_back(1);  // a tag with no value after it
    const Case cases[] = {
        {"no group count", {}, kCodeNoGroupCount, 0, {}},
        {"group count 0", Words({0}), kCodeNoGroupCount, 0, {}},
        {"not a tag at the group count", Words({-7, 1}), kCodeNoGroupCount, 0, {}},
        {"list ends inside a rectangle", cut, kCodeRectangleCut, 1, {0}},
        {"tag without its value", oddEnd, kCodeRectangleCut, 0, {}},
        {"not a tag inside a rectangle", Words({1, 1, 10, -3, 20, 20}), kCodeRectangleCut, 0, {}},
        {"empty group keeps the numbers", Words({3, 0, 1, 0, 0, 5, 5, 1, 1, 6, 6, 7, 7}), 0, 2, {1, 2}},
        {"not a tag at a count skips the rest", Words({3, 1, 0, 0, 5, 5, -9, 1, 1, 1, 2, 2}), 0, 1, {0}},
        {"group count larger than the list", Words({4, 1, 0, 0, 5, 5}), 0, 1, {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CResourceWordReader reader(c.words.data(), c.words.size());
        CHotSpotRect records[kMaxHotSpots];
        int count = -1;
        EXPECT_EQ(LoadHotSpots(reader, records, count), c.code);
        ASSERT_EQ(count, c.count);
        for (int i = 0; i < count; ++i) EXPECT_EQ(records[i].GetGroup(), c.groups[i]);
    }
    CResourceWordReader missing(1234u);
    CHotSpotRect records[kMaxHotSpots];
    int count = -1;
    EXPECT_FALSE(missing.IsLoaded());
    EXPECT_EQ(LoadHotSpots(missing, records, count), kCodeListNotFound);
    EXPECT_EQ(count, 0);
}

TEST(HotSpotLists, MoreThanSixtyRectanglesKeepTheFirstSixty) {
    std::vector<int> values = {1, 61};
    for (int i = 0; i < 61; ++i) values.insert(values.end(), {i, 0, i + 1, 1});
    std::vector<WORD> w;
    for (int v : values) w.insert(w.end(), {1, static_cast<WORD>(v)});
    CResourceWordReader reader(w.data(), w.size());
    CHotSpotRect records[kMaxHotSpots];
    int count = 0;
    EXPECT_EQ(LoadHotSpots(reader, records, count), kCodeTooManyRects);
    EXPECT_EQ(count, kMaxHotSpots);
    EXPECT_EQ(records[59].GetRect().left, 59);
}

TEST(HotSpotLists, ReadWordLeavesThePositionOnANonTag) {
    std::vector<WORD> w = {7, 1, 5};
    CResourceWordReader reader(w.data(), w.size());
    WORD v = 0;
    EXPECT_FALSE(reader.ReadWord(v));
    EXPECT_EQ(reader.ReadRawWord(), 7);
    EXPECT_TRUE(reader.ReadWord(v));
    EXPECT_EQ(v, 5);
    EXPECT_FALSE(reader.ReadWord(v));
    EXPECT_EQ(reader.ReadRawWord(), 0);
}

TEST(HotSpotRect, HitTestTakesLeftAndTopButNotRightAndBottom) {
    CHotSpotRect r;
    EXPECT_FALSE(r.HitTest({0, 0}));  // empty record
    r.Set({10, 20, 30, 40}, 2);
    const struct {
        fw::Point p;
        bool in;
    } cases[] = {{{10, 20}, true}, {{29, 39}, true}, {{30, 25}, false}, {{15, 40}, false}, {{9, 25}, false}};
    for (const auto& c : cases) EXPECT_EQ(r.HitTest(c.p) != FALSE, c.in) << c.p.x << "," << c.p.y;
}

TEST(SchematicTitles, PrefixOnlyForAKindAndAnOutputInRange) {
    const struct {
        int kind, output;
        const char* title;
    } cases[] = {
        {0, 1, "T"},
        {1, 1, "Secondary  1: T"},
        {2, 3, "Output Choke 3: T"},
        {3, 4, "First Stage Output Filter 4: T"},
        {4, 2, "Second Stage Output Filter 2: T"},
        {5, 1, "Load Network 1: T"},
        {2, 0, "T"},
        {2, 5, "T"},
        {6, 1, "T"},
    };
    for (const auto& c : cases) EXPECT_EQ(SchematicTitle("T", c.kind, c.output), c.title) << c.kind << " " << c.output;
}

}  // namespace
