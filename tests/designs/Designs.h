// The regression designs: each is built through the document's sections and written as a
// design file, so that it is read back as File Open reads it. Their tests hold the expected
// figures; the headless runner runs them all.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "analysis/context/AnalGraphSink.h"
#include "designs/AnalHeadless.h"

class CPwrQuorraDoc;
class C1StgOutputFilter;

struct RegressionDesign {
    const char* name;
    void (*build)(CPwrQuorraDoc& doc);
};

const std::vector<RegressionDesign>& RegressionDesigns();

// Builds the design in a new document and saves it to path; FALSE when it cannot be saved.
bool WriteRegressionDesign(const RegressionDesign& design, const std::string& path);
// The named design written to a scratch file and opened from it as File Open does; null, with
// the reason in problem, when it is unknown or cannot be written or read back.
std::unique_ptr<CPwrQuorraDoc> OpenRegressionDesign(const std::string& name, std::string* problem);

// A frequency sweep's stimulus: from start to stop (Hz), its points per decade and sine amplitude.
struct SweepStimulus {
    double start;
    double stop;
    int pointsPerDecade;
    double amplitude;
};
// A sweep's plotted points: quantity q on graph q (up to `quantities` of them), every graph
// spanning start to stop (Hz).
class SweepPoints : public CGraphSampleSink {
public:
    SweepPoints(double start, double stop, int quantities = 6) : start(start), stop(stop), quantities(quantities) {}
    std::map<int, std::map<double, double>> points;  // quantity -> frequency -> value
    double start, stop;
    int quantities;
    BOOL GetVariableGraph(int q, int& g) override {
        g = q;
        return q <= quantities;
    }
    double GetGraphStart(int) override { return start; }
    double GetGraphStop(int) override { return stop; }
    BOOL PlotSample(int g, double x, double y, double) override {
        points[g][x] = y;
        return TRUE;
    }
};

// Runs the design's frequency analysis of `kind` with that stimulus as the program runs it (the
// steady state first, then the sweep), its plotted points into sink.
HeadlessRun RunFrequencySweep(CPwrQuorraDoc& doc, int32_t kind, const SweepStimulus& stimulus,
                              CGraphSampleSink* sink);

// Output 1's voltage feedback taking the given per-cent weights from the modulator (its rectified
// voltage through an RC lag of `lag` seconds) and from the output; the sections checked again.
void FeedTheModulator(CPwrQuorraDoc& doc, double modulatorWeight, double outputWeight, double lag);

// The designs, one function each.
void BuildFirstConfiguration(CPwrQuorraDoc& doc);
void BuildBreakdownConfiguration(CPwrQuorraDoc& doc);
void BuildClosedLoopVoltageMode(CPwrQuorraDoc& doc);
void BuildCurrentLimit(CPwrQuorraDoc& doc);
void BuildOptoLoop(CPwrQuorraDoc& doc);
void BuildUvlo(CPwrQuorraDoc& doc);
void BuildAverageCurrent(CPwrQuorraDoc& doc);
void BuildPeakCurrent(CPwrQuorraDoc& doc);
void BuildFeedForward(CPwrQuorraDoc& doc);
void BuildPassiveClamp(CPwrQuorraDoc& doc);
void BuildResonantReset(CPwrQuorraDoc& doc);
void BuildFourOutputs(CPwrQuorraDoc& doc);
void BuildActiveClamp(CPwrQuorraDoc& doc);
void BuildResetWinding(CPwrQuorraDoc& doc);
void BuildAcBridge(CPwrQuorraDoc& doc);
void BuildAcDoubler(CPwrQuorraDoc& doc);
// The AC bridge's line (or the doubler's), rectifier, bulk and 10 uF output capacitor put on a
// design built on the first configuration.
void FeedFromAcLine(CPwrQuorraDoc& doc, bool doubler);
void BuildAcLoop(CPwrQuorraDoc& doc);
void BuildSkimChoke(CPwrQuorraDoc& doc);
void BuildLoadSource(CPwrQuorraDoc& doc);
void BuildTwoStage(CPwrQuorraDoc& doc);
void BuildCoupledChokes(CPwrQuorraDoc& doc);
void BuildVoltageLoop(CPwrQuorraDoc& doc);
void BuildHysteretic(CPwrQuorraDoc& doc);
void BuildCapacitorSense(CPwrQuorraDoc& doc);
// The capacitor-sense design's first stage (100 uF through a 1:100 current sense transformer)
// with its sense resistor and bias filter capacitor.
void SetCapacitorSenseStage(C1StgOutputFilter& f1, double senseResistance, double biasCapacitance);
void BuildHystereticCaps(CPwrQuorraDoc& doc);
void BuildLineDropout(CPwrQuorraDoc& doc);
void BuildLineFilter(CPwrQuorraDoc& doc);
void BuildSyncRectifier(CPwrQuorraDoc& doc);
// Output 1's rectifiers as transistors, rectifier 1's channel 20 mohm and rectifier 2's 30 mohm.
void MakeRectifiersSynchronous(CPwrQuorraDoc& doc);
// The same at 118 ohm: the choke's current reversed at the primary's turn-on.
void BuildSyncLightLoad(CPwrQuorraDoc& doc);
void BuildLoadStep(CPwrQuorraDoc& doc);
void BuildSaturatingChoke(CPwrQuorraDoc& doc);
// The power transformer's core of the first configuration's 200 uH up to knee A, falling
// linearly to 50 uH at twice that, flat beyond (to 20 A).
void SaturateTransformerCore(CPwrQuorraDoc& doc, double knee);
// Output 1's choke saturating onto a 40 uH plateau (100 uH to 0.3 A, 40 uH from 0.5 A to 20 A),
// or a plain 40 uH choke; the sections checked again.
void SetPlateauChoke(CPwrQuorraDoc& doc, bool saturating);
// The power transformer's primary and secondary 1 and output choke 1's DC and AC resistances
// (ohm) and core losses (W).
struct MagneticLosses {
    double primaryDc, primaryAc, secondaryDc, secondaryAc, transformerCore;
    double chokeDc, chokeAc, chokeCore;
};
void SetMagneticLosses(CPwrQuorraDoc& doc, const MagneticLosses& losses);
void BuildMagneticLosses(CPwrQuorraDoc& doc);
void BuildSenseDroop(CPwrQuorraDoc& doc);

class CCrntVoltSource;
// Output 1's load as the resistor (with 1 nH) beside a current source of sourceCurrent DC,
// behind a near-zero series branch (1 mohm, 1 nH); the source, for its AC part and table.
CCrntVoltSource& SetResistorBesideSource(CPwrQuorraDoc& doc, double resistance, double sourceCurrent);
