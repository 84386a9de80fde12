// The figures of one `make bench` run: each printed as `metric <name> <value> <unit>` the moment
// it is taken, and all of them written to a JSON file at the end. A figure judged against a floor
// measured in the same run comes with two more: `<name>.floor` and `<name>.ratio`.
#pragma once

#include <string>
#include <vector>

namespace bench {

struct Metric {
    std::string name;
    double value = 0;
    std::string unit;
};

class MetricReport {
  public:
    void Add(const std::string& name, double value, const std::string& unit);
    // The figure, the same work's floor on this machine now, and the figure over the floor.
    void AddWithFloor(const std::string& name, double value, double floor, const std::string& unit);
    // A measurement that could not be taken, with the reason on standard error.
    void Fail(const std::string& name, const std::string& reason);
    bool AnyFailed() const { return failed_; }
    // How many figures were added or failed: a measurement that leaves it unchanged took nothing.
    std::size_t Taken() const { return metrics_.size() + failures_; }
    // {"metrics": [{"name": ..., "value": ..., "unit": ...}, ...]}
    bool WriteJson(const std::string& path) const;

  private:
    std::vector<Metric> metrics_;
    bool failed_ = false;
    std::size_t failures_ = 0;
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
