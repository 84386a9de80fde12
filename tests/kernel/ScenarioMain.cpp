// The scenarios of the test machine: each prints one line, "scenario <name>: PASS" or
// "scenario <name>: FAIL <why>". Exits with 1 when any failed.
#include <cstdio>
#include <exception>
#include <functional>

#include "Scenarios.h"

namespace {

using kerneltest::Carrier;
using kerneltest::Verdict;

struct Scenario {
    const char* name;
    std::function<void(Verdict&)> run;
};

const Scenario kScenarios[] = {
    {"usb.identity", [](Verdict& v) { kerneltest::UsbIdentity(v); }},
    {"usb.servodiag", [](Verdict& v) { kerneltest::Servodiag(v, Carrier::Usb); }},
    {"usb.ampflash", [](Verdict& v) { kerneltest::Ampflash(v, Carrier::Usb); }},
    {"usb.wheelflash", [](Verdict& v) { kerneltest::Wheelflash(v, Carrier::Usb); }},
    {"usb.unplug", [](Verdict& v) { kerneltest::Unplug(v, Carrier::Usb); }},
    {"usb.two-devices", [](Verdict& v) { kerneltest::TwoDevices(v); }},
    {"usb.base-unit.wheelflash", [](Verdict& v) { kerneltest::BaseUnitWheelflash(v); }},
    {"uhid.ampflash", [](Verdict& v) { kerneltest::Ampflash(v, Carrier::Uhid); }},
    {"uhid.wheelflash", [](Verdict& v) { kerneltest::Wheelflash(v, Carrier::Uhid); }},
    {"uhid.unplug", [](Verdict& v) { kerneltest::Unplug(v, Carrier::Uhid); }},
};

}  // namespace

int main() {
    int failed = 0;
    for (const Scenario& s : kScenarios) {
        Verdict verdict;
        try {
            s.run(verdict);
        } catch (const std::exception& e) {
            verdict.Check(false, e.what());
        }
        if (verdict.Passed()) {
            std::printf("scenario %s: PASS\n", s.name);
        } else {
            std::printf("scenario %s: FAIL %s\n", s.name, verdict.Why().c_str());
            ++failed;
        }
        std::fflush(stdout);
    }
    return failed == 0 ? 0 : 1;
}
