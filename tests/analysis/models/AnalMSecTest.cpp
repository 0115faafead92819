// The stacking matrix: what each rectifier sees of the windings and what each winding
// carries of the rectifiers (its transpose), for the chains the flags can make.
#include <gtest/gtest.h>

#include "analysis/models/AnalMSec.h"

namespace {

struct StackCase {
    const char* name;
    int32_t outputs;
    StackingFlags flags;
    int32_t sign[4];
    double p[4][4];
};

TEST(StackedWindings, MatrixFollowsTheChains) {
    const StackCase cases[] = {
        {"no flags: each output its own winding, with its sign", 3, {0, 0, 0, 0, 0, 0}, {1, -1, 1, 1},
         {{1, 0, 0, 0}, {0, -1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 0}}},
        // Vr2 = Vw1 + Vw2, so Vw2 = Vr2 - Vr1; winding 1 carries both outputs' currents.
        {"2 on 1", 2, {1, 0, 0, 0, 0, 0}, {1, 1, 1, 1}, {{1, 0, 0, 0}, {1, 1, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}}},
        {"1 on 2, reversed", 2, {0, 1, 0, 0, 0, 0}, {-1, -1, 1, 1},
         {{-1, -1, 0, 0}, {0, -1, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}}},
        // Every downward flag: output 4 sees all four windings, winding 1 carries every output.
        {"all down", 4, {1, 0, 1, 0, 1, 0}, {1, 1, 1, 1},
         {{1, 0, 0, 0}, {1, 1, 0, 0}, {1, 1, 1, 0}, {1, 1, 1, 1}}},
        {"2 on 3 and 4 on 3", 4, {0, 0, 0, 1, 1, 0}, {1, 1, 1, 1},
         {{1, 0, 0, 0}, {0, 1, 1, 0}, {0, 0, 1, 0}, {0, 0, 1, 1}}},
        // Flags that name windings beyond the outputs join nothing.
        {"4 on 3 with two outputs", 2, {0, 0, 1, 0, 1, 1}, {1, 1, 1, 1},
         {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}}},
    };
    for (const StackCase& c : cases) {
        SCOPED_TRACE(c.name);
        double p[kMaxOutputs][kMaxOutputs];
        CalcStackingMatrix(c.outputs, c.flags, c.sign, p);
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k) EXPECT_EQ(p[j][k], c.p[j][k]) << j << "," << k;
    }
}

}  // namespace
