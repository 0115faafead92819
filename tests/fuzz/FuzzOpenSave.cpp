// Fuzz target: a design file opened and saved back. Whatever the bytes, opening never
// crashes, and what a save writes opens again to the very same bytes; a file that opened
// without a damage or version warning saves back byte for byte.
#include <cstddef>
#include <cstdint>

#include "FuzzDesign.h"
#include "circuit/Doc.h"
#include "records/Utils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<CPwrQuorraDoc> doc = fuzz::Open(data, size);
    if (!doc) return 0;
    const bool clean = !FileWarningShown();
    const std::vector<uint8_t> first = fuzz::Saved(*doc);
    if (clean && doc->IsSingleEndedForward() && !(first.size() == size && std::equal(first.begin(), first.end(), data)))
        fuzz::Fail("a file that opened cleanly saved back to other bytes");
    std::unique_ptr<CPwrQuorraDoc> again = fuzz::Open(first.data(), first.size());
    if (!again) fuzz::Fail("a saved design does not open");
    if (FileWarningShown()) fuzz::Fail("a saved design opens as damaged");
    if (fuzz::Saved(*again) != first) fuzz::Fail("a saved design saves back to other bytes");
    return 0;
}
