// The figures of one `make bench` run: each printed as `metric <name> <value> <unit>` the moment
// it is taken, and all of them written to a JSON file at the end. A figure judged against a floor
// measured in the same run comes with two more: `<name>.floor` and `<name>.ratio`. A figure whose
// run did not do its job is `metric <name> not-measured (<reason>)`, and a target is judged
// against its figure once all are in.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace bench {

struct Metric {
    std::string name;
    double value = 0;
    std::string unit;
};

struct Failure {
    std::string name;
    std::string reason;
};

// The most a figure may be. Judged in the full run only: the short run's sizes are too small.
struct Target {
    std::string name;
    double atMost = 0;
};

class MetricReport {
  public:
    void Add(const std::string& name, double value, const std::string& unit);
    // The figure, the same work's floor on this machine now, and the figure over the floor.
    void AddWithFloor(const std::string& name, double value, double floor, const std::string& unit);
    // A measurement that could not be taken, or whose run failed, with the reason.
    void Fail(const std::string& name, const std::string& reason);
    bool AnyFailed() const { return !failures_.empty(); }
    // How many figures were added or failed: a measurement that leaves it unchanged took nothing.
    std::size_t Taken() const { return metrics_.size() + failures_.size(); }
    // Prints `target <name> <value> <= <atMost>: met` (or `MISSED`, or `not measured` when the
    // figure is missing) for each; returns how many were not met.
    std::size_t Judge(const std::vector<Target>& targets);
    // Prints what the run comes to: the figures not measured, and the targets missed.
    void PrintSummary() const;
    // {"metrics": [{"name", "value", "unit"}...], "not_measured": [{"name", "reason"}...],
    //  "targets": [{"name", "at_most", "met"}...]}
    bool WriteJson(const std::string& path) const;

  private:
    const Metric* Find(const std::string& name) const;

    std::vector<Metric> metrics_;
    std::vector<Failure> failures_;
    std::vector<std::pair<Target, bool>> judged_;
};

// Wall time on the monotonic clock, and the CPU time of the whole process and of the calling
// thread, in microseconds. On a shared machine the CPU times are the program's own cost; wall
// time adds whatever else runs.
double WallMicroseconds();
double CpuMicroseconds();
double ThreadCpuMicroseconds();

// The middle value: a cost taken many times over, without the rare one the machine stretched.
double Median(std::vector<double> values);

}  // namespace bench
