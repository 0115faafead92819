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
    int32_t terminal[kMaxLinePhases] = {kReturn, kReturn, kReturn};  // the rectifier's side
    int32_t source[kMaxLinePhases] = {kReturn, kReturn, kReturn};    // the source branch's end
    int32_t filter[kMaxLinePhases] = {kReturn, kReturn, kReturn};    // the line filter's node
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
    // The line filter: source end -> Inductor In1 -> filter node -> Inductor In2 -> terminal.
    for (int32_t p = 0; p < t->phases; ++p) {
        t->filter[p] = in.secondInductorOn ? next++ : t->terminal[p];
        t->source[p] = in.firstInductorOn ? next++ : t->filter[p];
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
void Stamp(double g[kLineNodes][kLineNodes], double* j, int32_t a, int32_t b, const BranchPair& br) {
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
    double g[kLineNodes][kLineNodes] = {};
    double j[kLineNodes] = {};
    for (int32_t p = 0; p < t.phases; ++p) {
        Stamp(g, j, t.source[p], t.n, in.phase[p]);
        if (in.firstInductorOn) Stamp(g, j, t.source[p], t.filter[p], in.firstInductor[p]);
        if (in.filterCapacitorOn) Stamp(g, j, t.filter[p], t.n, in.filterCapacitor[p]);
        if (in.dampingCapacitorOn) Stamp(g, j, t.filter[p], t.n, in.dampingCapacitor[p]);
        if (in.secondInductorOn) Stamp(g, j, t.filter[p], t.terminal[p], in.secondInductor[p]);
        if (in.dampingBranchOn) Stamp(g, j, t.filter[p], t.terminal[p], in.dampingBranch[p]);
    }
    const uint32_t used = kCaseDiodes[in.rectifierCase];
    for (int32_t d = 0; d < kLineDiodes; ++d)
        if (used >> d & 1u) Stamp(g, j, t.anode[d], t.cathode[d], in.diode[d]);
    Stamp(g, j, t.p, t.c, in.upperCapacitor);
    if (in.doubledCapacitor) Stamp(g, j, t.c, kReturn, in.lowerCapacitor);
    if (in.dampedCapacitor) {
        Stamp(g, j, t.p, t.c, in.upperDamping);
        if (in.doubledCapacitor) Stamp(g, j, t.c, kReturn, in.lowerDamping);
    }

    // Both right-hand sides through the same elimination: the second is the draw.
    double a[kLineNodes][kLineNodes];
    double rhs[kLineNodes] = {};
    const int32_t n = t.nodes;
    for (int32_t r = 0; r < n; ++r)
        for (int32_t c = 0; c < n; ++c) a[r][c] = g[r][c];
    for (int32_t r = 0; r < n; ++r) rhs[r] = j[r];
    if (!SolveDense(n, a, rhs, out->v0)) return 0;
    for (int32_t r = 0; r < n; ++r)
        for (int32_t c = 0; c < n; ++c) a[r][c] = g[r][c];
    for (int32_t r = 0; r < n; ++r) rhs[r] = 0.0;
    rhs[t.p] = -1.0;
    if (!SolveDense(n, a, rhs, out->v1)) return 0;
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
    for (int32_t p = 0; p < kMaxLinePhases; ++p) {
        out->firstInductorCurrent[p] = out->filterCapacitorCurrent[p] = out->dampingCapacitorCurrent[p] = 0.0;
        out->secondInductorCurrent[p] = out->dampingBranchCurrent[p] = out->filterNodeVoltage[p] = 0.0;
    }
    for (int32_t p = 0; p < t.phases; ++p) {
        const double vs = At(v, t.source[p]), vf = At(v, t.filter[p]), va = At(v, t.terminal[p]);
        const double vn = At(v, t.n);
        out->phaseCurrent[p] = -Current(in.phase[p], vs, vn);
        out->phaseTerminalVoltage[p] = va - vn;
        out->filterNodeVoltage[p] = vf - vn;
        if (in.firstInductorOn) out->firstInductorCurrent[p] = Current(in.firstInductor[p], vs, vf);
        if (in.filterCapacitorOn) out->filterCapacitorCurrent[p] = Current(in.filterCapacitor[p], vf, vn);
        if (in.dampingCapacitorOn) out->dampingCapacitorCurrent[p] = Current(in.dampingCapacitor[p], vf, vn);
        if (in.secondInductorOn) out->secondInductorCurrent[p] = Current(in.secondInductor[p], vf, va);
        if (in.dampingBranchOn) out->dampingBranchCurrent[p] = Current(in.dampingBranch[p], vf, va);
        finite = finite && std::isfinite(out->phaseCurrent[p]) && std::isfinite(out->secondInductorCurrent[p]);
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
    // Without a rectifier the line (through its filter) feeds P directly.
    if (in.rectifierCase == 0)
        out->rectifierCurrent = in.secondInductorOn ? out->secondInductorCurrent[0] + out->dampingBranchCurrent[0]
                                                    : out->phaseCurrent[0];
    out->midpointVoltage = At(v, t.c);
    out->upperCapacitorCurrent = Current(in.upperCapacitor, v[t.p], At(v, t.c));
    out->lowerCapacitorCurrent = in.doubledCapacitor ? Current(in.lowerCapacitor, At(v, t.c), 0.0) : 0.0;
    out->upperDampingCurrent = in.dampedCapacitor ? Current(in.upperDamping, v[t.p], At(v, t.c)) : 0.0;
    out->lowerDampingCurrent =
        in.dampedCapacitor && in.doubledCapacitor ? Current(in.lowerDamping, At(v, t.c), 0.0) : 0.0;
    finite = finite && std::isfinite(out->upperCapacitorCurrent) && std::isfinite(out->lowerCapacitorCurrent);
    return finite ? 1 : 0;
}
