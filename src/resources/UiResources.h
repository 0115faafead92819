// The program's user-interface resources other than strings: menus,
// accelerator tables, the toolbar with its pictures, the icons, and the
// status-line prompts of the commands that the string table leaves out.
// Pictures are rows of characters looked up in a palette.
#pragma once

#include <cstddef>
#include <cstdint>

namespace res {

struct MenuEntry {
    enum Kind : uint8_t { Item, Separator, Popup, EndPopup };
    Kind kind;
    uint32_t id;
    const char* text;
};
// The entries of a menu resource (popups open with Popup and close with
// EndPopup), or nullptr.
const MenuEntry* FindMenu(uint32_t id, size_t& count);

// Modifier bits: 1 Ctrl, 2 Shift, 4 Alt. Keys: 'A'..'Z', or 0x70 + n for F1 + n.
struct AccelEntry {
    uint32_t key;
    uint32_t modifiers;
    uint32_t command;
};
const AccelEntry* FindAccelerators(uint32_t id, size_t& count);

struct PaletteEntry {
    char key;
    uint32_t argb;
};

struct Picture {
    int width;
    int height;
    const char* const* rows;  // height rows of width characters
    const PaletteEntry* palette;
    int paletteCount;
};

// A toolbar: the entries (0 = separator) and its pictures, one per image
// index, all of the same size.
struct Toolbar {
    const uint32_t* ids;
    size_t idCount;
    const Picture* images;
    size_t imageCount;
};
const Toolbar* FindToolbar(uint32_t id);

// Icons by resource id (101 the program, 102 the design document).
const Picture* FindIcon(uint32_t id);

// The pictures of the resource pack installed beside the program, by id
// (the circuit pictures from 400 up); the build writes them into the pack.
struct PackPicture {
    uint32_t id;
    const Picture* picture;
};
const PackPicture* FindPackPictures(size_t& count);

// "prompt\ntip" of a command for the status line and the tool tip: the
// string table's entry when it has one, else our own.
const char* FindCommandPrompt(uint32_t id);

}  // namespace res
