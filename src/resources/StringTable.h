#pragma once
#include <cstdint>

// The program's string table: user messages, module names for internal
// error codes, section labels and the frame's fixed strings. Texts are 8-bit
// Windows-1252 and may hold "\n" line breaks and "%1"/"%2" placeholders.
namespace res {

struct StringEntry { uint32_t id; const char* text; };

// The text of a string-table entry, or nullptr when the id has no entry.
const char* FindString(uint32_t id);

// All entries in ascending id order (for tests and tools).
const StringEntry* AllStrings(uint32_t& count);

}
