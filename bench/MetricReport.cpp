#include "bench/MetricReport.h"

#include <algorithm>
#include <ctime>
#include <fstream>
#include <iomanip>
#include <iostream>

namespace bench {

namespace {

double Microseconds(clockid_t clock) {
    timespec t{};
    ::clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

}  // namespace

double WallMicroseconds() {
    return Microseconds(CLOCK_MONOTONIC);
}

double CpuMicroseconds() {
    return Microseconds(CLOCK_PROCESS_CPUTIME_ID);
}

double ThreadCpuMicroseconds() {
    return Microseconds(CLOCK_THREAD_CPUTIME_ID);
}

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

void MetricReport::Add(const std::string& name, double value, const std::string& unit) {
    metrics_.push_back(Metric{name, value, unit});
    std::cout << "metric " << name << ' ' << std::setprecision(4) << value << ' ' << unit
              << std::endl;
}

void MetricReport::AddWithFloor(const std::string& name, double value, double floor,
                                const std::string& unit) {
    if (floor <= 0)
        return Fail(name + ".floor", "the floor took no time");
    Add(name, value, unit);
    Add(name + ".floor", floor, unit);
    Add(name + ".ratio", value / floor, "ratio");
}

void MetricReport::Fail(const std::string& name, const std::string& reason) {
    failed_ = true;
    ++failures_;
    std::cerr << "bench: " << name << " not measured: " << reason << std::endl;
}

// Names and units are this program's own identifiers: nothing in them needs escaping.
bool MetricReport::WriteJson(const std::string& path) const {
    std::ofstream out(path);
    out << "{\n  \"metrics\": [";
    for (std::size_t i = 0; i < metrics_.size(); ++i) {
        const Metric& m = metrics_[i];
        out << (i == 0 ? "\n" : ",\n") << "    {\"name\": \"" << m.name
            << "\", \"value\": " << std::setprecision(6) << m.value << ", \"unit\": \"" << m.unit
            << "\"}";
    }
    out << "\n  ]\n}\n";
    return static_cast<bool>(out);
}

}  // namespace bench
