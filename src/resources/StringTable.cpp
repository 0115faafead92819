#include "resources/StringTable.h"

#include <algorithm>
#include <iterator>

namespace res {
namespace {

// Sorted by id; FindString relies on it and the tests check it.
constexpr StringEntry kStrings[] = {
#include "resources/StringTableData.inc"
};

}  // namespace

const char* FindString(uint32_t id)
{
    const auto* end = std::end(kStrings);
    const auto* it = std::lower_bound(std::begin(kStrings), end, id,
                                      [](const StringEntry& e, uint32_t key) { return e.id < key; });
    return (it != end && it->id == id) ? it->text : nullptr;
}

const StringEntry* AllStrings(uint32_t& count)
{
    count = static_cast<uint32_t>(std::size(kStrings));
    return kStrings;
}

}  // namespace res
