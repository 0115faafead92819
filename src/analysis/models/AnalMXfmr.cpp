#include "analysis/models/AnalMXfmr.h"

#include "analysis/models/AnalMLoss.h"

int32_t CalcTransformerCoeffs(const TransformerParams& t, double s, double primaryCurrentPrev,
                              const double* secondaryCurrentPrev, EngineStore* st) {
    const int32_t n = t.outputs;
    st->zpp = t.rp + t.lp * s;
    st->ep = -t.lp * s * primaryCurrentPrev;
    for (int32_t j = 0; j < n; ++j) {
        st->c[j] = t.mps[j] * s;
        st->m[j] = t.mps[j] * s;
        st->ep -= st->c[j] * secondaryCurrentPrev[j];
    }
    for (int32_t j = 0; j < n; ++j) {
        st->es[j] = -st->m[j] * primaryCurrentPrev;
        for (int32_t k = 0; k < n; ++k) {
            const double reactive = (j == k ? t.ls[j] : t.mss[j][k]) * s;
            st->zs[j][k] = reactive + (j == k ? t.rs[j] : 0.0);
            st->es[j] -= reactive * secondaryCurrentPrev[k];
        }
    }
    return 1;
}

int32_t BuildPrimaryCentre(int32_t outputs, EngineStore* st) {
    // The loop as the winding sees it with the core-loss resistance across its terminals.
    double loopA = st->loopA, loopB = st->loopB;
    ShuntLoop(st->loss.centreConductance, &loopA, &loopB);
    const double kc = 1.0 / (loopA - st->zpp);
    st->b = kc * (st->ep - loopB);
    for (int32_t k = 0; k < outputs; ++k) st->a[k] = kc * st->c[k];
    for (int32_t j = 0; j < outputs; ++j) {
        for (int32_t k = 0; k < outputs; ++k) st->zsr[j][k] = st->zs[j][k] + st->m[j] * st->a[k];
        st->esr[j] = st->es[j] + st->m[j] * st->b;
    }
    return 1;
}

double PrimaryCurrentFromRow(int32_t outputs, const EngineStore& st, const double* secondaryCurrent) {
    double ip = st.b;
    for (int32_t k = 0; k < outputs; ++k) ip += st.a[k] * secondaryCurrent[k];
    return ip;
}

double CentreTerminalCurrent(const EngineStore& st, double windingCurrent) {
    const double g = st.loss.centreConductance;
    if (g == 0.0) return windingCurrent;
    double loopA = st.loopA, loopB = st.loopB;
    ShuntLoop(g, &loopA, &loopB);
    return windingCurrent + g * (loopA * windingCurrent + loopB);
}
