// The USB side of a HID interface served from user space through FunctionFS: the descriptors
// written to ep0, and how the control requests usbhid sends on ep0 map to the model's feature
// reports. No system calls here: UsbGadget does the I/O.
#pragma once

#include <cstdint>
#include <vector>

namespace kerneltest::gadget {

// One control request as FunctionFS hands it over (FUNCTIONFS_SETUP), fields in host order.
struct SetupRequest {
    std::uint8_t requestType = 0;
    std::uint8_t request = 0;
    std::uint16_t value = 0;
    std::uint16_t index = 0;
    std::uint16_t length = 0;
};

enum class Step {
    SendReportDescriptor,  // GET_DESCRIPTOR of the report descriptor
    SendHidDescriptor,     // GET_DESCRIPTOR of the HID class descriptor
    GetFeature,            // GET_REPORT of a feature report
    SetFeature,            // SET_REPORT of a feature report
    Acknowledge,           // SET_IDLE: nothing to do
    Stall,                 // anything else
};

struct Decoded {
    Step step = Step::Stall;
    std::uint8_t reportId = 0;  // GetFeature and SetFeature
};

Decoded Decode(const SetupRequest& setup);

// The data stage of a GET_REPORT for the model's report (ID byte first): without the ID byte for
// a device without numbered reports, and never longer than the host asked for.
std::vector<std::uint8_t> GetReportData(const std::vector<std::uint8_t>& report,
                                        std::uint16_t requested);
// The model's report (ID byte first) from a SET_REPORT's data stage, which carries the ID byte
// only for numbered reports.
std::vector<std::uint8_t> ReportFromSetData(std::uint8_t reportId,
                                            const std::vector<std::uint8_t>& data);

// The HID class descriptor (9 bytes) that announces a report descriptor of this length.
std::vector<std::uint8_t> HidDescriptor(std::uint16_t reportDescriptorLength);
// What ep0 takes first: the descriptors of one HID interface with one interrupt IN endpoint, for
// full and high speed.
std::vector<std::uint8_t> FunctionDescriptors(std::uint16_t reportDescriptorLength);
// What ep0 takes second: no strings, no languages.
std::vector<std::uint8_t> NoStrings();

}  // namespace kerneltest::gadget
