#include "schematics/HotSpot.h"

#include <map>

BOOL CHotSpotRect::HitTest(fw::Point p) const {
    if (group_ < 0) return FALSE;
    return (p.x >= rect_.left && p.x < rect_.right && p.y >= rect_.top && p.y < rect_.bottom) ? TRUE : FALSE;
}

namespace {

struct RectData {
    int l, t, r, b;
};
struct ListData {
    UINT id;
    std::vector<std::vector<RectData>> groups;
};

const std::vector<ListData>& ListTable() {
    static const std::vector<ListData> table = {
#include "schematics/HotSpotLists.inc"
        // The secondary rectifier and the output chokes: each part's symbol,
        // then its label strip; the sense amplifier has no label.
        {850, {{{150, 56, 186, 76}, {146, 80, 216, 90}}, {{254, 96, 276, 136}, {282, 111, 352, 121}}}},
        {860, {{{120, 56, 170, 76}, {116, 80, 186, 90}}, {{216, 56, 262, 76}, {212, 80, 292, 90}},
               {{226, 104, 266, 144}}}},
        {861, {{{90, 56, 140, 76}, {86, 80, 156, 90}}, {{186, 56, 236, 76}, {182, 80, 252, 90}},
               {{282, 56, 328, 76}, {278, 80, 358, 90}}, {{292, 104, 332, 144}}}},
    };
    return table;
}

struct Encoded {
    std::map<UINT, std::vector<WORD>> words;
};

const Encoded& EncodedLists() {
    static const Encoded encoded = [] {
        Encoded e;
        for (const HotSpotList& l : AllHotSpotLists()) e.words[l.id] = EncodeHotSpotList(l);
        return e;
    }();
    return encoded;
}

}  // namespace

const std::vector<HotSpotList>& AllHotSpotLists() {
    static const std::vector<HotSpotList> lists = [] {
        std::vector<HotSpotList> out;
        for (const ListData& d : ListTable()) {
            HotSpotList l{d.id, {}};
            for (const auto& g : d.groups) {
                std::vector<fw::Rect> rects;
                for (const RectData& r : g) rects.push_back(fw::Rect{r.l, r.t, r.r, r.b});
                l.groups.push_back(std::move(rects));
            }
            out.push_back(std::move(l));
        }
        return out;
    }();
    return lists;
}

const HotSpotList* FindHotSpotList(UINT listId) {
    for (const HotSpotList& l : AllHotSpotLists())
        if (l.id == listId) return &l;
    return nullptr;
}

std::vector<WORD> EncodeHotSpotList(const HotSpotList& list) {
    std::vector<WORD> w;
    auto put = [&w](int v) {
        w.push_back(1);
        w.push_back(static_cast<WORD>(v));
    };
    put(static_cast<int>(list.groups.size()));
    for (const auto& g : list.groups) {
        put(static_cast<int>(g.size()));
        for (const fw::Rect& r : g) {
            put(r.left);
            put(r.top);
            put(r.right);
            put(r.bottom);
        }
    }
    return w;
}

CResourceWordReader::CResourceWordReader(UINT listId) {
    const auto& lists = EncodedLists().words;
    auto it = lists.find(listId);
    if (it == lists.end()) return;
    words_ = it->second.data();
    count_ = it->second.size();
    loaded_ = true;
}

BOOL CResourceWordReader::ReadWord(WORD& value) {
    if (!loaded_ || pos_ + 2 > count_ || words_[pos_] != 1) return FALSE;
    value = words_[pos_ + 1];
    pos_ += 2;
    return TRUE;
}

WORD CResourceWordReader::ReadRawWord() {
    if (!loaded_ || pos_ >= count_) return 0;
    return words_[pos_++];
}

int LoadHotSpots(CResourceWordReader& reader, CHotSpotRect (&records)[kMaxHotSpots], int& count) {
    count = 0;
    if (!reader.IsLoaded()) return kCodeListNotFound;
    WORD groups = 0;
    if (!reader.ReadWord(groups) || groups == 0) return kCodeNoGroupCount;
    for (int g = 0; g < groups; ++g) {
        WORD rects = 0;
        if (!reader.ReadWord(rects) || rects == 0) continue;
        for (int r = 0; r < rects; ++r) {
            WORD v[4];
            for (WORD& x : v)
                if (!reader.ReadWord(x)) return kCodeRectangleCut;
            if (count >= kMaxHotSpots) return kCodeTooManyRects;
            records[count++].Set(fw::Rect{v[0], v[1], v[2], v[3]}, g);
        }
    }
    return 0;
}
