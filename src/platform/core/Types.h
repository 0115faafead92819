// The integer and flag widths of the design's records.
#pragma once

#include <cstdint>

typedef int32_t BOOL;
constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;
typedef uint32_t UINT;
typedef uint16_t WORD;
