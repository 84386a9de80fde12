// The memory a running servodiag-sim gains over time: started first, it runs offscreen while
// the other figures are taken, and its resident size is read at minute 1 and minute 3.
#pragma once

#include <sys/types.h>

#include <string>

#include "bench/MetricReport.h"

namespace bench {

class RssGrowth {
  public:
    // Starts the program; an empty path or a failed start leaves nothing to measure.
    explicit RssGrowth(const std::string& program);
    ~RssGrowth();
    RssGrowth(const RssGrowth&) = delete;
    RssGrowth& operator=(const RssGrowth&) = delete;

    // Waits for minute 3 of the program's run, then reports and ends it.
    void Finish(MetricReport& report);

  private:
    void SleepUntil(double secondsSinceStart) const;
    void Stop();

    pid_t child_ = -1;
    double startUs_ = 0;
};

}  // namespace bench
