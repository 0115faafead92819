// Every waveform variable the Analysis dialog offers for a design is written with its value at
// every step: watched at every step of each regression design in both time-domain kinds and of
// a sweep that switches one section of a base design to each of its other variants. A few
// switching periods per run are enough to see a quantity move.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "analysis/context/AnalContext.h"
#include "analysis/context/AnalVarTable.h"
#include "circuit/AnalCfg.h"
#include "circuit/CtlSec.h"
#include "circuit/Doc.h"
#include "circuit/LinFil.h"
#include "designs/AnalHeadless.h"
#include "designs/Designs.h"
#include "graphs/EquData.h"
#include "graphs/EquDlg.h"
#include "records/Utils.h"

namespace {

#ifdef PQ_SANITIZE
constexpr double kCycles = 2;
#else
constexpr double kCycles = 3;
#endif

// The ids the Analysis dialog's availability walk offers for the design.
std::set<int> OfferedIds(CPwrQuorraDoc& doc) {
    // The ids are read through the name table, as while the Analysis dialog is open.
    static CTimeVarNameTable names;
    static const CTimeVarCatalogue catalogue;
    CTimeVarNameTable* const before = g_pTimeVarNameTable;
    g_pTimeVarNameTable = &names;
    std::set<int> ids;
    auto take = [&](VarGroup g, int n) {
        const int list = SelectVarList(doc, g, n);
        const CVarIdList* l = list >= 0 ? catalogue.GetList(list) : nullptr;
        if (!l) return;
        for (int i = 0; i < l->GetCount(); ++i) {
            uint16_t id = 0;
            if (l->GetId(i, id)) ids.insert(id);
        }
    };
    const int lineType = doc.GetLineFilter()->GetLineSourceType();
    const int phases = lineType == 3 ? 3 : lineType == 2 ? 2 : 1;
    for (int p = 0; p < phases; ++p) {
        take(VarGroup::LineSource, p);
        take(VarGroup::LineFilter, p);
    }
    for (VarGroup g : {VarGroup::LineRectifier, VarGroup::InputCapacitor, VarGroup::PrimarySection,
                       VarGroup::VoltageErrorAmp, VarGroup::OptoIsolator, VarGroup::ControlSection})
        take(g, 0);
    for (VarGroup g : {VarGroup::SecondarySection, VarGroup::OutputChoke, VarGroup::FirstStageFilter,
                       VarGroup::SecondStageFilter, VarGroup::LoadNetwork})
        for (int k = 1; k <= 4; ++k)
            if (doc.GetRequirements()->IsOutputEnabled(k - 1)) take(g, k);
    g_pTimeVarNameTable = before;
    return ids;
}

// Offered ids that may stay at one value in every run here, each with its reason.
const std::map<int, const char*> kMayStayConstant = {
    {323, "the model gives the capacitor sense's reset rectifier no current"},
    {440, "the current loop's injection is 0 without an injection source"},
    {479, "the error offset/injection is 0 without an injection source"},
    {483, "the opto-isolator's reference is DC in these designs"},
    {484, "the opto-isolator's reference is DC in these designs"},
    {508, "the opto-isolator's driver source is DC in these designs (one taken from an output follows it)"},
    {509, "the opto-isolator's bias is a DC source"},
};

struct Watched {
    double first = NOT_SET;
    bool moved = false;
    bool everSet = false;
};

// What the runs saw of each offered id.
struct Seen {
    std::set<int> offered;
    std::set<int> moved;
    std::map<int, std::string> unwritten;  // id -> the first run that ended with it unwritten
    std::vector<std::string> notRun;
};

// Runs the document for a few periods of `kind`, watching each offered id at every step.
void Watch(CPwrQuorraDoc& doc, int32_t kind, const std::string& label, Seen* seen) {
    doc.GetAnalysisConfig()->SetAnalysisKind(kind);
    const std::set<int> offered = OfferedIds(doc);
    std::map<int, Watched> watch;
    std::vector<std::pair<const double*, Watched*>> slots;
    const HeadlessRun run = RunDesignHeadless(doc, kCycles, nullptr, nullptr, [&](const AnalysisContext& c) {
        if (slots.empty())
            for (int id : offered) slots.push_back({GetWaveformAddress(c, id), &watch[id]});
        for (auto& [p, w] : slots) {
            const double v = *p;
            if (v == NOT_SET) continue;
            if (!w->everSet) {
                w->everSet = true;
                w->first = v;
            } else if (v != w->first) {
                w->moved = true;
            }
        }
    });
    if (run.ran != 1) {
        seen->notRun.push_back(label + ": " + run.problem);
        return;
    }
    if (std::getenv("PQ_WATCH_DEBUG")) {
        std::string still, unset;
        for (int id : offered) {
            if (!watch[id].everSet) unset += std::to_string(id) + " ";
            else if (!watch[id].moved) still += std::to_string(id) + " ";
        }
        std::printf("%s: %d steps, %zu offered; unwritten: %s; still: %s\n", label.c_str(), (int)run.steps,
                    offered.size(), unset.c_str(), still.c_str());
    }
    for (int id : offered) {
        seen->offered.insert(id);
        const Watched& w = watch[id];
        if (!w.everSet && !seen->unwritten.count(id)) seen->unwritten[id] = label;
        if (w.moved) seen->moved.insert(id);
    }
}

struct Variant {
    const char* section;
    void (*base)(CPwrQuorraDoc&);
    std::function<CSection*(CPwrQuorraDoc&)> get;
    int first, last;
    bool steady = false;  // a turn-on run's first periods leave it quiet: run the steady state too
};

// Each section of a base design switched to each of its variants. Two are refused on these
// bases and run as regression designs instead: the half-wave doubler (ac_doubler) and hysteretic
// control, which needs the choke as its current feedback (hysteretic).
const std::vector<Variant>& Variants() {
    static const std::vector<Variant> v = {
        {"line filter", &BuildAcBridge, [](CPwrQuorraDoc& d) -> CSection* { return d.GetLineFilter(); }, 0, 9},
        {"line rectifier", &BuildAcBridge, [](CPwrQuorraDoc& d) -> CSection* { return d.GetLineRectifier(); }, 1, 5},
        {"input capacitor", &BuildAcBridge, [](CPwrQuorraDoc& d) -> CSection* { return d.GetInputCapacitor(); }, 0, 1},
        {"input capacitor", &BuildAcDoubler, [](CPwrQuorraDoc& d) -> CSection* { return d.GetInputCapacitor(); }, 2, 3},
        {"primary", &BuildFirstConfiguration, [](CPwrQuorraDoc& d) -> CSection* { return d.GetPrimarySection(); }, 0, 9},
        {"output choke", &BuildFirstConfiguration, [](CPwrQuorraDoc& d) -> CSection* { return d.GetOutputChoke1(); }, 0, 1},
        {"first stage filter", &BuildFirstConfiguration,
         [](CPwrQuorraDoc& d) -> CSection* { return d.Get1StgOutputFilter1(); }, 0, 3},
        {"second stage filter", &BuildFirstConfiguration,
         [](CPwrQuorraDoc& d) -> CSection* { return d.Get2StgOutputFilter1(); }, 0, 6},
        {"load network", &BuildFirstConfiguration, [](CPwrQuorraDoc& d) -> CSection* { return d.GetLoadNetwork1(); }, 0, 3},
        {"control", &BuildFirstConfiguration, [](CPwrQuorraDoc& d) -> CSection* { return d.GetControlSection(); }, 0, 4},
        {"voltage error amp", &BuildFirstConfiguration,
         [](CPwrQuorraDoc& d) -> CSection* { return d.GetVoltageErrorAmp(); }, 0, 7},
        {"opto-isolator", &BuildOptoLoop, [](CPwrQuorraDoc& d) -> CSection* { return d.GetOptoIsolator(); }, 0, 5,
         true},
    };
    return v;
}

std::string Ids(const std::set<int>& ids) {
    std::string s;
    for (int id : ids) s += std::to_string(id) + " ";
    return s;
}

TEST(WaveformVariables, EveryOfferedVariableIsWrittenAndMoves) {
    Seen seen;
    for (const RegressionDesign& d : RegressionDesigns()) {
        for (int32_t kind : {CAnalysisConfig::KIND_TURN_ON, CAnalysisConfig::KIND_STEADY_STATE}) {
            CPwrQuorraDoc doc;
            doc.OnNewDocument();
            d.build(doc);
            Watch(doc, kind, std::string(d.name) + (kind ? " steady" : " turn-on"), &seen);
        }
    }
    for (const Variant& v : Variants()) {
        for (int t = v.first; t <= v.last; ++t) {
            CPwrQuorraDoc doc;
            doc.OnNewDocument();
            v.base(doc);
            v.get(doc)->SetTopology(static_cast<WORD>(t));
            doc.CheckAllSections();
            const std::string label = std::string(v.section) + " " + std::to_string(t);
            Watch(doc, CAnalysisConfig::KIND_TURN_ON, label + " turn-on", &seen);
            if (v.steady) Watch(doc, CAnalysisConfig::KIND_STEADY_STATE, label + " steady", &seen);
        }
    }
    std::string unwritten;
    for (const auto& [id, run] : seen.unwritten) unwritten += std::to_string(id) + " (" + run + ") ";
    EXPECT_EQ(unwritten, "");
    std::set<int> still;
    for (int id : seen.offered)
        if (!seen.moved.count(id) && !kMayStayConstant.count(id))
            still.insert(id);
    EXPECT_EQ(Ids(still), "");
    // Only the two refusals the sweep's bases are known for (their variants run as regression
    // designs); anything else refused would leave a variant unwatched.
    std::string notRun;
    for (const std::string& r : seen.notRun)
        if (r.rfind("line rectifier 3 ", 0) != 0 && r.rfind("control 3 ", 0) != 0) notRun += r + "\n";
    EXPECT_EQ(notRun, "");
}

}  // namespace

namespace {

// The value behind an id at the step the observer sees.
double Var(const AnalysisContext& c, int id) { return *GetWaveformAddress(c, id); }

std::unique_ptr<CPwrQuorraDoc> Design(void (*build)(CPwrQuorraDoc&), int32_t kind) {
    auto doc = std::make_unique<CPwrQuorraDoc>();
    doc->OnNewDocument();
    build(*doc);
    doc->GetAnalysisConfig()->SetAnalysisKind(kind);
    return doc;
}

// The bridge's two lower diodes return to the bulk's return rail what its two upper ones
// deliver (KCL over the bridge, whose neutral floats), so the negative rectifier's current is
// the positive one's at every step, while the bulk charges through them at turn-on.
TEST(WaveformVariables, NegativeRectifierCarriesTheBridgesReturnCurrent) {
    auto doc = Design(&BuildAcBridge, CAnalysisConfig::KIND_TURN_ON);
    double peak = 0.0, worst = 0.0;
    const HeadlessRun run = RunDesignHeadless(*doc, kCycles, nullptr, nullptr, [&](const AnalysisContext& c) {
        const double negative = Var(c, 55), positive = Var(c, 58);
        peak = std::max(peak, std::fabs(negative));
        worst = std::max(worst, std::fabs(negative - positive));
        EXPECT_EQ(Var(c, 108), negative);  // the input capacitor's low-side view of it
    });
    ASSERT_EQ(run.ran, 1) << run.problem;
    EXPECT_GT(peak, 1.0);
    EXPECT_LT(worst, 1e-6 * peak);
}

// The bulk capacitor's voltage follows its own current: over the run, C·dV = I·dt, summed
// over the steps (backward Euler takes each step's current over that step).
TEST(WaveformVariables, BulkCapacitorVoltageIntegratesItsCurrent) {
    for (void (*build)(CPwrQuorraDoc&) : {&BuildFirstConfiguration, &BuildAcDoubler}) {
        auto doc = Design(build, CAnalysisConfig::KIND_TURN_ON);
        double first = NOT_SET, last = 0.0, charge = 0.0, c = 0.0;
        // Three periods whatever the build: the bulk must move measurably, and it is cheap.
        const HeadlessRun run = RunDesignHeadless(*doc, 3.0, nullptr, nullptr, [&](const AnalysisContext& x) {
            const double v = Var(x, 82);
            if (first == NOT_SET) {
                first = v;
                c = x.pLineSourceInput->outputCapacitance;
            } else {
                charge += Var(x, 81) * x.stepState.inverseTimeStepTermA;
            }
            last = v;
        });
        ASSERT_EQ(run.ran, 1) << run.problem;
        ASSERT_GT(std::fabs(last - first), 0.1);
        EXPECT_NEAR(last - first, charge / c, 0.01 * std::fabs(last - first));
    }
}

// The line voltage behind the line's impedance follows the open line through the drop-out
// (48 V, 0 V from 1 ms of a run from the steady state): near 48 V before it, near 0 V once
// the bridge has stopped.
TEST(WaveformVariables, LineVoltageFollowsTheLineThroughADropout) {
    auto doc = Design(&BuildLineDropout, CAnalysisConfig::KIND_STEADY_STATE);
    const HeadlessRun probe = RunDesignHeadless(*doc, 1.0, nullptr, nullptr);
    ASSERT_EQ(probe.ran, 1) << probe.problem;
    double before = 0.0, during = 0.0, last = 0.0;
    const HeadlessRun run =
        RunDesignHeadless(*doc, 1.1e-3 / probe.switchingPeriod, nullptr, nullptr, [&](const AnalysisContext& c) {
            const double t = c.stepState.time;
            if (t > 0.9e-3 && t < 1.0e-3) before = std::max(before, Var(c, 51));
            if (t > 1.02e-3) during = std::max(during, std::fabs(Var(c, 51)));
            last = t;
        });
    ASSERT_EQ(run.ran, 1) << run.problem;
    ASSERT_GT(last, 1.05e-3);
    EXPECT_NEAR(before, 48.0, 1.0);
    EXPECT_LT(during, 1.0);
}

// The PWM comparator's output is its logic level (the first configuration's 5 % of the bulk)
// while the drive is on and 0 while it is off, and it switches every period.
TEST(WaveformVariables, PwmComparatorOutputSwitchesWithTheDrive) {
    auto doc = Design(&BuildFirstConfiguration, CAnalysisConfig::KIND_STEADY_STATE);
    const CComparator& pwm = doc->GetControlSection()->GetComparator1();
    ASSERT_TRUE(pwm.m_nLogicVoltageInPercent);
    // The display quantities are taken where the graphs sample them, before the next step: the
    // value seen after a step belongs to the drive and the bulk of the step before it.
    int edges = 0;
    double previous = NOT_SET, bulk = NOT_SET;
    int32_t drive = -1;
    const HeadlessRun run = RunDesignHeadless(*doc, kCycles, nullptr, nullptr, [&](const AnalysisContext& c) {
        const double v = Var(c, 434);
        if (drive == 1) {
            EXPECT_NEAR(v, pwm.m_dLogicVoltage / 100.0 * bulk, 1e-9) << c.stepState.time;
        } else if (drive == 0) {
            EXPECT_EQ(v, 0.0) << c.stepState.time;
        }
        if (previous != NOT_SET && (v > 0.0) != (previous > 0.0)) ++edges;
        previous = v;
        drive = c.stepState.driveOn ? 1 : 0;
        bulk = Var(c, 89);
    });
    ASSERT_EQ(run.ran, 1) << run.problem;
    EXPECT_GE(edges, 2 * static_cast<int>(kCycles) - 1);
}

// The current transformer against its circuit, at every step of a design whose magnetising
// current droops the sensed one: the primary current I (119) splits into the magnetising
// current Im and the part the secondary carries, Is = n·(I - Im) (114 = 121 = 97; n = M/Ls,
// Lm = k²·Lp of the windings) while the
// rectifier conducts, nothing while it blocks; the core's voltage Lm·dIm/dt is the primary's
// (120) less its winding's drop and its leakage's (1 - k²)·Lp·dI/dt (where the switch state
// holds and no rectifier's change moved the primary's current between the steps, the path's
// current running on from the step before), and n times the secondary's (122)
// plus its winding's drop; the secondary's voltage is the burden's Rs·Is (98) plus the
// rectifier's (96).
TEST(WaveformVariables, SenseTransformerQuantitiesObeyItsCircuit) {
    auto doc = Design(&BuildSenseDroop, CAnalysisConfig::KIND_TURN_ON);
    double imPrev = NOT_SET, tPrev = NOT_SET, iPrev = NOT_SET, windingPrev = NOT_SET, peak = 0.0, droop = 0.0;
    int32_t conducting = 0, blocking = 0, statePrev = -1, leaking = 0;
    const HeadlessRun run = RunDesignHeadless(*doc, 20, nullptr, nullptr, [&](const AnalysisContext& c) {
        const PrimaryInputRec& pi = *c.pPrimaryInput;
        const double lp = c.primary.senseXfmrInductance, k = pi.senseXfmrCoupling;
        const double n = k * std::sqrt(lp / pi.senseXfmrSecondaryNominal);  // M/Ls
        const double rp = pi.senseXfmrWindingResistance, rsec = pi.senseXfmrSecondaryResistance;
        const double rs = pi.senseResistance;
        const double i = Var(c, 119), is = Var(c, 121), im = c.primary.senseXfmrCurrent, t = c.stepState.time;
        const double scale = 1e-9 * std::max(1.0, std::fabs(i));
        EXPECT_EQ(i, c.primary.switch1Current);
        EXPECT_EQ(Var(c, 114), is);
        EXPECT_EQ(Var(c, 97), is);
        EXPECT_NEAR(Var(c, 98), rs * is, 1e-12);
        EXPECT_NEAR(Var(c, 122), Var(c, 98) + Var(c, 96), 1e-12);
        const double state = c.primary.switchState;
        const bool held = state == statePrev && state != 1 && iPrev != NOT_SET &&
                          c.primarySnapshot.primaryWindingCurrent == windingPrev;
        const double leakage = held ? (1.0 - k * k) * lp * (i - iPrev) / (t - tPrev) : 0.0;
        const double core = Var(c, 120) - rp * i - leakage;
        if (held || state == 1) {
            leaking += held && leakage != 0.0;
            EXPECT_NEAR(core, n * (Var(c, 122) + rsec * is), 1e-9 * std::max(1.0, std::fabs(Var(c, 120)))) << t;
        }
        if (c.engine.senseTransformerConducting) {
            ++conducting;
            EXPECT_NEAR(is, n * (i - im), scale) << t;
            if (imPrev != NOT_SET && held) {
                EXPECT_NEAR(core, k * k * lp * (im - imPrev) / (t - tPrev),
                            1e-6 * std::max(1.0, std::fabs(core)))
                    << t;
            }
            peak = std::max(peak, is);
            droop = std::max(droop, im / std::max(i, 1e-12));
        } else {
            ++blocking;
            EXPECT_EQ(is, 0.0) << t;
        }
        imPrev = im;
        tPrev = t;
        iPrev = c.primary.transformerPrimaryCurrent;
        windingPrev = c.primary.primaryWindingCurrent;
        statePrev = c.primary.switchState;
    });
    ASSERT_EQ(run.ran, 1) << run.problem;
    EXPECT_GT(leaking, 20);
    EXPECT_GT(conducting, 20);
    EXPECT_GT(blocking, 20);
    EXPECT_GT(peak, 0.0);
    EXPECT_GT(droop, 0.1);  // the magnetising current takes a visible share
}

}  // namespace
