// The memory a running servodiag-sim gains over time: started first, it runs offscreen while
// the other figures are taken, and its resident size is read twice (at minute 1 and minute 3 in
// the full run). Its chart's ten minutes of samples are allocated whole at its start, so the
// chart's memory is in both readings and any growth is memory the program loses.
#pragma once

#include <sys/types.h>

#include <string>

#include "bench/MetricReport.h"

namespace bench {

class RssGrowth {
  public:
    // Starts the program; an empty path or a failed start leaves nothing to measure.
    RssGrowth(const std::string& program, double firstSampleSeconds, double lastSampleSeconds);
    ~RssGrowth();
    RssGrowth(const RssGrowth&) = delete;
    RssGrowth& operator=(const RssGrowth&) = delete;

    // Waits for the last sample, then reports and ends the program.
    void Finish(MetricReport& report);

  private:
    void SleepUntil(double secondsSinceStart) const;
    void Stop();

    double firstSampleSeconds_;
    double lastSampleSeconds_;
    pid_t child_ = -1;
    double startUs_ = 0;
};

}  // namespace bench
