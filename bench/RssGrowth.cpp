#include "bench/RssGrowth.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace bench {

namespace {

// VmRSS of /proc/<pid>/status, in kB; -1 when the process is gone.
long ResidentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

}  // namespace

RssGrowth::RssGrowth(const std::string& program, double firstSampleSeconds,
                     double lastSampleSeconds)
    : firstSampleSeconds_(firstSampleSeconds), lastSampleSeconds_(lastSampleSeconds) {
    if (program.empty())
        return;
    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::string(*e).rfind("QT_QPA_PLATFORM=", 0) != 0)
            environment.emplace_back(*e);
    }
    environment.emplace_back("QT_QPA_PLATFORM=offscreen");
    std::vector<char*> envp;
    for (std::string& e : environment)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string path = program;
    char* argv[] = {path.data(), nullptr};
    startUs_ = WallMicroseconds();
    if (::posix_spawn(&child_, path.c_str(), nullptr, nullptr, argv, envp.data()) != 0)
        child_ = -1;
}

RssGrowth::~RssGrowth() {
    Stop();
}

void RssGrowth::SleepUntil(double secondsSinceStart) const {
    const double remainingUs = startUs_ + secondsSinceStart * 1e6 - WallMicroseconds();
    if (remainingUs > 0)
        std::this_thread::sleep_for(std::chrono::microseconds(static_cast<long>(remainingUs)));
}

void RssGrowth::Finish(MetricReport& report) {
    const char* name = "servodiag.rss_growth_kb_per_hour";
    if (child_ < 0)
        return report.Fail(name, "servodiag-sim did not start");
    SleepUntil(firstSampleSeconds_);
    const long first = ResidentKb(child_);
    SleepUntil(lastSampleSeconds_);
    const long last = ResidentKb(child_);
    Stop();
    if (first < 0 || last < 0)
        return report.Fail(name, "servodiag-sim ended early");
    const double hours = (lastSampleSeconds_ - firstSampleSeconds_) / 3600;
    report.Add(name, static_cast<double>(last - first) / hours, "kB/h");
}

void RssGrowth::Stop() {
    if (child_ < 0)
        return;
    ::kill(child_, SIGTERM);
    ::waitpid(child_, nullptr, 0);
    child_ = -1;
}

}  // namespace bench
