// The pictures that go into the resource pack beside the program.
#include <initializer_list>

#include "resources/UiResources.h"

namespace res {

namespace {

// In id order; the circuit pictures join as they are drawn.
const std::initializer_list<PackPicture> kPackPictures = {};

}  // namespace

const PackPicture* FindPackPictures(size_t& count) {
    count = kPackPictures.size();
    return kPackPictures.begin();
}

}  // namespace res
