// The voltage-loop analysis's analytic response from the amplifier's input to the control
// voltage, for every error-amplifier network and every opto-isolator arrangement: against the
// step models of the same parts driven by a small sine (their sinusoidal steady state is the
// chain's transfer function up to the step's own frequency warp, w·h/2 = 0.3 % here), and at
// DC against the chain's gain written out by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

#include "analysis/context/AnalInputRec.h"
#include "analysis/context/AnalRec.h"
#include "analysis/frequency/AnalFVLR.h"
#include "analysis/models/AnalMOpto.h"
#include "analysis/models/AnalMVea.h"

namespace {

using cd = std::complex<double>;
constexpr double kPi = std::numbers::pi;
constexpr double kReference = 5.0;

// Zeros and poles between 1 and 10 kHz: R3·C2 and Rfb·C3 at 1.6 kHz, the input branch's
// R2·C1 at 8 kHz, the photo transistor's bandwidth at 2 kHz, RL·Cp at 1 kHz. Biased near 3 mA
// in the diode and the photo transistor, every receiver well inside its limits.
ControlInputRec Chain(int32_t vea, int32_t opto) {
    ControlInputRec ci;
    ci.veaVariant = vea;
    ci.optoVariant = opto;
    ci.veaResistor1 = 10e3;
    ci.veaResistor2 = 2e3;
    ci.veaResistor3 = 10e3;
    ci.veaCapacitor1 = 10e-9;
    ci.veaCapacitor2 = 10e-9;
    ci.veaCapacitor3 = 1e-9;
    ci.veaFeedbackResistor = 100e3;
    ci.veaLowerLimit = -100.0;
    ci.errorUpperLimit = 100.0;
    ci.optoDriveVoltage = 12.0;
    ci.optoDriveResistance = 1e3;
    ci.optoLedVoltage = 1.0;
    ci.optoLedResistance = 10.0;
    ci.optoDriveTransistorVbe = 0.7;
    ci.optoBiasVoltage = 12.0;
    ci.optoCurrentTransferRatio = 0.5;
    ci.optoBandwidth = 2e3;
    ci.optoLoadResistance = 1e3;
    ci.optoPoleCapacitance = 160e-9;
    ci.optoAmpResistor1 = 1e3;
    ci.optoAmpResistor2 = 1e3;
    ci.optoAmpUpperLimit = 20.0;
    ci.optoAmpLowerLimit = -20.0;
    ci.optoReferenceValue = 2.5;
    return ci;
}

// The step models driven from the amplifier's input by amplitude·sin(w·t) on the reference:
// the control voltage's phasor over the input's, from the last of `periods` periods.
cd Measured(const ControlInputRec& ci, double f) {
    const int perPeriod = 1000, periods = 12;
    const double w = 2.0 * kPi * f, h = 1.0 / (f * perPeriod), amplitude = 1e-3;
    const VeaNetwork vea = VeaNetworkOf(ci);
    const OptoNetwork opto = OptoNetworkOf(ci);
    ControlStateRec st;
    st.errorAmpAux = st.errorAmpStateB = st.errorAmpStateC = st.errorAmpStateA = 0.0;
    st.optoLedCurrent = 0.0;
    cd phasor = 0.0;
    for (int k = 1; k <= perPeriod * periods; ++k) {
        const double phase = w * k * h;
        EXPECT_EQ(CalcVoltageErrorAmp(vea, kReference + amplitude * std::sin(phase), kReference, 1.0 / h, &st), 1);
        EXPECT_EQ(CalcOptoIsolator(opto, st.veaOutput, 1.0 / h, &st), 1);
        if (k > perPeriod * (periods - 1)) phasor += st.optoCoupledError * std::exp(cd(0.0, -phase));
    }
    EXPECT_EQ(st.veaClampState, 0);
    EXPECT_EQ(st.optoAmpClampState, 0);
    return phasor / (double(perPeriod) * cd(0.0, -amplitude / 2.0));
}

struct Row {
    int32_t vea, opto;
};
// Every network through no opto-isolator, every arrangement behind the DC-feedback pole.
constexpr Row kRows[] = {{0, 6}, {1, 6}, {2, 6}, {3, 6}, {4, 6}, {5, 6}, {6, 6}, {7, 6},
                         {7, 0}, {7, 1}, {7, 2}, {7, 3}, {7, 4}, {7, 5}};

TEST(ErrorAmpResponse, EveryNetworkAndArrangementFollowsItsStepModels) {
    for (const Row& r : kRows) {
        const ControlInputRec ci = Chain(r.vea, r.opto);
        for (const double f : {50.0, 1600.0}) {
            SCOPED_TRACE(testing::Message() << "network " << r.vea << " opto " << r.opto << " at " << f << " Hz");
            double g = 0.0, phi = 0.0;
            ASSERT_EQ(CalcErrorAmpResponse(ci, 2.0 * kPi * f, &g, &phi), 1);
            const cd m = Measured(ci, f);
            EXPECT_NEAR(std::abs(m) / g, 1.0, 0.01);
            EXPECT_NEAR(std::remainder(std::arg(m) - phi, 2.0 * kPi) * 180.0 / kPi, 0.0, 1.0);
        }
    }
}

// With Rfb the amplifier's DC gain is -Rfb/R1 whatever else the network holds; the opto chain's
// DC gain is positive: RL·CTR/(rF + Rd) (voltage drive into a load resistor), RL·CTR/Rd
// (current drive), times Ra2/(RL + Ra1) behind the op-amp inverter.
TEST(ErrorAmpResponse, DcGainIsTheStagesGainsWrittenOut) {
    const double rl = 1e3, ctr = 0.5, vDrive = 1.0 / (10.0 + 1e3), iDrive = 1.0 / 1e3, inverter = 1e3 / (rl + 1e3);
    const double opto[7] = {rl * ctr * vDrive,  rl * ctr * iDrive,  rl * ctr * vDrive, rl * ctr * iDrive * inverter,
                            rl * ctr * vDrive * inverter, rl * ctr * vDrive * inverter, 1.0};
    for (int32_t vea = 4; vea <= 7; ++vea) {
        for (int32_t o = 0; o <= 6; ++o) {
            SCOPED_TRACE(testing::Message() << "network " << vea << " opto " << o);
            double g = 0.0, phi = 0.0;
            ASSERT_EQ(CalcErrorAmpResponse(Chain(vea, o), 1e-6, &g, &phi), 1);
            EXPECT_NEAR(g, 100e3 / 10e3 * opto[o], 1e-6 * g);
            EXPECT_NEAR(std::fabs(phi), kPi, 1e-6);  // inverting
        }
    }
}

TEST(ErrorAmpResponse, UnknownNetworkOrArrangementHasNoResponse) {
    double g = 0.0, phi = 0.0;
    EXPECT_EQ(CalcErrorAmpResponse(Chain(8, 6), 1.0, &g, &phi), 0);
    EXPECT_EQ(CalcErrorAmpResponse(Chain(7, 7), 1.0, &g, &phi), 0);
    EXPECT_EQ(CalcErrorAmpResponse(Chain(-1, 6), 1.0, &g, &phi), 0);
}

}  // namespace
