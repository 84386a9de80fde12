// `make bench`: every figure of the programs' speed and memory, one line each, and a JSON file.
//   bench-metrics <output.json> [<servodiag-sim>]
// Without servodiag-sim the three minutes of its memory watch are left out. BENCH_ONLY=<text>
// takes only the measurements whose name holds the text, to profile one of them.
#include <cstdlib>
#include <functional>
#include <iostream>
#include <string>
#include <utility>

#include "bench/DiscoveryMetrics.h"
#include "bench/MetricReport.h"
#include "bench/RssGrowth.h"
#include "bench/ServodiagMetrics.h"
#include "bench/UpdaterMetrics.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: " << argv[0] << " <output.json> [<servodiag-sim>]\n";
        return 2;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const char* only = std::getenv("BENCH_ONLY");
    auto wanted = [&](const std::string& name) {
        return only == nullptr || name.find(only) != std::string::npos;
    };
    bench::MetricReport report;
    // First: its start is the process's start.
    if (wanted("first_paint"))
        bench::MeasureFirstPaint(report);
    bench::RssGrowth rss(argc > 2 && wanted("rss") ? argv[2] : "");

    const std::pair<const char*, std::function<void(bench::MetricReport&)>> measurements[] = {
        {"servodiag.us_per_tick.headless", bench::MeasureHeadlessTick},
        {"cpu_us_per_record", bench::MeasureUpdaterCpu},
        {"discovery.us_per_interface.sim", bench::MeasureSimDiscovery},
        {"discovery.us_per_interface.hidraw", bench::MeasureHidrawDiscovery},
        {"gui.qt.us_per_record", bench::MeasureQtProgress},
        {"servodiag.us_per_tick.qt", bench::MeasureQtTick},
        {"ampflash.realclock.ratio", bench::MeasureAmpflashRealClock},
    };
    for (const auto& [name, measure] : measurements) {
        if (wanted(name))
            measure(report);
    }
    if (argc > 2 && wanted("rss"))
        rss.Finish(report);

    if (!report.WriteJson(argv[1])) {
        std::cerr << "cannot write " << argv[1] << '\n';
        return 1;
    }
    return report.AnyFailed() ? 1 : 0;
}
