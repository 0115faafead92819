// The hot-spot lists of the section pictures: where the parts lie in each
// picture, as groups of rectangles in the picture dialog's client pixels.
// A list is stored as words, every value a pair (tag 1, value): the group
// count, then per group its rectangle count and rectangles. The reader is
// bounded by the list's size, so a list that announces more than it holds
// ends as a missing value instead of reading past its end.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/core/Types.h"
#include "platform/ui/Geometry.h"

class CHotSpotRect {
public:
    virtual ~CHotSpotRect() = default;
    // Left and top inclusive, right and bottom exclusive; never for an empty record.
    BOOL HitTest(fw::Point p) const;
    void Set(const fw::Rect& rect, int group) {
        rect_ = rect;
        group_ = group;
    }
    int GetGroup() const { return group_; }
    const fw::Rect& GetRect() const { return rect_; }

private:
    fw::Rect rect_;
    int group_ = -1;
};

class CResourceWordReader {
public:
    // A list of the program's resources; not loaded when there is none.
    explicit CResourceWordReader(UINT listId);
    // Words held elsewhere (not copied).
    CResourceWordReader(const WORD* words, size_t count) : words_(words), count_(words ? count : 0), loaded_(true) {}

    // TRUE and the value when the next words are the tag 1 and a value;
    // FALSE otherwise, the position left on the word that was not a tag.
    BOOL ReadWord(WORD& value);
    // The next word, advancing; 0 past the end.
    WORD ReadRawWord();
    BOOL IsLoaded() const { return loaded_ ? TRUE : FALSE; }

private:
    const WORD* words_ = nullptr;
    size_t count_ = 0;
    size_t pos_ = 0;
    bool loaded_ = false;
};

constexpr int kMaxHotSpots = 60;

// Internal codes of loading a list (module BaseDlg).
constexpr int kCodeListNotFound = 1623;
constexpr int kCodeRectangleCut = 1624;
constexpr int kCodeTooManyRects = 1625;
constexpr int kCodeNoGroupCount = 1626;

// Fills records from the reader in list order; count gets the number
// loaded. 0 when the whole list was read, else the code of the stop (the
// records loaded before it stay).
int LoadHotSpots(CResourceWordReader& reader, CHotSpotRect (&records)[kMaxHotSpots], int& count);

// One list as groups of rectangles.
struct HotSpotList {
    UINT id;
    std::vector<std::vector<fw::Rect>> groups;
};

// nullptr when the program has no list of the id.
const HotSpotList* FindHotSpotList(UINT listId);
const std::vector<HotSpotList>& AllHotSpotLists();
// The stored form of a list.
std::vector<WORD> EncodeHotSpotList(const HotSpotList& list);
