// Every load network variant against the nodal oracle: the network driven by the output
// voltage over one step must take the oracle's current, and its reverse pass must give the
// oracle's branch currents and the current source's voltage.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/models/AnalMLoad.h"
#include "support/NodalOracle.h"

namespace {

using test_support::NodalOracle;

constexpr double kRel = 1e-9;

void ExpectNear(double expected, double actual, const char* what) {
    EXPECT_NEAR(actual, expected, kRel * (1.0 + std::fabs(expected))) << what;
}

TEST(LoadNetwork, EveryVariantMatchesOracle) {
    struct Case {
        const char* name;
        int32_t variant;
        double rcs;
    };
    const Case cases[] = {
        {"resistive", 0, 0.0},
        {"inductive and resistive", 1, 0.0},
        {"current source conducting", 2, kLoadSourceOpen},
        {"current source shorted", 2, kLoadSourceShort},
        {"complex", 3, kLoadSourceOpen},
        {"complex, source shorted", 3, kLoadSourceShort},
    };
    const double s = 4e6, vout = 11.3;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadNetworkValues v;
        v.variant = c.variant;
        v.resistance = 4.7;
        v.resistorEsl = 3e-9;
        v.inductorResistance = 0.13;
        v.inductance = 22e-6;
        v.seriesResistance = 0.71;
        v.seriesInductance = 5.6e-6;
        LoadNetworkStart start{1.9, 2.6, 1.4, c.rcs};
        LoadNetworkCoeffs coeffs;
        ASSERT_EQ(CalcLoadNetworkCoeffs(v, s, start, &coeffs), 1);
        LoadNetworkResult r;
        ASSERT_EQ(UpdateLoadNetwork(v, coeffs, vout, &r), 1);

        NodalOracle o(s);
        const int out = o.Node();
        const int src = o.VoltageSource(out, 0, vout);
        int p = out;
        if (c.variant == 3) {
            const int x = o.Node();
            p = o.Node();
            o.Resistor(out, x, v.seriesResistance);
            o.Inductor(x, p, v.seriesInductance, start.seriesCurrent);
        }
        int shunt = -1;
        if (c.variant != 2) {
            const int a = o.Node(), b = o.Node();
            o.Resistor(p, a, v.resistance);
            shunt = o.Inductor(a, b, v.resistorEsl, start.shuntCurrent);
            if (c.variant == 1 || c.variant == 3) {
                const int d = o.Node();
                o.Resistor(b, d, v.inductorResistance);
                o.Inductor(d, 0, v.inductance, start.shuntCurrent);
            } else {
                o.Resistor(b, 0, 1e-300);
            }
        }
        if (c.variant == 2 || c.variant == 3) {
            o.CurrentSource(p, 0, start.sourceCurrent);
            o.Resistor(p, 0, c.rcs);
        }
        ASSERT_TRUE(o.Solve());
        ExpectNear(-o.Current(src), r.current, "load current");
        if (shunt >= 0) ExpectNear(o.Current(shunt), r.shuntCurrent, "shunt current");
        if (c.variant >= 2) ExpectNear(o.V(p), r.sourceVoltage, "source voltage");
    }
}

TEST(LoadNetwork, SourceConductsOnlyWithTheOutputsSign) {
    struct Case {
        int32_t sign;
        double voltage, expected;
    };
    const Case cases[] = {
        {1, 5.0, kLoadSourceOpen}, {1, -5.0, kLoadSourceShort}, {1, 0.0, kLoadSourceShort},
        {-1, -5.0, kLoadSourceOpen}, {-1, 5.0, kLoadSourceShort},
    };
    for (const Case& c : cases) EXPECT_EQ(LoadSourceResistance(c.sign, c.voltage), c.expected);
    LoadNetworkCoeffs coeffs;
    EXPECT_EQ(CalcLoadNetworkCoeffs(LoadNetworkValues{4, 1.0}, 1e6, LoadNetworkStart{}, &coeffs), 0);
}

}  // namespace
