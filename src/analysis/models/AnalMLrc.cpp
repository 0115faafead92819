#include "analysis/models/AnalMLrc.h"

#include <cmath>

#include "analysis/models/AnalMOut.h"

namespace {

constexpr int32_t kReturn = -1;

// Where each case's elements sit: node indexes into the unknowns, kReturn for M.
struct LineTopology {
    int32_t nodes = 0;
    int32_t p = 0;
    int32_t c = kReturn;
    int32_t n = kReturn;
    int32_t phases = 1;
    int32_t terminal[kMaxLinePhases] = {kReturn, kReturn, kReturn};
    int32_t anode[kLineDiodes] = {};
    int32_t cathode[kLineDiodes] = {};
};

constexpr int32_t kCasePhases[kLineCases] = {1, 1, 2, 3, 1, 1, 2, 2, 3, 3};
constexpr uint32_t kCaseDiodes[kLineCases] = {0x00, 0x01, 0x11, 0x51, 0x0F, 0x03, 0x33, 0x33, 0xF3, 0xF3};
// The upper and lower diode of each phase in the two-diodes-per-phase cases.
constexpr int32_t kUpper[kMaxLinePhases] = {0, 4, 6};
constexpr int32_t kLower[kMaxLinePhases] = {1, 5, 7};

bool Bridge(int32_t c) { return c == 4 || c == 6 || c == 8; }

bool MakeTopology(const LineSideInputs& in, LineTopology* t) {
    const int32_t rc = in.rectifierCase;
    if (rc < 0 || rc >= kLineCases) return false;
    if (IsDoublerRectifierCase(rc) && !in.doubledCapacitor) return false;
    t->phases = kCasePhases[rc];
    int32_t next = 0;
    t->p = next++;
    if (in.doubledCapacitor) t->c = next++;
    if (Bridge(rc)) t->n = next++;
    else if (IsDoublerRectifierCase(rc)) t->n = t->c;
    if (rc == 0) {
        t->terminal[0] = t->p;
    } else {
        for (int32_t p = 0; p < t->phases; ++p) t->terminal[p] = next++;
    }
    t->nodes = next;
    if (rc >= 1 && rc <= 3) {
        for (int32_t p = 0; p < t->phases; ++p) {
            t->anode[kUpper[p]] = t->terminal[p];
            t->cathode[kUpper[p]] = t->p;
        }
    } else if (rc == 4) {
        t->anode[0] = t->terminal[0], t->cathode[0] = t->p;
        t->anode[1] = kReturn, t->cathode[1] = t->terminal[0];
        t->anode[2] = t->n, t->cathode[2] = t->p;
        t->anode[3] = kReturn, t->cathode[3] = t->n;
    } else if (rc >= 5) {
        for (int32_t p = 0; p < t->phases; ++p) {
            t->anode[kUpper[p]] = t->terminal[p], t->cathode[kUpper[p]] = t->p;
            t->anode[kLower[p]] = kReturn, t->cathode[kLower[p]] = t->terminal[p];
        }
    }
    return true;
}

// g between a and b, and the branch's constant current g·eb into a and out of b.
void Stamp(double g[8][8], double* j, int32_t a, int32_t b, const BranchPair& br) {
    const double y = 1.0 / br.z;
    const double i = y * br.e;
    if (a != kReturn) g[a][a] += y, j[a] += i;
    if (b != kReturn) g[b][b] += y, j[b] -= i;
    if (a != kReturn && b != kReturn) g[a][b] -= y, g[b][a] -= y;
}

double At(const double* v, int32_t node) { return node == kReturn ? 0.0 : v[node]; }

double Current(const BranchPair& br, double va, double vb) { return (va - vb - br.e) / br.z; }

}  // namespace

uint32_t LineDiodesOfRectifierCase(int32_t rectifierCase) {
    return rectifierCase >= 0 && rectifierCase < kLineCases ? kCaseDiodes[rectifierCase] : 0u;
}

bool IsDoublerRectifierCase(int32_t rectifierCase) {
    return rectifierCase == 5 || rectifierCase == 7 || rectifierCase == 9;
}

int32_t CalcLineSideCoeffs(const LineSideInputs& in, LineSideSolution* out) {
    LineTopology t;
    if (!MakeTopology(in, &t)) return 0;
    double g[8][8] = {};
    double j[8] = {};
    for (int32_t p = 0; p < t.phases; ++p) Stamp(g, j, t.terminal[p], t.n, in.phase[p]);
    const uint32_t used = kCaseDiodes[in.rectifierCase];
    for (int32_t d = 0; d < kLineDiodes; ++d)
        if (used >> d & 1u) Stamp(g, j, t.anode[d], t.cathode[d], in.diode[d]);
    Stamp(g, j, t.p, t.c, in.upperCapacitor);
    if (in.doubledCapacitor) Stamp(g, j, t.c, kReturn, in.lowerCapacitor);

    // Both right-hand sides through one elimination: the second column is the draw.
    double a[8][8];
    double rhs[8] = {};
    const int32_t n = t.nodes;
    for (int32_t r = 0; r < n; ++r)
        for (int32_t c = 0; c < n; ++c) a[r][c] = g[r][c];
    for (int32_t r = 0; r < n; ++r) rhs[r] = j[r];
    if (!SolveDenseSmall(n, a, rhs, out->v0)) return 0;
    for (int32_t r = 0; r < n; ++r)
        for (int32_t c = 0; c < n; ++c) a[r][c] = g[r][c];
    for (int32_t r = 0; r < n; ++r) rhs[r] = 0.0;
    rhs[t.p] = -1.0;
    if (!SolveDenseSmall(n, a, rhs, out->v1)) return 0;
    out->nodes = n;
    out->e = out->v0[t.p];
    out->z = -out->v1[t.p];
    return std::isfinite(out->e) && std::isfinite(out->z) ? 1 : 0;
}

int32_t UpdateLineSide(const LineSideInputs& in, double draw, LineSideSolution* out) {
    LineTopology t;
    if (!MakeTopology(in, &t)) return 0;
    double v[kLineNodes] = {};
    for (int32_t r = 0; r < t.nodes; ++r) v[r] = out->v0[r] + draw * out->v1[r];
    bool finite = true;
    for (int32_t p = 0; p < kMaxLinePhases; ++p) {
        out->phaseCurrent[p] = 0.0;
        out->phaseTerminalVoltage[p] = 0.0;
    }
    for (int32_t p = 0; p < t.phases; ++p) {
        const double va = At(v, t.terminal[p]), vn = At(v, t.n);
        out->phaseCurrent[p] = -Current(in.phase[p], va, vn);
        out->phaseTerminalVoltage[p] = va - vn;
        finite = finite && std::isfinite(out->phaseCurrent[p]);
    }
    const uint32_t used = kCaseDiodes[in.rectifierCase];
    out->rectifierCurrent = 0.0;
    for (int32_t d = 0; d < kLineDiodes; ++d) {
        if (!(used >> d & 1u)) {
            out->diodeCurrent[d] = 0.0;
            out->diodeVoltage[d] = 0.0;
            continue;
        }
        const double va = At(v, t.anode[d]), vc = At(v, t.cathode[d]);
        out->diodeCurrent[d] = Current(in.diode[d], va, vc);
        out->diodeVoltage[d] = va - vc;
        if (t.cathode[d] == t.p) out->rectifierCurrent += out->diodeCurrent[d];
        finite = finite && std::isfinite(out->diodeCurrent[d]);
    }
    // Without a rectifier the line phase feeds P directly.
    if (in.rectifierCase == 0) out->rectifierCurrent = out->phaseCurrent[0];
    out->midpointVoltage = At(v, t.c);
    out->upperCapacitorCurrent = Current(in.upperCapacitor, v[t.p], At(v, t.c));
    out->lowerCapacitorCurrent = in.doubledCapacitor ? Current(in.lowerCapacitor, At(v, t.c), 0.0) : 0.0;
    finite = finite && std::isfinite(out->upperCapacitorCurrent) && std::isfinite(out->lowerCapacitorCurrent);
    return finite ? 1 : 0;
}
