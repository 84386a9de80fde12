// What the scenarios need of a carrier, whichever way (uhid or a USB gadget) it puts a simulated
// model into the kernel.
#pragma once

#include <string>

#include "ServedModel.h"

namespace kerneltest {

class ModelCarrier {
  public:
    virtual ~ModelCarrier() = default;
    // The device's hidraw node now ("hidraw2"), or "" while it is off the bus.
    virtual std::string Node() const = 0;
    std::string DevicePath() const { return "/dev/" + Node(); }
    virtual ServedModel& Served() = 0;
};

}  // namespace kerneltest
