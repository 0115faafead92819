// The resource pack installed beside the program: pictures by id. A pack
// file is "PQRPACK1", a little-endian 32-bit count, then per picture its id,
// width and height (32-bit each) and width x height pixels (32-bit ARGB).
// Nothing read from the file is trusted: a damaged pack does not open.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "platform/ui/Image.h"

namespace fw {

class ResourcePack {
public:
    static constexpr uint32_t kMaxPictures = 4096;
    static constexpr uint32_t kMaxSide = 4096;

    // False (and nothing loaded) when the file is missing or damaged.
    bool Open(const std::string& path);
    bool IsLoaded() const { return loaded_; }
    // False when the pack has no picture of the id.
    bool GetImage(uint32_t id, Image& out) const;
    size_t Count() const { return images_.size(); }

    // Writes a pack (tools and tests).
    static bool Write(const std::string& path, const std::map<uint32_t, Image>& images);

private:
    bool loaded_ = false;
    std::map<uint32_t, Image> images_;
};

}  // namespace fw
