// A record declares its archived fields once, as a tuple of references
// (std::tie), and store, load, copy and compare are derived from that list.
//
// Field kinds: uint16_t, int32_t, double, std::string, std::array of those,
// and owned records that offer Serialize(Archive&) and operator!=.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <tuple>
#include <type_traits>

#include "platform/core/Archive.h"

namespace fw {

// Two doubles differ only when one is less than or greater than the other,
// so values that are not ordered never count as a difference.
inline bool DoublesDiffer(double a, double b) { return a < b || a > b; }

namespace detail {

template <class T>
struct IsStdArray : std::false_type {};
template <class T, size_t N>
struct IsStdArray<std::array<T, N>> : std::true_type {};

template <class T>
void StoreOne(Archive& ar, const T& v) {
    if constexpr (std::is_same_v<T, uint16_t>) ar.WriteU16(v);
    else if constexpr (std::is_same_v<T, int32_t>) ar.WriteI32(v);
    else if constexpr (std::is_same_v<T, double>) ar.WriteF64(v);
    else if constexpr (std::is_same_v<T, std::string>) ar.WriteString(v);
    else if constexpr (IsStdArray<T>::value) { for (const auto& e : v) StoreOne(ar, e); }
    else const_cast<T&>(v).Serialize(ar);
}

template <class T>
void LoadOne(Archive& ar, T& v) {
    if constexpr (std::is_same_v<T, uint16_t>) v = ar.ReadU16();
    else if constexpr (std::is_same_v<T, int32_t>) v = ar.ReadI32();
    else if constexpr (std::is_same_v<T, double>) v = ar.ReadFiniteF64(v);  // a loaded record holds its defaults
    else if constexpr (std::is_same_v<T, std::string>) v = ar.ReadString();
    else if constexpr (IsStdArray<T>::value) { for (auto& e : v) LoadOne(ar, e); }
    else v.Serialize(ar);
}

template <class T>
bool DiffersOne(const T& a, const T& b) {
    if constexpr (std::is_same_v<T, double>) return DoublesDiffer(a, b);
    else if constexpr (std::is_arithmetic_v<T> || std::is_same_v<T, std::string>) return a != b;
    else if constexpr (IsStdArray<T>::value) {
        for (size_t i = 0; i < a.size(); ++i)
            if (DiffersOne(a[i], b[i])) return true;
        return false;
    } else return static_cast<bool>(a != b);
}

}  // namespace detail

template <class Tuple>
void StoreFields(Archive& ar, const Tuple& fields) {
    std::apply([&](const auto&... f) { (detail::StoreOne(ar, f), ...); }, fields);
}

template <class Tuple>
void LoadFields(Archive& ar, const Tuple& fields) {
    std::apply([&](auto&... f) { (detail::LoadOne(ar, f), ...); }, fields);
}

// TRUE at the first field that differs, in field order.
template <class Tuple>
bool FieldsDiffer(const Tuple& a, const Tuple& b) {
    bool differ = false;
    std::apply(
        [&](const auto&... fa) {
            std::apply([&](const auto&... fb) { ((differ = differ || detail::DiffersOne(fa, fb)), ...); }, b);
        },
        a);
    return differ;
}

template <class TupleDst, class TupleSrc>
void CopyFields(const TupleDst& dst, const TupleSrc& src) {
    std::apply(
        [&](auto&... d) { std::apply([&](const auto&... s) { ((d = s), ...); }, src); }, dst);
}

}  // namespace fw
