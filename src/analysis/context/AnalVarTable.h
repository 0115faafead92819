// Where each time-domain waveform variable lives: the catalogue ids 0-509 bound to the field
// of the context that holds the quantity. One table, in id order; the time-domain run builds
// its value-pointer table from it.
#pragma once

#include <cstdint>
#include <variant>

#include "analysis/context/AnalContext.h"

constexpr int kWaveformVariableCount = 510;

// A double field of one record kind.
using WaveformField = std::variant<double LinePhaseStateRec::*, double LineRectifierStateRec::*,
                                   double InputCapacitorStateRec::*, double PrimaryStateRec::*,
                                   double SecondaryWindingStateRec::*, double SecondaryRectifierStateRec::*,
                                   double OutputChokeStateRec::*, double OutputFilterStateRec::*,
                                   double LoadNetworkStateRec::*, double ControlStateRec::*,
                                   double ControlInputRec::*>;

struct WaveformBinding {
    int id;
    int instance;  // line phase or output number - 1; 0 for a record of which there is one
    WaveformField field;
};

// The whole table (kWaveformVariableCount rows, in id order).
const WaveformBinding* GetWaveformBindings();

// The address in `ctx` of waveform variable `id`, or nullptr for an id outside 0-509.
double* GetWaveformAddress(AnalysisContext& ctx, int id);
const double* GetWaveformAddress(const AnalysisContext& ctx, int id);
