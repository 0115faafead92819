// Where a backward-Euler run's energy goes, element by element, seen from outside the step
// loop. An inductor stepped by L·(i - i') = h·v takes in
//   v·i·h = (L·i² - L·i'²)/2 + L·(i - i')²/2,
// its stored energy's change plus L·di²/2 that the continuous inductor does not take; a
// capacitor stepped by C·(v - v') = h·i likewise C·dv²/2; coupled windings dI'·L·dI/2 with L
// their inductance matrix. Over whole periods of the steady state the stored energies return:
// read at the steps' ends, what the bulk node gives is what the resistive parts take plus
// those step losses, which a backward-Euler bulk charged with each step's end current paid
// from the line. The ledger adds them per element over a window and gives their mean power.
#pragma once

#include <cmath>

#include "analysis/context/AnalContext.h"

struct StepEnergyLedger {
    enum Element { kTransformer, kChoke, kOutputCapacitor, kBulkCapacitor, kElementCount };

    double windowStart = 0.0;  // s
    double span = 0.0;         // s
    double energy[kElementCount] = {};           // J over the window
    // Each step's transformer loss, split by the largest secondary current change of the step.
    double transformerCommutation = 0.0;  // J in steps where some secondary changed by more than 0.1 A
    bool primed = false;
    double ip = 0.0, is[kMaxOutputs] = {}, il[kMaxOutputs] = {}, vo[kMaxOutputs] = {}, vb = 0.0;

    double Power(Element e) const { return span > 0.0 ? energy[e] / span : 0.0; }
    double Total() const {
        double sum = 0.0;
        for (int e = 0; e < kElementCount; ++e) sum += Power(static_cast<Element>(e));
        return sum;
    }

    void Observe(const AnalysisContext& ctx) {
        const int32_t n = ctx.pSettings->outputCount;
        const TransformerParams& t = ctx.engine.xfmr;
        double ipNow = ctx.primary.primaryWindingCurrent, isNow[kMaxOutputs] = {}, ilNow[kMaxOutputs] = {},
               voNow[kMaxOutputs] = {};
        for (int32_t j = 0; j < n; ++j) {
            isNow[j] = ctx.engine.secondaryCurrent[j];
            ilNow[j] = ctx.outputChoke[j].chokeCurrent;
            voNow[j] = ctx.outputFilter[j].capacitorVoltage1;
        }
        const double vbNow = ctx.inputCapacitor.capacitorVoltage1;
        const double h = ctx.stepState.inverseTimeStepTermA;
        if (primed && ctx.stepState.time - h >= windowStart) {
            span += h;
            // dI'·L·dI/2 over the primary and the secondaries.
            const double dp = ipNow - ip;
            double ds[kMaxOutputs] = {};
            double e = t.lp * dp * dp, largest = 0.0;
            for (int32_t j = 0; j < n; ++j) ds[j] = isNow[j] - is[j];
            for (int32_t j = 0; j < n; ++j) {
                largest = std::fmax(largest, std::fabs(ds[j]));
                e += 2.0 * t.mps[j] * dp * ds[j] + t.ls[j] * ds[j] * ds[j];
                for (int32_t k = 0; k < n; ++k) e += t.mss[j][k] * ds[j] * ds[k];
            }
            energy[kTransformer] += 0.5 * e;
            if (largest > 0.1) transformerCommutation += 0.5 * e;
            for (int32_t j = 0; j < n; ++j) {
                const double l = ctx.outputChoke[j].totalInductance, c = ctx.pOutputFilterInput[j]->capACapacitance;
                const double di = ilNow[j] - il[j], dv = voNow[j] - vo[j];
                if (std::isfinite(l)) energy[kChoke] += 0.5 * l * di * di;
                if (std::isfinite(c)) energy[kOutputCapacitor] += 0.5 * c * dv * dv;
            }
            const double cb = ctx.pLineSourceInput->outputCapacitance, dvb = vbNow - vb;
            if (std::isfinite(cb)) energy[kBulkCapacitor] += 0.5 * cb * dvb * dvb;
        }
        primed = true;
        ip = ipNow;
        vb = vbNow;
        for (int32_t j = 0; j < n; ++j) is[j] = isNow[j], il[j] = ilNow[j], vo[j] = voNow[j];
    }
};
