// A wheel controller whose reports the test writes byte by byte, and which tells the test what
// it was asked and when.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <utility>
#include <vector>

#include "hidlink/sim/SimDevice.h"

namespace servodiag::testing {

class ScriptedWheel : public sim::SimDevice {
  public:
    struct Request {
        std::uint8_t reportId;
        std::uint32_t length;
    };

    explicit ScriptedWheel(std::uint16_t reportLength = 64)
        : sim::SimDevice(Describe(reportLength)),
          status(reportLength, 0),
          settings(reportLength, 0) {}

    // The bytes sent for each report; byte 0 is ignored (the request's ID stays).
    std::vector<std::uint8_t> status;
    std::vector<std::uint8_t> settings;

    std::vector<Request> requests;
    std::function<void()> onSearchStarts;  // the first bus call that reaches the devices
    std::function<void()> onGetFeature;
    std::function<void()> onHandleClosed;

    void Advance(std::int64_t) override {
        if (onSearchStarts)
            std::exchange(onSearchStarts, nullptr)();
    }

    bool GetFeature(std::uint8_t* report, std::uint32_t length, std::int64_t) override {
        requests.push_back({report[0], length});
        if (onGetFeature)
            onGetFeature();
        const std::vector<std::uint8_t>* source = report[0] == 17  ? &status
                                                  : report[0] == 8 ? &settings
                                                                   : nullptr;
        if (source == nullptr || length == 0 || source->size() != length)
            return false;
        std::memcpy(report + 1, source->data() + 1, length - 1);
        return true;
    }

    void HandleClosed(std::int64_t) override {
        if (onHandleClosed)
            onHandleClosed();
    }

  private:
    static sim::DeviceDescription Describe(std::uint16_t reportLength) {
        sim::DeviceDescription d;
        d.path = R"(\\?\hid#vid_1d47&pid_1020#scripted)";
        d.vendorId = 0x1D47;
        d.productId = 0x1020;
        d.versionNumber = 0x010A;
        d.manufacturer = u"Drivanta";
        d.product = u"Wheel";
        d.serialNumber = u"S1";
        d.featureReportByteLength = reportLength;
        return d;
    }
};

}  // namespace servodiag::testing
