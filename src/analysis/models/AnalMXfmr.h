// Power transformer with N coupled secondaries, and the primary-side centre that joins it to
// the primary loop. Backward Euler, s = 1/h.
//
// Windings (Ip into the dotted primary end, Is[j] into the dotted end of secondary j;
// Lp, Ls[j] open-circuit inductances, M[j] = sigma·k[j]·sqrt(Lp·Ls[j]) primary-secondary,
// Mss[j][k] = k[j][k]·sqrt(Ls[j]·Ls[k]) secondary-secondary mutuals; "prev" start of step):
//     Vw    = Rp·Ip + Lp·s·(Ip - Ipprev) + sum_k M[k]·s·(Is[k] - Isprev[k])
//     Vs[j] = Rs[j]·Is[j] + Ls[j]·s·(Is[j] - Isprev[j]) + M[j]·s·(Ip - Ipprev)
//             + sum_{k!=j} Mss[j][k]·s·(Is[k] - Isprev[k])
// written as
//     Vw    = zpp·Ip + sum_k c[k]·Is[k] + ep
//     Vs[j] = m[j]·Ip + sum_k zs[j][k]·Is[k] + es[j]
// with zpp = Rp + Lp·s, c[k] = m[k] = M[k]·s, zs[j][j] = Rs[j] + Ls[j]·s, zs[j][k] = Mss[j][k]·s,
//     ep = -Lp·s·Ipprev - sum_k c[k]·Isprev[k],  es[j] = -m[j]·Ipprev - sum_k zs'[j][k]·Isprev[k]
// (zs' without the resistance).
//
// Centre: the primary loop of the present switch state gives the winding voltage as
// Vw = A·Ip + B. Equating it with the winding equation:
//     (A - zpp)·Ip = sum_k c[k]·Is[k] + ep - B
//     =>  Ip = sum_k a[k]·Is[k] + b,   kc = 1/(A - zpp),  a[k] = kc·c[k],  b = kc·(ep - B)
// and the secondaries seen with the primary loop closed:
//     Vs[j] = sum_k (zs[j][k] + m[j]·a[k])·Is[k] + (es[j] + m[j]·b)
// With the core-loss resistance across the centre's terminals (AnalMLoss.h) the centre sees
// the loop A', B' in its place; Ip is then the winding's own current, and the loop carries
// It = Ip + g·(A'·Ip + B').
#pragma once

#include <cstdint>

#include "analysis/context/AnalEngine.h"

// Winding terms of the step into zpp, ep, c, m, zs, es of the store.
int32_t CalcTransformerCoeffs(const TransformerParams& t, double s, double primaryCurrentPrev,
                              const double* secondaryCurrentPrev, EngineStore* st);
// The centre: needs loopA, loopB and the winding terms; writes a, b, zsr, esr.
int32_t BuildPrimaryCentre(int32_t outputs, EngineStore* st);
// Ip from the primary current row and the solved secondary currents.
double PrimaryCurrentFromRow(int32_t outputs, const EngineStore& st, const double* secondaryCurrent);
// The loop's current at the centre winding's terminals: its own current and the core-loss
// resistance's (AnalMLoss.h) at the winding's voltage.
double CentreTerminalCurrent(const EngineStore& st, double windingCurrent);
