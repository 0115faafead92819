// The bytes a record stores through its Serialize.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/core/Archive.h"

namespace test_support {

template <class R>
std::vector<uint8_t> Store(const R& r) {
    fw::Archive ar;
    const_cast<R&>(r).Serialize(ar);
    return ar.Bytes();
}

}  // namespace test_support
