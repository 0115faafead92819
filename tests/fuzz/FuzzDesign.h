// What both fuzz targets share: the input written as a design file and opened as File Open
// opens it, with the boxes it shows collected instead of shown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CPwrQuorraDoc;

namespace fuzz {

// A scratch file of this process's own (on a memory file system where there is one).
const std::string& ScratchPath();
// The bytes written to the scratch file and opened from it; null when the open refused them.
std::unique_ptr<CPwrQuorraDoc> Open(const uint8_t* data, size_t size);
// The design file the document saves.
std::vector<uint8_t> Saved(CPwrQuorraDoc& doc);
// Stops the program (libFuzzer keeps the input) with a reason on the error output.
[[noreturn]] void Fail(const char* why);

}  // namespace fuzz
