// `make bench`: every figure of the programs' speed and memory, one line each, and a JSON file.
//   bench-metrics [--short] <output.json> [<servodiag-sim>]
// --short takes each figure once at small sizes, to show that all of them can still be taken
// (the test command runs it; its timings mean nothing). Without servodiag-sim its memory watch is
// left out. BENCH_ONLY=<text> takes only the measurements whose name holds the text, to profile
// one of them; it fails when no measurement matches. The full run judges the figures against
// their targets; a target whose measurement did not run is not judged. Exits 1 when any figure
// could not be taken (its run failed), otherwise 3 when a target was missed, and 4 when the JSON
// file could not be written.
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "bench/ChartMetrics.h"
#include "bench/DiscoveryMetrics.h"
#include "bench/MetricReport.h"
#include "bench/OwnSettingsFolder.h"
#include "bench/RssGrowth.h"
#include "bench/RunSize.h"
#include "bench/ServodiagMetrics.h"
#include "bench/UpdaterMetrics.h"

namespace {

// What each figure should be on any machine: the ratios hold from one to another.
const std::vector<bench::Target> kTargets = {
    {"servodiag.us_per_tick.qt.ratio", 1.0},
    {"servodiag.chart.us_per_tick.10min.ratio", 1.2},
    {"servodiag.chart.us_per_tick.10min_over_10s", 2.0},
    {"ampflash.realclock.seconds.1500ms.ratio", 1.005},
    {"ampflash.realclock.seconds.100ms.ratio", 1.005},
    // The program's own pauses beyond the device's timeline, at most 0.91 s (docs/benchmarks.md).
    {"ampflash.realclock.seconds.1500ms.slept_beyond_device", 1.0},
    {"ampflash.realclock.seconds.100ms.slept_beyond_device", 1.0},
    {"discovery.us_per_interface.hidraw.ratio", 1.3},
    {"gui.qt.us_per_record", 10.0},
};

constexpr int kNotMeasured = 1;
constexpr int kWrongUsage = 2;
constexpr int kTargetMissed = 3;
constexpr int kNotWritten = 4;

}  // namespace

int main(int argc, char** argv) {
    int first = 1;
    const bool quick = argc > 1 && std::string(argv[1]) == "--short";
    if (quick)
        ++first;
    if (argc <= first) {
        std::cerr << "usage: " << argv[0] << " [--short] <output.json> [<servodiag-sim>]\n";
        return kWrongUsage;
    }
    const char* output = argv[first];
    const char* servodiagSim = argc > first + 1 ? argv[first + 1] : nullptr;
    const bench::RunSize& size = quick ? bench::kShortRun : bench::kFullRun;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const bench::OwnSettingsFolder settings;
    const char* only = std::getenv("BENCH_ONLY");
    auto wanted = [&](const std::string& name) {
        return only == nullptr || name.find(only) != std::string::npos;
    };
    bench::MetricReport report;
    // The measurements that ran: a target is judged only when its name begins with one of them.
    std::vector<std::string> ran;
    // First: its start is the process's start.
    if (wanted("first_paint")) {
        bench::MeasureFirstPaint(report);
        ran.emplace_back("servodiag.first_paint_ms");
    }
    const bool watchMemory = servodiagSim != nullptr && wanted("rss");
    if (watchMemory)
        ran.emplace_back("servodiag.rss");
    bench::RssGrowth rss(watchMemory ? servodiagSim : "", size.rssFirstSampleSeconds,
                         size.rssLastSampleSeconds);

    const std::pair<const char*, std::function<void(bench::MetricReport&, const bench::RunSize&)>>
        measurements[] = {
            {"servodiag.us_per_tick.headless", bench::MeasureHeadlessTick},
            {"cpu_us_per_record", bench::MeasureUpdaterCpu},
            {"discovery.us_per_interface.sim", bench::MeasureSimDiscovery},
            {"discovery.us_per_interface.hidraw", bench::MeasureHidrawDiscovery},
            {"gui.qt.us_per_record", bench::MeasureQtProgress},
            {"servodiag.us_per_tick.qt", bench::MeasureQtTick},
            {"servodiag.chart.us_per_tick", bench::MeasureChartTick},
            {"ampflash.realclock.seconds", bench::MeasureAmpflashRealClock},
        };
    for (const auto& [name, measure] : measurements) {
        if (!wanted(name))
            continue;
        const std::size_t taken = report.Taken();
        measure(report, size);
        ran.emplace_back(name);
        // A measurement that returns without a figure or a reason has lost one silently.
        if (report.Taken() == taken)
            report.Fail(name, "the measurement reported nothing");
    }
    if (watchMemory)
        rss.Finish(report);

    if (ran.empty()) {
        std::cerr << "BENCH_ONLY=" << only << " matches no measurement\n";
        return kWrongUsage;
    }

    std::vector<bench::Target> targets;
    for (const bench::Target& target : kTargets) {
        if (quick)
            break;
        const bool measured = std::any_of(ran.begin(), ran.end(), [&](const std::string& name) {
            return target.name.rfind(name, 0) == 0;
        });
        if (measured)
            targets.push_back(target);
        else
            std::cout << "target " << target.name << ": not judged (not measured in this run)\n";
    }
    const std::size_t missed = report.Judge(targets);
    report.PrintSummary();
    if (!report.WriteJson(output)) {
        std::cerr << "cannot write " << output << '\n';
        return kNotWritten;
    }
    if (report.AnyFailed())
        return kNotMeasured;
    return missed > 0 ? kTargetMissed : 0;
}
