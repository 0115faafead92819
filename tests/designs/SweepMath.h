// Gain and phase of a measured or modelled complex response, for the sweep tests.
#pragma once

#include <cmath>
#include <complex>
#include <numbers>

inline double Db(std::complex<double> h) { return 20.0 * std::log10(std::abs(h)); }
inline double Deg(std::complex<double> h) { return std::arg(h) * 180.0 / std::numbers::pi; }
// A measured phase against the expected one, folded into (-180, 180].
inline double PhaseOff(double measured, double expected) { return std::remainder(measured - expected, 360.0); }
