// The run's winding bookkeeping for the losses of the power transformer (primary, reset and
// secondary windings), the output chokes, the line filter's inductors and each output's skim,
// second-stage, damping and load inductors (AnalMLoss.h for the equations): the slots reset
// at the run's start, seeded by the steady-state estimate, integrated every step and averaged
// at every switching period's end, where the effective resistances and core-loss resistances
// are handed to the transformer terms and the chokes.
//
// Which part's loss goes where. The power transformer's one core loss is the primary's
// (referred to the reset winding while that carries the core); its primary AC resistance with
// the primary's DC resistance, each secondary its own. A choke's core loss and AC resistance
// belong to its winding alone, not to the sense resistor, skim winding or series element in
// series with it. Only the windings whose parts have a loss are integrated and averaged; the
// others keep their DC resistances and no core-loss resistance, and the step builds them as
// it would without losses.
#pragma once

#include <cstdint>

#include "analysis/models/AnalMLoss.h"

class AnalysisContext;

// Every slot back to no period counted; active when some part has a loss to model.
void ResetMagneticLosses(AnalysisContext& ctx);
// The operating point's means for the primary, the secondaries and the chokes (the estimate's
// duty and currents): the transformer windings carry rectangular pulses of the duty, the choke
// its mean with a triangular ripple.
int32_t SeedMagneticLosses(AnalysisContext& ctx, double duty, double vin);
// The slots' present resistances into the transformer terms, and the step's starting values.
int32_t ApplyMagneticLosses(AnalysisContext& ctx);
// At the first step of a switching period: the means and resistances (codes 5904..5914,
// 5927..5930, messages 52173, 52174).
int32_t AverageMagneticLosses(AnalysisContext& ctx);
// After the transformer's solve: its windings' step integrals.
int32_t AccumulateTransformerWindings(AnalysisContext& ctx);
// After output j's solve: its choke winding's step integrals.
int32_t AccumulateChokeWinding(AnalysisContext& ctx, int32_t j, double current, double voltage);

// After the line side's solve: line filter inductor k of phase p (LineLossInductor), its own
// current and voltage.
int32_t AccumulateLineInductor(AnalysisContext& ctx, int32_t p, int k, double current, double voltage);
// After output j's solve: its inductor k (OutputLossInductor).
int32_t AccumulateOutputInductor(AnalysisContext& ctx, int32_t j, int k, double current, double voltage);

// A choke's loss values: its AC resistance, core loss and DC (winding) resistance.
WindingLossValues ChokeLossValues(const AnalysisContext& ctx, int32_t j);
