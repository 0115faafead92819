#include "graphs/Chart.h"

#include <algorithm>
#include <cmath>

#include "platform/core/Format.h"

namespace chart {

fw::Color PaletteColor(int code) {
    switch (code) {
    case 1:
    case 9: return {0, 0, 255};
    case 2:
    case 10: return {0, 160, 0};
    case 3:
    case 11: return {0, 170, 200};
    case 4:
    case 12: return {220, 0, 0};
    case 5:
    case 13: return {210, 0, 210};
    case 7: return {192, 192, 192};
    case 18: return {128, 128, 128};
    case 19: return {235, 235, 225};
    default: return {0, 0, 0};
    }
}

namespace {

// Below any value a log axis shows, so that zero and negative values fall
// off the bottom of the plot rather than wrapping.
constexpr double kFarBelow = -1e6;

// The smallest of 1, 2, 5 times a power of ten that is not below raw.
double NiceStep(double raw) {
    if (!(raw > 0.0) || !std::isfinite(raw)) return 1.0;
    const double p = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * p >= raw * (1.0 - 1e-9)) return m * p;
    return 10.0 * p;
}

}  // namespace

double Axis::ToFraction(double v) const {
    if (log) {
        if (!(v > 0.0)) return kFarBelow;
        const double a = std::log10(range.lo), b = std::log10(range.hi);
        return (std::log10(v) - a) / (b - a);
    }
    return (v - range.lo) / (range.hi - range.lo);
}

double Axis::FromFraction(double f) const {
    if (log) {
        const double a = std::log10(range.lo), b = std::log10(range.hi);
        return std::pow(10.0, a + f * (b - a));
    }
    return range.lo + f * (range.hi - range.lo);
}

Range Normalized(Range r, bool log) {
    const bool loOk = std::isfinite(r.lo), hiOk = std::isfinite(r.hi);
    if (!loOk && !hiOk) return log ? Range{1.0, 10.0} : Range{0.0, 1.0};
    if (!loOk) r.lo = r.hi;
    if (!hiOk) r.hi = r.lo;
    if (r.lo > r.hi) std::swap(r.lo, r.hi);
    if (log) {
        if (!(r.hi > 0.0)) return {1.0, 10.0};
        if (!(r.lo > 0.0)) r.lo = r.hi / 1000.0;
        if (r.hi / r.lo < 1.0 + 1e-9) return {r.lo / 2.0, r.hi * 2.0};
        return r;
    }
    const double mag = std::max(std::fabs(r.lo), std::fabs(r.hi));
    if (r.hi - r.lo <= mag * 1e-12) {
        const double d = mag > 0.0 ? mag * 0.05 : 0.05;
        return {r.lo - d, r.hi + d};
    }
    return r;
}

Range RoundLimits(Range r, bool log) {
    r = Normalized(r, log);
    if (log) {
        Range out{std::pow(10.0, std::floor(std::log10(r.lo) + 1e-9)), std::pow(10.0, std::ceil(std::log10(r.hi) - 1e-9))};
        return Normalized(out, true);
    }
    const double step = NiceStep((r.hi - r.lo) / 5.0);
    Range out{std::floor(r.lo / step + 1e-9) * step, std::ceil(r.hi / step - 1e-9) * step};
    if (std::fabs(out.lo) < step * 1e-9) out.lo = 0.0;
    if (std::fabs(out.hi) < step * 1e-9) out.hi = 0.0;
    return Normalized(out, false);
}

Ticks MakeTicks(const Axis& axis, int maxMajor) {
    Ticks t;
    const Range r = Normalized(axis.range, axis.log);
    maxMajor = std::max(2, maxMajor);
    const int minor = std::clamp(axis.minorTicks, 0, 100);
    if (axis.log) {
        const int first = static_cast<int>(std::ceil(std::log10(r.lo) - 1e-9));
        const int last = static_cast<int>(std::floor(std::log10(r.hi) + 1e-9));
        const int decades = last - first + 1;
        const int every = std::max(1, (decades + maxMajor - 1) / maxMajor);
        for (int k = first; k <= last; k += every) t.major.push_back(std::pow(10.0, k));
        if (t.major.size() < 2) {
            // Less than a decade: 1, 2 and 5 in each decade carry numbers.
            t.major.clear();
            for (int k = first - 1; k <= last; ++k)
                for (double m : {1.0, 2.0, 5.0}) {
                    const double v = m * std::pow(10.0, k);
                    if (v >= r.lo * (1 - 1e-9) && v <= r.hi * (1 + 1e-9)) t.major.push_back(v);
                }
        }
        if (minor > 0) {
            for (int k = first - 1; k <= last; ++k) {
                const double d = std::pow(10.0, k);
                for (int j = 1; j <= minor; ++j) {
                    const double v = d * (1.0 + 9.0 * j / (minor + 1));
                    if (v > r.lo && v < r.hi) t.minor.push_back(v);
                }
            }
        }
        return t;
    }
    const double step = NiceStep((r.hi - r.lo) / maxMajor);
    t.step = step;
    const double k0 = std::ceil(r.lo / step - 1e-9), k1 = std::floor(r.hi / step + 1e-9);
    for (double k = k0; k <= k1; k += 1.0) {
        double v = k * step;
        if (std::fabs(v) < step * 1e-9) v = 0.0;
        t.major.push_back(v);
    }
    if (minor > 0) {
        for (double k = k0 - 1.0; k <= k1; k += 1.0)
            for (int j = 1; j <= minor; ++j) {
                const double v = (k + static_cast<double>(j) / (minor + 1)) * step;
                if (v > r.lo && v < r.hi) t.minor.push_back(v);
            }
    }
    return t;
}

std::string TickLabel(double v, const Ticks& ticks, bool log) {
    if (v == 0.0) return "0";
    if (log) return fw::Format("%.6g", v);
    double largest = 0.0;
    for (double m : ticks.major) largest = std::max(largest, std::fabs(m));
    // Whole digits of the largest number and the decimals of the step.
    int digits = 1;
    if (ticks.step > 0.0 && largest > 0.0)
    {
        const int top = static_cast<int>(std::floor(std::log10(largest) + 1e-9));
        digits = std::max(top + 1, top - static_cast<int>(std::floor(std::log10(ticks.step) + 1e-9)) + 1);
    }
    digits = std::clamp(digits, 1, 15);
    return fw::Format("%.*g", digits, v);
}

DataPoint SnapToCurve(const PointSource& points, DataPoint mouse) {
    const size_t n = points.Count();
    if (n == 0) return mouse;
    for (size_t i = 0; i < n; ++i) {
        const double xi = points.X(i);
        if (!(mouse.x <= xi)) continue;
        if (i == 0) return {xi, points.Y(0)};
        const double xp = points.X(i - 1), yp = points.Y(i - 1), yi = points.Y(i);
        // xp < mouse.x <= xi, so the span is not empty.
        return {mouse.x, yp + (mouse.x - xp) * (yi - yp) / (xi - xp)};
    }
    return {points.X(n - 1), points.Y(n - 1)};
}

void FindExtremes(const PointSource& points, DataPoint& maximum, DataPoint& minimum) {
    maximum = minimum = DataPoint{};
    const size_t n = points.Count();
    bool any = false;
    for (size_t i = 0; i < n; ++i) {
        const double y = points.Y(i);
        if (std::isnan(y)) continue;
        if (!any) {
            maximum = minimum = {points.X(i), y};
            any = true;
            continue;
        }
        if (y > maximum.y) maximum = {points.X(i), y};
        if (y < minimum.y) minimum = {points.X(i), y};
    }
}

std::string GreenReadout(DataPoint g) { return fw::Format("Green:   %+7.3e  %+7.3e", g.x, g.y); }

std::string MagentaReadout(DataPoint m) { return fw::Format("Magenta: %+7.3e  %+7.3e", m.x, m.y); }

std::string DiffReadout(DataPoint g, DataPoint m) { return fw::Format("Diff: %+7.3e  %+7.3e", g.x - m.x, g.y - m.y); }

bool FitRange(const PointSource& points, Range& out) {
    const size_t n = points.Count();
    bool any = false;
    double lo = 0.0, hi = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double y = points.Y(i);
        if (!std::isfinite(y)) continue;
        if (!any) {
            lo = hi = y;
            any = true;
        } else {
            lo = std::min(lo, y);
            hi = std::max(hi, y);
        }
    }
    if (!any) return false;
    if (lo == hi && lo == 0.0) {
        out = {-0.05, 0.05};
        return true;
    }
    out = {lo - 0.05 * std::fabs(lo), hi + 0.05 * std::fabs(hi)};
    return true;
}

bool ClipSegment(Segment& s, double left, double top, double right, double bottom) {
    double t0 = 0.0, t1 = 1.0;
    const double dx = s.x1 - s.x0, dy = s.y1 - s.y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {s.x0 - left, right - s.x0, s.y0 - top, bottom - s.y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            if (t > t1) return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0) return false;
            t1 = std::min(t1, t);
        }
    }
    const Segment in = s;
    s.x0 = in.x0 + t0 * dx;
    s.y0 = in.y0 + t0 * dy;
    s.x1 = in.x0 + t1 * dx;
    s.y1 = in.y0 + t1 * dy;
    return true;
}

namespace {

// Far enough outside any plot to clip the same as infinity, small enough to
// keep the clipping arithmetic exact.
constexpr double kPixelLimit = 1e9;

struct Run {
    bool open = false;
    long long column = 0;
    double lastX = 0, lastY = 0, minY = 0, maxY = 0;
};

}  // namespace

void DecimateToColumns(const PointSource& points, const Axis& xAxis, const Axis& yAxis, const fw::Rect& plot,
                       std::vector<Segment>& out) {
    out.clear();
    if (plot.IsEmpty()) return;
    const double left = plot.left, top = plot.top, right = plot.right - 1, bottom = plot.bottom - 1;
    const double w = right - left, h = bottom - top;
    Axis xa = xAxis, ya = yAxis;
    xa.range = Normalized(xa.range, xa.log);
    ya.range = Normalized(ya.range, ya.log);

    auto emit = [&](Segment s) {
        if (ClipSegment(s, left, top, right, bottom)) out.push_back(s);
    };
    // A column is one stroke from its lowest to its highest point, a dot
    // when they meet.
    auto close = [&](const Run& r) {
        if (r.open) emit({double(r.column), r.minY, double(r.column), r.maxY});
    };

    Run run;
    const size_t n = points.Count();
    for (size_t i = 0; i < n; ++i) {
        const double x = points.X(i), y = points.Y(i);
        if (!std::isfinite(x) || !std::isfinite(y)) {
            close(run);
            run.open = false;
            continue;
        }
        const double px = std::clamp(left + xa.ToFraction(x) * w, -kPixelLimit, kPixelLimit);
        const double py = std::clamp(bottom - ya.ToFraction(y) * h, -kPixelLimit, kPixelLimit);
        // Every point left or right of the plot shares one column there.
        long long column = px < left - 0.5 ? plot.left - 1 : px > right + 0.5 ? plot.right : std::llround(px);
        if (run.open && column == run.column) {
            run.lastX = px;
            run.lastY = py;
            run.minY = std::min(run.minY, py);
            run.maxY = std::max(run.maxY, py);
            continue;
        }
        Run next{true, column, px, py, py, py};
        if (run.open) {
            close(run);
            // A neighbouring point joins by the stroke of its column; a
            // farther one by a line.
            if (std::fabs(px - run.lastX) <= 1.5) {
                next.minY = std::min(py, run.lastY);
                next.maxY = std::max(py, run.lastY);
            } else {
                emit({run.lastX, run.lastY, px, py});
            }
        }
        run = next;
    }
    close(run);
}

}  // namespace chart
