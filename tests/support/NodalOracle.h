// A small dense modified-nodal-analysis solver for one backward-Euler step: the reference the
// engine's closed-form reductions are checked against. It knows nothing of the engine: each
// element is stamped as it is in a textbook, and the system is solved by elimination.
//
// Node 0 is the return. A branch current flows from the element's first node through the
// element to its second node.
//   resistor        I = (Va - Vb)/R
//   voltage source  Va - Vb = E                     (its current is an unknown)
//   inductor        Va - Vb = sum_k L[j][k]·s·(I[k] - Iprev[k])   (self and mutual terms)
//   capacitor       I = C·s·(Va - Vb - Vprev)
//   ideal op-amp    V+ = V-, its output sources whatever current that takes (a nullor)
//   current source  I fixed
#pragma once

#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

namespace test_support {

class NodalOracle {
public:
    explicit NodalOracle(double s) : s_(s) {}

    int Node() { return ++nodes_; }

    // 0 ohm is a short (a source of 0 V), not an infinite conductance.
    void Resistor(int a, int b, double r) {
        if (r == 0.0) VoltageSource(a, b, 0.0);
        else elements_.push_back({Kind::kResistor, a, b, r, 0.0, -1});
    }
    void Capacitor(int a, int b, double c, double vPrev) { elements_.push_back({Kind::kCapacitor, a, b, c, vPrev, -1}); }
    // i flows from a through the source to b.
    void CurrentSource(int a, int b, double i) { elements_.push_back({Kind::kCurrent, a, b, i, 0.0, -1}); }
    // Returns the branch, whose current Current() gives.
    int VoltageSource(int a, int b, double e) { return AddBranch(Kind::kSource, a, b, e, 0.0); }
    int Inductor(int a, int b, double l, double iPrev) { return AddBranch(Kind::kInductor, a, b, l, iPrev); }
    // Output to the return; returns the branch of its output current.
    int IdealOpAmp(int plus, int minus, int out) {
        const int branch = AddBranch(Kind::kOpAmp, out, 0, 0.0, 0.0);
        elements_.back().plus = plus;
        elements_.back().minus = minus;
        return branch;
    }
    void Mutual(int branch1, int branch2, double m) { mutuals_.push_back({branch1, branch2, m}); }

    bool Solve() {
        const int n = nodes_ + static_cast<int>(branches_.size());
        std::vector<std::vector<double>> a(n, std::vector<double>(n, 0.0));
        std::vector<double> rhs(n, 0.0);
        auto row = [](int node) { return node - 1; };
        auto stampConductance = [&](int p, int q, double g, double i) {
            // g between p and q, plus a current i flowing from p to q through the element.
            if (p) a[row(p)][row(p)] += g, rhs[row(p)] -= i;
            if (q) a[row(q)][row(q)] += g, rhs[row(q)] += i;
            if (p && q) a[row(p)][row(q)] -= g, a[row(q)][row(p)] -= g;
        };
        for (const Element& e : elements_) {
            if (e.kind == Kind::kResistor) stampConductance(e.a, e.b, 1.0 / e.value, 0.0);
            else if (e.kind == Kind::kCapacitor) stampConductance(e.a, e.b, e.value * s_, -e.value * s_ * e.extra);
            else if (e.kind == Kind::kCurrent) stampConductance(e.a, e.b, 0.0, e.value);
        }
        for (size_t k = 0; k < branches_.size(); ++k) {
            const Element& e = elements_[branches_[k]];
            const int col = nodes_ + static_cast<int>(k);
            if (e.a) a[row(e.a)][col] += 1.0, a[col][row(e.a)] += 1.0;
            if (e.b) a[row(e.b)][col] -= 1.0, a[col][row(e.b)] -= 1.0;
            if (e.kind == Kind::kOpAmp) {
                // Its row holds the virtual short, not the output's own voltage.
                a[col].assign(n, 0.0);
                if (e.plus) a[col][row(e.plus)] += 1.0;
                if (e.minus) a[col][row(e.minus)] -= 1.0;
            } else if (e.kind == Kind::kSource) {
                rhs[col] = e.value;
            } else {
                a[col][col] -= e.value * s_;
                rhs[col] -= e.value * s_ * e.extra;
            }
        }
        for (const MutualTerm& m : mutuals_) {
            const int c1 = nodes_ + m.branch1;
            const int c2 = nodes_ + m.branch2;
            const Element& e1 = elements_[branches_[m.branch1]];
            const Element& e2 = elements_[branches_[m.branch2]];
            a[c1][c2] -= m.m * s_;
            rhs[c1] -= m.m * s_ * e2.extra;
            a[c2][c1] -= m.m * s_;
            rhs[c2] -= m.m * s_ * e1.extra;
        }
        for (int col = 0; col < n; ++col) {
            int pivot = col;
            for (int r = col + 1; r < n; ++r)
                if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
            if (a[pivot][col] == 0.0) return false;
            std::swap(a[pivot], a[col]);
            std::swap(rhs[pivot], rhs[col]);
            for (int r = col + 1; r < n; ++r) {
                const double f = a[r][col] / a[col][col];
                for (int c = col; c < n; ++c) a[r][c] -= f * a[col][c];
                rhs[r] -= f * rhs[col];
            }
        }
        x_.assign(n, 0.0);
        for (int r = n - 1; r >= 0; --r) {
            double sum = rhs[r];
            for (int c = r + 1; c < n; ++c) sum -= a[r][c] * x_[c];
            x_[r] = sum / a[r][r];
        }
        return true;
    }

    double V(int node) const { return node ? x_[node - 1] : 0.0; }
    double Current(int branch) const { return x_[nodes_ + branch]; }

private:
    enum class Kind { kResistor, kCapacitor, kSource, kInductor, kOpAmp, kCurrent };
    struct Element {
        Kind kind;
        int a, b;
        double value;  // R, C, E or L
        double extra;  // Vprev of a capacitor, Iprev of an inductor
        int branch;
        int plus = 0, minus = 0;  // op-amp inputs
    };
    struct MutualTerm {
        int branch1, branch2;
        double m;
    };

    int AddBranch(Kind kind, int a, int b, double value, double extra) {
        const int branch = static_cast<int>(branches_.size());
        elements_.push_back({kind, a, b, value, extra, branch});
        branches_.push_back(elements_.size() - 1);
        return branch;
    }

    double s_;
    int nodes_ = 0;
    std::vector<Element> elements_;
    std::vector<size_t> branches_;
    std::vector<MutualTerm> mutuals_;
    std::vector<double> x_;
};

}  // namespace test_support
