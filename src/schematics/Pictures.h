// The section pictures. They are drawn from their descriptions (symbols in
// the hot-spot rectangles of the picture's list, wires and ground); this one
// function is where the program's pictures come from.
#pragma once

#include <vector>

#include "platform/core/Types.h"
#include "platform/ui/Image.h"
#include "schematics/SchemDlg.h"

// False (and a null image) when the program has no picture of the id.
bool LoadSectionPicture(UINT pictureId, fw::Image& out);

// What a picture is made of, in picture pixels (client pixels less the
// picture's margin).
struct PlacedSymbol {
    Symbol symbol;
    fw::Rect box;    // the symbol is drawn inside it
    int group;
};
struct PictureDescription {
    int width = 0;
    int height = 0;
    std::vector<PlacedSymbol> symbols;
    std::vector<fw::Rect> strips;  // where labels are painted: kept clear
    std::vector<std::vector<fw::Point>> wires;
    std::vector<int> wireNets;  // the net of each wire, numbered in the picture's connections
    // Where a wire across bridges a wire of another net, and how far its
    // gap may reach either way (the wire's own ends).
    struct Hop {
        fw::Point at;
        int left, right;
    };
    std::vector<Hop> hops;
    std::vector<fw::Point> grounds;
    std::vector<fw::Point> junctions;
    std::vector<fw::Point> marks;  // the section's terminals, open circles
    // Wired from the picture's own connections (a picture without them has
    // no wires), and the terminals that wiring could not reach: none in a
    // finished picture.
    bool connected = false;
    int unrouted = 0;
    // Each net's part terminals as the connections name them (wireNets
    // numbers them), and whether it is tied to ground.
    struct Net {
        std::vector<fw::Point> terminals;
        bool ground = false;
    };
    std::vector<Net> nets;
};
bool DescribePicture(UINT pictureId, PictureDescription& out);
// Every picture id the program has.
std::vector<UINT> AllPictureIds();
