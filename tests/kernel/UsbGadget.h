// A USB device on one of the kernel's virtual host controllers (dummy_hcd), built from a
// simulated device model: a configfs gadget with the model's vendor, product, release number and
// strings, and one FunctionFS function whose descriptors are one HID interface. Its ep0 is
// answered here, from the model: the report descriptor, GET_REPORT and SET_REPORT of feature
// reports, SET_IDLE. A GET_REPORT the model refuses is stalled; a SET_REPORT cannot be (FunctionFS
// completes it for the host once its data is read), so its refusal is only logged. When the model
// leaves the bus the gadget is unbound from its controller (UDC attribute), and when it comes back
// it is bound again with the model's new identity and report layout. The constructor returns once
// usbhid has made the device's hidraw node.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "GadgetProtocol.h"
#include "ModelCarrier.h"
#include "ServedModel.h"

namespace kerneltest {

struct GadgetOptions {
    int controller = 0;  // dummy_udc.<n>, seen by the host as the bus of dummy_hcd.<n>
    ReportIdsOf reportIds = FixedReportIds({});
    ServedModel::Clock clock = ServedModel::Clock::Real;
};

class UsbGadget : public ModelCarrier {
  public:
    // Throws std::runtime_error when the gadget cannot be made or bound, or no hidraw node
    // appears for it.
    UsbGadget(std::shared_ptr<sim::SimDevice> model, GadgetOptions options);
    ~UsbGadget() override;
    UsbGadget(const UsbGadget&) = delete;
    UsbGadget& operator=(const UsbGadget&) = delete;

    // The device's hidraw node now ("hidraw2"), or "" while it is off the bus.
    std::string Node() const override;

  private:
    void Build();
    void TearDown();
    // Writes the model's identity and the function's descriptors, then binds the gadget.
    void Attach();
    void Detach();
    void Serve();
    void HandleEvent();
    void Answer(const gadget::SetupRequest& request);

    GadgetOptions options_;
    std::string name_;
    std::string gadgetDir_;
    std::string mountDir_;
    std::vector<std::uint8_t> reportDescriptor_;
    int ep0_ = -1;
    int stop_ = -1;  // eventfd that ends Serve()
    bool attached_ = false;
    std::thread server_;
};

}  // namespace kerneltest
