#include "bench/MetricReport.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <sstream>

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
    failures_.push_back({name, reason});
    std::cout << "metric " << name << " not-measured (" << reason << ')' << std::endl;
}

const Metric* MetricReport::Find(const std::string& name) const {
    for (const Metric& m : metrics_) {
        if (m.name == name)
            return &m;
    }
    return nullptr;
}

std::size_t MetricReport::Judge(const std::vector<Target>& targets) {
    std::size_t missed = 0;
    for (const Target& target : targets) {
        const Metric* figure = Find(target.name);
        const bool met = figure != nullptr && figure->value <= target.atMost;
        missed += met ? 0 : 1;
        judged_.emplace_back(target, met);
        std::cout << "target " << target.name << ' ';
        if (figure != nullptr)
            std::cout << std::setprecision(4) << figure->value << ' ';
        std::cout << "<= " << target.atMost << ": "
                  << (figure == nullptr ? "not measured"
                      : met             ? "met"
                                        : "MISSED")
                  << std::endl;
    }
    return missed;
}

void MetricReport::PrintSummary() const {
    for (const Failure& failure : failures_)
        std::cout << "NOT MEASURED: " << failure.name << " (" << failure.reason << ")\n";
    for (const auto& [target, met] : judged_) {
        if (!met)
            std::cout << "TARGET MISSED: " << target.name << " <= " << target.atMost << '\n';
    }
    if (failures_.empty() && std::all_of(judged_.begin(), judged_.end(),
                                         [](const auto& judged) { return judged.second; }))
        std::cout << "every figure measured" << (judged_.empty() ? "" : ", every target met")
                  << '\n';
    std::cout << std::flush;
}

namespace {

// Names and units are this program's own identifiers; reasons quote captions and may hold
// anything.
std::string JsonString(const std::string& text) {
    std::ostringstream out;
    out << '"' << std::hex << std::setfill('0');
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\')
            out << '\\' << c;
        else if (c == '\n')
            out << "\\n";
        else if (byte < 0x20)
            out << "\\u" << std::setw(4) << int(byte);
        else
            out << c;
    }
    out << '"';
    return out.str();
}

// JSON has no infinity and no NaN: a figure divided by a zero is no number.
std::string JsonNumber(double value) {
    if (!std::isfinite(value))
        return "null";
    std::ostringstream out;
    out << std::setprecision(6) << value;
    return out.str();
}

}  // namespace

bool MetricReport::WriteJson(const std::string& path) const {
    std::ofstream out(path);
    out << "{\n  \"metrics\": [";
    for (std::size_t i = 0; i < metrics_.size(); ++i) {
        const Metric& m = metrics_[i];
        out << (i == 0 ? "\n" : ",\n") << "    {\"name\": " << JsonString(m.name)
            << ", \"value\": " << JsonNumber(m.value) << ", \"unit\": " << JsonString(m.unit)
            << "}";
    }
    out << "\n  ],\n  \"not_measured\": [";
    for (std::size_t i = 0; i < failures_.size(); ++i) {
        out << (i == 0 ? "\n" : ",\n") << "    {\"name\": " << JsonString(failures_[i].name)
            << ", \"reason\": " << JsonString(failures_[i].reason) << "}";
    }
    out << "\n  ],\n  \"targets\": [";
    for (std::size_t i = 0; i < judged_.size(); ++i) {
        const auto& [target, met] = judged_[i];
        out << (i == 0 ? "\n" : ",\n") << "    {\"name\": " << JsonString(target.name)
            << ", \"at_most\": " << JsonNumber(target.atMost)
            << ", \"met\": " << (met ? "true" : "false") << "}";
    }
    out << "\n  ]\n}\n";
    return static_cast<bool>(out);
}

}  // namespace bench
