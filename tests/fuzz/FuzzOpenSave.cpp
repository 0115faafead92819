// Fuzz target: a design file opened and saved back. Whatever the bytes, opening never
// crashes, and what a save writes opens again, without a warning, and saves back to the very
// same bytes. (Bytes that opened without a warning need not save back as they were: a file
// may spell a value in more than one way.)
#include <cstddef>
#include <cstdint>

#include "FuzzDesign.h"
#include "circuit/Doc.h"
#include "records/Utils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<CPwrQuorraDoc> doc = fuzz::Open(data, size);
    if (!doc) return 0;
    const std::vector<uint8_t> first = fuzz::Saved(*doc);
    std::unique_ptr<CPwrQuorraDoc> again = fuzz::Open(first.data(), first.size());
    if (!again) fuzz::Fail("a saved design does not open");
    if (FileWarningShown()) fuzz::Fail("a saved design opens as damaged");
    if (fuzz::Saved(*again) != first) fuzz::Fail("a saved design saves back to other bytes");
    return 0;
}
