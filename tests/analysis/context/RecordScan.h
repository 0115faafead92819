// Byte-level views of the analysis records for tests: the records hold doubles at 8-byte
// offsets and 32-bit words packed in pairs, so every 8-byte slot is one double or a pair of
// words (which never spell NOT_SET).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

#include "analysis/context/AnalConst.h"

template <class T>
int CountNotSet(const T& rec) {
    static_assert(std::is_standard_layout_v<T> && alignof(T) == 8);
    const unsigned char* p = reinterpret_cast<const unsigned char*>(&rec);
    int n = 0;
    for (size_t off = 0; off + 8 <= sizeof(T); off += 8) {
        double d;
        std::memcpy(&d, p + off, sizeof d);
        if (d == NOT_SET) ++n;
    }
    return n;
}

// The number of 8-byte slots that hold the double `value`.
template <class T>
int CountDoubles(const T& rec, double value) {
    static_assert(std::is_standard_layout_v<T> && alignof(T) == 8);
    const unsigned char* p = reinterpret_cast<const unsigned char*>(&rec);
    int n = 0;
    for (size_t off = 0; off + 8 <= sizeof(T); off += 8) {
        double d;
        std::memcpy(&d, p + off, sizeof d);
        if (d == value) ++n;
    }
    return n;
}

// The number of 4-byte slots that hold the 32-bit word `value` (use with values that no
// double of the record can spell in either half, such as -1).
template <class T>
int CountWords(const T& rec, int32_t value) {
    static_assert(std::is_standard_layout_v<T>);
    const unsigned char* p = reinterpret_cast<const unsigned char*>(&rec);
    int n = 0;
    for (size_t off = 0; off + 4 <= sizeof(T); off += 4) {
        int32_t w;
        std::memcpy(&w, p + off, sizeof w);
        if (w == value) ++n;
    }
    return n;
}

// Writes 1000 + k into the k-th 8-byte slot, so that a copied double tells where it came from.
template <class T>
void FillWithSlotNumbers(T& rec) {
    static_assert(std::is_trivially_copyable_v<T> && alignof(T) == 8);
    unsigned char* p = reinterpret_cast<unsigned char*>(&rec);
    for (size_t k = 0; (k + 1) * 8 <= sizeof(T); ++k) {
        const double d = 1000.0 + static_cast<double>(k);
        std::memcpy(p + k * 8, &d, sizeof d);
    }
}

// The byte offsets of the source slots of `count` doubles read from `rec` at byte `start`.
template <class T>
std::vector<size_t> SourceOffsets(const T& rec, size_t start, size_t count) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(&rec);
    std::vector<size_t> out;
    for (size_t i = 0; i < count; ++i) {
        double d;
        std::memcpy(&d, p + start + i * 8, sizeof d);
        out.push_back(static_cast<size_t>(d - 1000.0) * 8);
    }
    return out;
}
