#include "GadgetProtocol.h"

#include <linux/usb/ch9.h>
#include <linux/usb/functionfs.h>

#include <algorithm>

namespace kerneltest::gadget {

namespace {

constexpr std::uint8_t kHidClass = 0x03;
constexpr std::uint8_t kHidDescriptorType = 0x21;
constexpr std::uint8_t kReportDescriptorType = 0x22;
constexpr std::uint8_t kGetReport = 0x01;
constexpr std::uint8_t kSetIdle = 0x0A;
constexpr std::uint8_t kSetReport = 0x09;
constexpr std::uint8_t kFeatureReportType = 0x03;
// bmRequestType of class requests to the interface, each direction.
constexpr std::uint8_t kClassInterfaceIn = USB_DIR_IN | USB_TYPE_CLASS | USB_RECIP_INTERFACE;
constexpr std::uint8_t kClassInterfaceOut = USB_DIR_OUT | USB_TYPE_CLASS | USB_RECIP_INTERFACE;
constexpr std::uint8_t kStandardInterfaceIn = USB_DIR_IN | USB_TYPE_STANDARD | USB_RECIP_INTERFACE;

void PutLe16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutLe32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

// Interface, HID class descriptor and endpoint for one speed; the endpoint polls every
// millisecond (one frame at full speed, 2^(4-1) microframes at high speed).
void PutInterface(std::vector<std::uint8_t>& out, std::uint16_t reportDescriptorLength,
                  std::uint8_t interval) {
    const std::uint8_t interface[] = {
        USB_DT_INTERFACE_SIZE, USB_DT_INTERFACE, 0, 0, 1, kHidClass, 0, 0, 0};
    out.insert(out.end(), std::begin(interface), std::end(interface));
    const std::vector<std::uint8_t> hid = HidDescriptor(reportDescriptorLength);
    out.insert(out.end(), hid.begin(), hid.end());
    const std::uint8_t endpoint[] = {USB_DT_ENDPOINT_SIZE,
                                     USB_DT_ENDPOINT,
                                     USB_DIR_IN | 1,
                                     USB_ENDPOINT_XFER_INT,
                                     64,
                                     0,
                                     interval};
    out.insert(out.end(), std::begin(endpoint), std::end(endpoint));
}

}  // namespace

Decoded Decode(const SetupRequest& s) {
    const std::uint8_t type = static_cast<std::uint8_t>(s.value >> 8);
    const auto id = static_cast<std::uint8_t>(s.value & 0xFF);
    if (s.requestType == kStandardInterfaceIn && s.request == USB_REQ_GET_DESCRIPTOR) {
        if (type == kReportDescriptorType)
            return {Step::SendReportDescriptor};
        if (type == kHidDescriptorType)
            return {Step::SendHidDescriptor};
    }
    if (s.requestType == kClassInterfaceIn && s.request == kGetReport &&
        type == kFeatureReportType) {
        return {Step::GetFeature, id};
    }
    if (s.requestType == kClassInterfaceOut && s.request == kSetReport &&
        type == kFeatureReportType) {
        return {Step::SetFeature, id};
    }
    if (s.requestType == kClassInterfaceOut && s.request == kSetIdle && s.length == 0)
        return {Step::Acknowledge};
    return {Step::Stall};
}

std::vector<std::uint8_t> GetReportData(const std::vector<std::uint8_t>& report,
                                        std::uint16_t requested) {
    const bool numbered = !report.empty() && report[0] != 0;
    auto begin = report.begin() + (numbered || report.empty() ? 0 : 1);
    const auto available = static_cast<std::size_t>(report.end() - begin);
    return std::vector<std::uint8_t>(
        begin, begin + static_cast<std::ptrdiff_t>(std::min<std::size_t>(available, requested)));
}

std::vector<std::uint8_t> ReportFromSetData(std::uint8_t reportId,
                                            const std::vector<std::uint8_t>& data) {
    if (reportId != 0)
        return data;
    std::vector<std::uint8_t> report{0x00};
    report.insert(report.end(), data.begin(), data.end());
    return report;
}

std::vector<std::uint8_t> HidDescriptor(std::uint16_t reportDescriptorLength) {
    std::vector<std::uint8_t> d = {9, kHidDescriptorType, 0x11, 0x01, 0, 1, kReportDescriptorType};
    PutLe16(d, reportDescriptorLength);
    return d;
}

std::vector<std::uint8_t> FunctionDescriptors(std::uint16_t reportDescriptorLength) {
    std::vector<std::uint8_t> fullSpeed;
    PutInterface(fullSpeed, reportDescriptorLength, 1);
    std::vector<std::uint8_t> highSpeed;
    PutInterface(highSpeed, reportDescriptorLength, 4);

    std::vector<std::uint8_t> out;
    PutLe32(out, FUNCTIONFS_DESCRIPTORS_MAGIC_V2);
    const std::size_t header = 4 * 5;  // magic, length, flags, two counts
    PutLe32(out, static_cast<std::uint32_t>(header + fullSpeed.size() + highSpeed.size()));
    PutLe32(out, FUNCTIONFS_HAS_FS_DESC | FUNCTIONFS_HAS_HS_DESC);
    PutLe32(out, 3);  // descriptors per speed
    PutLe32(out, 3);
    out.insert(out.end(), fullSpeed.begin(), fullSpeed.end());
    out.insert(out.end(), highSpeed.begin(), highSpeed.end());
    return out;
}

std::vector<std::uint8_t> NoStrings() {
    std::vector<std::uint8_t> out;
    PutLe32(out, FUNCTIONFS_STRINGS_MAGIC);
    PutLe32(out, 16);
    PutLe32(out, 0);
    PutLe32(out, 0);
    return out;
}

}  // namespace kerneltest::gadget
