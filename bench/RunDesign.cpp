// Headless runner: runs a design's turn-on transient for a number of switching cycles and
// prints one line of key=value figures, measured over the last tenth of the run; for every
// regression design also the time a steady-state run needs to its steady state against the
// time a turn-on run needs to settle.
//   pq_run_design DESIGN.SEF [--cycles N] [--kind 0|1] [--export FILE]   a turn-on (0, the
//                                default) or steady-state (1) run of N cycles
//   pq_run_design DESIGN.SEF --kind 2..5 [--export FILE]   a frequency sweep with the design's
//                                stimulus; prints sweep_s=<wall s> points=<plotted points>
//   pq_run_design                 every regression design of tests/designs
//   pq_run_design --write DIR     writes every regression design to DIR/<name>.SEF, runs none
// A design that cannot run gives its message on stderr and a non-zero exit.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <ctime>
#include <thread>

#include "analysis/frequency/AnalFSwp.h"
#include "analysis/timedomain/AnalFigures.h"
#include "designs/AnalHeadless.h"
#include "analysis/timedomain/AnalTime.h"
#include "app/AnalEngineLink.h"
#include "circuit/AnalCfg.h"
#include "circuit/AppServices.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"
#include "designs/SteadyStart.h"
#include "designs/StepEnergy.h"
#include "graphs/GraphMgr.h"
#include "graphs/GraphPageRun.h"
#include "graphs/GraphTxt.h"
#include "platform/core/ReportSink.h"
#include "records/Utils.h"

namespace {

constexpr double kDefaultCycles = 2000;

double PeakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;  // kB on Linux
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// With an export the design runs as the program runs it: the document's start, the worker
// thread, the graph store behind the page; the run's end is the worker's end-of-run post.
class HeadlessProgram : public CAppServices, public fw::ReportSink {
public:
    void SetDocument(CPwrQuorraDoc*) override {}
    void RefreshMainFrame(int) override {}
    BOOL IsLoggingOn() override { return FALSE; }
    intptr_t GetMainWindowHandle() override { return 1; }
    void ServeWorkerRequests() override {}
    void MessageBox(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    bool AskYesNo(const std::string&) override { return true; }
    void Beep() override {}
    bool PostToMainWindow(uint32_t message, intptr_t, intptr_t) override {
        if (message == WM_ANALYSIS_DONE) {
            // The run ends for the program when the worker posts its end, not when this
            // thread next looks: the look's latency is no part of the run.
            std::lock_guard<std::mutex> lock(mutex);
            doneAt = std::chrono::steady_clock::now();
            done = true;
            ended.notify_all();
        }
        return true;
    }
    void WaitForTheEnd() {
        std::unique_lock<std::mutex> lock(mutex);
        ended.wait(lock, [this] { return done; });
    }
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    std::chrono::steady_clock::time_point doneAt;
};

struct ExportRun {
    bool ran = false;
    double seconds = 0.0;
    int64_t steps = 0;
};

ExportRun RunWithExport(CPwrQuorraDoc& doc, double cycles, CRunFigures& fig, const std::string& exportPath) {
    ExportRun result;
    HeadlessProgram program;
    CAppServices* previousApp = SetAppServices(&program);
    fw::ScopedReportSink scoped(&program);
    InstallAnalysisEngine(doc);
    const double period = 1.0 / doc.GetRequirements()->GetSwitchingFrequency();
    doc.GetAnalysisConfig()->m_dTime = cycles * period;
    doc.GetThreadParams().pGraphSink = &GraphMgr();
    CRunGraphPage page;
    page.CreatePage();  // the start rebuilds it with the run's graphs
    fig = CRunFigures(FigureWindowStart(cycles * period));
    std::atomic<int64_t> steps{0};
    SetTimeStepObserver([&](const AnalysisContext& c) {
        fig.Observe(c);
        ++steps;
    });
    // Timed from the start, as the engine-only run: the fill before it is not the run's work.
    auto start = std::chrono::steady_clock::now();
    if (doc.PrepareAnalysis() && CheckAnalysisCanRun(doc) && (start = std::chrono::steady_clock::now(), true) &&
        doc.StartAnalysis()) {
        GraphMgr().SetRunning(TRUE);
        program.WaitForTheEnd();
        result.seconds = std::chrono::duration<double>(program.doneAt - start).count();
        doc.EndAnalysis();
        GraphMgr().SetRunning(FALSE);
        result.ran = doc.GetRunStatus() == 1;
    } else {
        doc.EndAnalysis();
    }
    SetTimeStepObserver(nullptr);
    result.steps = steps;
    if (result.ran) {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        result.ran = SaveGraphsAsTextFile(GraphMgr(), exportPath, *doc.GetAnalysisConfig(), doc.GetPathName(), local);
    }
    SetAppServices(previousApp);
    return result;
}

int RunSweep(CPwrQuorraDoc& doc, const std::string& name, int32_t kind, const std::string& exportPath) {
    CAnalysisConfig& config = *doc.GetAnalysisConfig();
    config.SetAnalysisKind(kind);
    // As the Analysis dialog's start does: the run's graphs take the kind's own settings.
    const int first = 8 + 4 * (kind - CAnalysisConfig::KIND_VOLTAGE_LOOP);
    for (int i = 0; i < 4; ++i) *config.GetGraphCfg(4 + i) = *config.GetGraphCfg(first + i);
    HeadlessRun run;
    if (exportPath.empty()) {
        // The graph store the program's start builds: a sweep measures each plotted quantity
        // to convergence, so without it every frequency would stop after three windows. The
        // page takes the run's graphs only while a run or the Analysis dialog holds the
        // design, as the program's start does; without them the sweep would miss the graphs'
        // ends and measure other frequencies than the program.
        CRunGraphPage page;
        doc.SetAnalysisSetupOpen(TRUE);
        page.CreatePage();
        GraphMgr().RebuildPage();
        doc.SetAnalysisSetupOpen(FALSE);
        GraphMgr().SetRunning(TRUE);
        InstallFrequencyDrivers();
        run = RunDesignHeadless(doc, 0, nullptr, &GraphMgr());
        GraphMgr().SetRunning(FALSE);
        for (const std::string& m : run.messages) std::fprintf(stderr, "%s: %s\n", name.c_str(), m.c_str());
    } else {
        CRunFigures unused(0.0);
        const ExportRun e = RunWithExport(doc, 1.0, unused, exportPath);
        run.ran = e.ran;
        run.seconds = e.seconds;
        if (!e.ran) run.problem = "the run or its export failed";
    }
    if (!run.ran) {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), run.problem.empty() ? "the run failed" : run.problem.c_str());
        return 1;
    }
    std::printf("design=%s kind=%d sweep_s=%.3f points=%d steps=%lld\n", name.c_str(), kind, run.seconds,
                LastSweepPointCount(), static_cast<long long>(LastSweepStepCount()));
    return 0;
}

int RunOne(const std::string& path, const std::string& name, double cycles, const std::string& exportPath,
           int32_t kind = -1, bool energy = false) {
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenDesignHeadless(path, &problem);
    if (!doc) {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), problem.c_str());
        return 1;
    }
    if (kind >= CAnalysisConfig::KIND_VOLTAGE_LOOP) return RunSweep(*doc, name, kind, exportPath);
    // The figures are a turn-on run's, whatever analysis the design keeps.
    if (kind == CAnalysisConfig::KIND_STEADY_STATE || kind == CAnalysisConfig::KIND_TURN_ON)
        doc->GetAnalysisConfig()->SetAnalysisKind(kind);
    else if (!doc->GetAnalysisConfig()->IsTimeDomain())
        doc->GetAnalysisConfig()->SetAnalysisKind(CAnalysisConfig::KIND_TURN_ON);
    CRunFigures fig(0.0);
    HeadlessRun run;
    StepEnergyLedger ledger;
    if (exportPath.empty()) {
        bool windowSet = false;
        TimeStepObserver observer = nullptr;
        if (energy)
            observer = [&ledger, &windowSet](const AnalysisContext& c) {
                if (!windowSet) ledger.windowStart = FigureWindowStart(c.pSettings->endTime), windowSet = true;
                ledger.Observe(c);
            };
        run = RunDesignHeadless(*doc, cycles, &fig, nullptr, observer);
    } else {
        const ExportRun e = RunWithExport(*doc, cycles, fig, exportPath);
        run.ran = e.ran;
        run.seconds = e.seconds;
        run.steps = e.steps;
        if (!e.ran) run.problem = "the run or its export failed";
    }
    if (!run.ran) {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), run.problem.empty() ? "the run failed" : run.problem.c_str());
        return 1;
    }
    for (const std::string& m : run.messages) std::fprintf(stderr, "%s: %s\n", name.c_str(), m.c_str());
    std::printf(
        "design=%s cycles=%g us_per_cycle=%.2f steps_per_cycle=%.1f peak_rss_mb=%.1f vout_avg=%.6g vout_pp=%.6g "
        "il_pp=%.6g ipk=%.6g duty=%.5f vclamp=%.6g im_turn_on_spread=%.3g vbulk_max=%.6g vbulk_pp=%.6g "
        "line_conduction=%.4f line_power=%.6g line_current=%.6g output_power=%.6g efficiency=%.5f draw_avg=%.6g\n",
        name.c_str(), cycles, run.seconds * 1e6 / cycles, static_cast<double>(run.steps) / cycles, PeakRssMb(),
        fig.OutputAverage(), fig.OutputPeakToPeak(), fig.ChokePeakToPeak(), fig.PrimaryPeak(), fig.Duty(),
        fig.ClampAverage(), fig.MagnetizingAtTurnOnSpread(), fig.BulkMax(), fig.BulkMax() - fig.BulkMin(),
        fig.LineConduction(), fig.InputPower(), fig.InputCurrentAverage(), fig.OutputPower(), fig.Efficiency(),
        fig.DrawAverage());
    // Each storage element's backward-Euler step loss over the same window (StepEnergy.h).
    if (energy)
        std::printf(
            "design=%s step_loss_transformer=%.4g step_loss_transformer_commutation=%.4g step_loss_choke=%.4g "
            "step_loss_output_capacitor=%.4g step_loss_bulk_capacitor=%.4g\n",
            name.c_str(), ledger.Power(StepEnergyLedger::kTransformer),
            ledger.span > 0.0 ? ledger.transformerCommutation / ledger.span : 0.0,
            ledger.Power(StepEnergyLedger::kChoke), ledger.Power(StepEnergyLedger::kOutputCapacitor),
            ledger.Power(StepEnergyLedger::kBulkCapacitor));
    return 0;
}

// Time to the steady state: a steady-state run's start (the initialisation and its first
// period) against the periods a turn-on run needs before its output stays within a tolerance of
// its settled values, the same share of that run's wall time. Two tolerances: 0.5 %, and the one
// the precise start reached (at least 0.01 %), which is the fair comparison: a turn-on run that
// settles to 0.5 % has not reached the point the steady-state run starts from.
int RunSteady(const std::string& path, const std::string& name, double cycles) {
    constexpr double kTolerance = 0.005;
    constexpr double kFinestTolerance = 0.0001;
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenDesignHeadless(path, &problem);
    if (!doc) {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), problem.c_str());
        return 1;
    }
    TurnOnRun on = RunTurnOn(*doc, cycles);
    // With an AC line or a load sine the state repeats over the source's period: averages
    // over that cycle.
    const int32_t cycle = SourceCyclePeriods(*doc);
    // A turn-on run still moving at its end settles to nothing: a design that charges slowly
    // (the lockout design's bulk) is run for its own analysis time where that is longer.
    if (on.run.ran && on.PeriodsToSettle(kTolerance, cycle) >= static_cast<int32_t>(on.periodAverages.size())) {
        TurnOnRun own = RunTurnOn(*doc, 0.0);
        if (own.run.ran && own.periodAverages.size() > on.periodAverages.size()) on = std::move(own);
    }
    const SteadyStartRun precise = RunSteadyStart(*doc, CAnalysisConfig::INIT_SLOW_PRECISE, cycle);
    const SteadyStartRun quick = RunSteadyStart(*doc, CAnalysisConfig::INIT_FAST, cycle);
    // A design whose steady-state run the engine refuses has nothing to compare: said, not failed.
    if (on.run.ran && !precise.run.ran && !quick.run.ran && !precise.run.problem.empty()) {
        std::printf("design=%s kind1=refused\n", name.c_str());
        std::fprintf(stderr, "%s: %s\n", name.c_str(), precise.run.problem.c_str());
        return 0;
    }
    if (!on.run.ran || !precise.run.ran || !quick.run.ran) {
        std::fprintf(stderr, "%s: the steady-state comparison did not run\n", name.c_str());
        return 1;
    }
    const OutputPoint settled = cycle > 1 ? on.MeanOfLast(cycle) : on.settled;
    const auto off = [&](const SteadyStartRun& r) {
        return std::max(std::fabs(r.firstAverage.vout / settled.vout - 1.0),
                        std::fabs(r.firstAverage.il / settled.il - 1.0));
    };
    const double perPeriod =
        on.run.seconds / static_cast<double>(std::max<size_t>(on.periodAverages.size(), 1));
    const double kind0 = perPeriod * on.PeriodsToSettle(kTolerance, cycle);
    const double reached = std::max(off(precise), kFinestTolerance);
    const int32_t periodsSame = on.PeriodsToSettle(reached, cycle);
    const double kind0Same = perPeriod * periodsSame;
    std::printf(
        "design=%s tolerance=%g kind0_periods_to_settle=%d kind0_settle_ms=%.3f same_tolerance=%.5f "
        "kind0_same_tolerance_periods=%d kind0_same_tolerance_ms=%.3f kind1_precise_ms=%.3f "
        "kind1_precise_first_period_off=%.5f kind1_quick_ms=%.3f kind1_quick_first_period_off=%.5f kind1_faster=%s\n",
        name.c_str(), kTolerance, on.PeriodsToSettle(kTolerance, cycle), kind0 * 1e3, reached, periodsSame,
        kind0Same * 1e3, precise.run.seconds * 1e3, off(precise), quick.run.seconds * 1e3, off(quick),
        precise.run.seconds < kind0Same ? "yes" : "no");
    return 0;
}

// A design that keeps a frequency analysis also runs its sweep.
int RunStoredSweep(const std::string& path, const std::string& name) {
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenDesignHeadless(path, &problem);
    if (!doc) return 0;  // told by the turn-on run already
    const int32_t kind = doc->GetAnalysisConfig()->GetAnalysisKind();
    return kind >= CAnalysisConfig::KIND_VOLTAGE_LOOP ? RunSweep(*doc, name, kind, "") : 0;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: pq_run_design [DESIGN.SEF [--cycles N] [--kind 0..5] [--export FILE] [--energy]] | "
                 "--write DIR\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string design, exportPath, writeDir;
    bool energy = false;
    double cycles = kDefaultCycles;
    int32_t kind = -1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--cycles" && i + 1 < argc) {
            char* end = nullptr;
            cycles = std::strtod(argv[++i], &end);
            if (!end || *end || !(cycles >= 1.0)) return Usage();
        } else if (arg == "--kind" && i + 1 < argc) {
            char* end = nullptr;
            kind = static_cast<int32_t>(std::strtol(argv[++i], &end, 10));
            if (!end || *end || kind < 0 || kind > 5) return Usage();
        } else if (arg == "--energy") {
            energy = true;
        } else if (arg == "--write" && i + 1 < argc) {
            writeDir = argv[++i];
        } else if (arg == "--export" && i + 1 < argc) {
            exportPath = argv[++i];
        } else if (!arg.empty() && arg[0] != '-' && design.empty()) {
            design = arg;
        } else {
            return Usage();
        }
    }
    if (!writeDir.empty()) {
        int failures = 0;
        for (const RegressionDesign& d : RegressionDesigns())
            if (!WriteRegressionDesign(d, writeDir + "/" + d.name + ".SEF")) {
                std::fprintf(stderr, "%s: the design could not be written\n", d.name);
                ++failures;
            }
        return failures ? 1 : 0;
    }
    if (!design.empty()) return RunOne(design, BaseName(design), cycles, exportPath, kind, energy);
    if (!exportPath.empty() || kind >= 0 || energy) return Usage();

    int failures = 0;
    for (const RegressionDesign& d : RegressionDesigns()) {
        const std::string path = "/tmp/pq_run_design_" + std::to_string(::getpid()) + "_" + d.name + ".SEF";
        if (!WriteRegressionDesign(d, path)) {
            std::fprintf(stderr, "%s: the design could not be written\n", d.name);
            ++failures;
            continue;
        }
        failures += RunOne(path, d.name, cycles, exportPath);
        failures += RunSteady(path, d.name, cycles);
        failures += RunStoredSweep(path, d.name);
        std::remove(path.c_str());
    }
    return failures ? 1 : 0;
}
