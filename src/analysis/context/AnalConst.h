// Constants shared by the analysis records and every analysis module.
#pragma once

#include <cstdint>

// A quantity the run has not computed yet. Records start with it so that a model
// that reads a value before anyone wrote it gets an unmistakable number instead of
// a plausible zero; nothing compares against it.
constexpr double NOT_SET = -987654321.0;

// Record counts of one run: line phases 1-3, outputs 1-4 (arrays index by number - 1).
constexpr int32_t kMaxLinePhases = 3;
constexpr int32_t kMaxOutputs = 4;
