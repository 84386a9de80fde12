// Discovery and the identity read on a simulated bus whose devices come from the fuzzer: their
// attributes, paths (and so the detail sizes), strings and report lengths, devices that leave
// the bus and come back mid-search, a sizing query that lies, and platform calls that fail.
// Whatever the bus holds, a found device is one the program accepts, each identity caption is
// the device's own string as far as the read carries it, and every handle, list and preparsed
// block is given back exactly once.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/Require.h"
#include "hidlink/DeviceIdentity.h"
#include "hidlink/HidLink.h"
#include "hidlink/sim/SimClock.h"
#include "hidlink/sim/SimDevice.h"
#include "hidlink/sim/SimulatedBus.h"
#include "window/headless/HeadlessWindow.h"

namespace {

using fuzz::Require;

// Leaves the bus after a number of platform calls and comes back after some more.
class WanderingDevice : public sim::SimDevice {
  public:
    WanderingDevice(sim::DeviceDescription d, int leaveAfter, int backAfter)
        : SimDevice(std::move(d)), leaveAfter_(leaveAfter), backAfter_(backAfter) {}

    void Advance(std::int64_t /*nowMs*/) override {
        ++calls_;
        if (calls_ == leaveAfter_)
            LeaveBus();
        if (calls_ == leaveAfter_ + backAfter_)
            JoinBus();
    }

  private:
    int leaveAfter_;
    int backAfter_;
    int calls_ = 0;
};

std::optional<std::u16string> MaybeString(FuzzedDataProvider& input) {
    if (!input.ConsumeBool())
        return std::nullopt;
    std::u16string s(input.ConsumeIntegralInRange<std::size_t>(0, 70), u'\0');
    for (char16_t& c : s)
        c = input.ConsumeIntegral<char16_t>();
    return s;
}

std::uint16_t OneOf(FuzzedDataProvider& input, std::initializer_list<const std::uint16_t> usual) {
    return input.ConsumeBool() ? input.PickValueInArray(usual)
                               : input.ConsumeIntegral<std::uint16_t>();
}

sim::DeviceDescription Describe(FuzzedDataProvider& input, int index) {
    sim::DeviceDescription d;
    // Unique, so that the found path names one device; any length and any bytes before that.
    d.path = input.ConsumeRandomLengthString(300) + "#" + std::to_string(index);
    d.vendorId = OneOf(input, {hidlink::kDrivantaVendorId, 0x046D});
    d.productId = OneOf(input, {0x1020, 0x2232, 0x2233, 0xB02E});
    d.versionNumber = input.ConsumeIntegral<std::uint16_t>();
    d.manufacturer = MaybeString(input);
    d.product = MaybeString(input);
    d.serialNumber = MaybeString(input);
    d.featureReportByteLength = input.ConsumeIntegral<std::uint16_t>();
    d.present = input.ConsumeBool();
    d.openable = input.ConsumeBool();
    return d;
}

const char* const kFallibleCalls[] = {"SetupDiGetClassDevsA",
                                      "SetupDiEnumDeviceInterfaces",
                                      "SetupDiGetDeviceInterfaceDetailA",
                                      "CreateFileA",
                                      "HidD_GetAttributes",
                                      "HidD_GetPreparsedData",
                                      "HidP_GetCaps",
                                      "HidD_GetManufacturerString",
                                      "HidD_GetProductString",
                                      "HidD_GetSerialNumberString"};

const hidlink::DeviceProfile kProfiles[] = {
    {hidlink::ServodiagAccepts, hidlink::NoDeviceRule::BlankAll, 100},
    {hidlink::AmpflashAccepts, hidlink::NoDeviceRule::BlankVersionSpace, 0},
    {hidlink::WheelflashAccepts, hidlink::NoDeviceRule::LeaveUntouched, 0},
};

ui::FormLayout IdentityLabels() {
    ui::FormLayout layout;
    for (const char* name : {"lblManuf", "lblProduct", "lblSerialNumber", "lblVersion"})
        layout.controls.push_back(ui::MakeControl(name, ui::ControlKind::Label, "-", 0, 0, 9, 9));
    return layout;
}

// The caption for a string the device holds, as far as a read of kStringReadLength bytes carries
// it: a space, then each character's low byte in the ANSI code page, up to a zero low byte.
std::string Caption(const std::u16string& s) {
    std::string caption = " ";
    for (std::size_t i = 0; i < s.size() && 2 * (i + 1) <= hidlink::kStringReadLength; ++i) {
        const auto low = static_cast<std::uint8_t>(s[i] & 0xFF);
        if (low == 0)
            break;
        hidlink::AppendUtf8(caption, hidlink::Windows1252ToUnicode(low));
    }
    return caption;
}

// The caption must be the string of the device that the read answered from.
void CheckCaption(const sim::SimulatedBus& bus, const ui::HeadlessWindow& window, const char* call,
                  const char* label, const std::u16string* string) {
    const std::vector<sim::Call> reads = bus.CallsNamed(call);
    if (reads.empty() || reads.back().result != 1)
        return;
    Require(string != nullptr, "a string read succeeded for a device without that string");
    Require(window.Text(label) == Caption(*string), "identity caption is not the device's string");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    sim::VirtualClock clock;
    sim::SimulatedBus bus(clock);
    std::vector<std::shared_ptr<sim::SimDevice>> devices;
    const int deviceCount = input.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < deviceCount; ++i) {
        const sim::DeviceDescription d = Describe(input, i);
        const int leaveAfter = input.ConsumeIntegralInRange(0, 40);
        devices.push_back(
            std::make_shared<WanderingDevice>(d, leaveAfter, input.ConsumeIntegralInRange(1, 40)));
        bus.AddDevice(devices.back());
    }
    if (input.ConsumeBool())
        // Too small for the record, or larger than the path: never gigabytes, as no platform
        // holds such a path.
        bus.OverrideRequiredDetailSize(input.ConsumeIntegralInRange<std::uint32_t>(0, 1024));
    const int failures = input.ConsumeIntegralInRange(0, 4);
    for (int i = 0; i < failures; ++i) {
        bus.FailNth(input.PickValueInArray(kFallibleCalls), input.ConsumeIntegralInRange(1, 8));
    }
    const hidlink::DeviceProfile& profile = input.PickValueInArray(kProfiles);

    hidlink::HidLink link;
    ui::HeadlessWindow window(IdentityLabels());
    const bool found = hidlink::FindTheHid(link, bus, profile);
    Require(found == link.DeviceDetected, "the search's result and the link disagree");
    if (found)
        Require(profile.accepts(link.Attributes), "found a device the program does not accept");

    hidlink::RefreshDeviceInfo(link, bus, profile, window);
    if (found) {
        // The identity is read on the overlapped handle; its device answers.
        const sim::SimDevice* device = nullptr;
        for (const auto& d : devices) {
            if (d->Description().path == link.DevicePath && d->Description().present) {
                device = d.get();
                break;
            }
        }
        if (device != nullptr) {
            const sim::DeviceDescription& d = device->Description();
            auto of = [](const std::optional<std::u16string>& s) { return s ? &*s : nullptr; };
            CheckCaption(bus, window, "HidD_GetManufacturerString", "lblManuf", of(d.manufacturer));
            CheckCaption(bus, window, "HidD_GetProductString", "lblProduct", of(d.product));
            CheckCaption(bus, window, "HidD_GetSerialNumberString", "lblSerialNumber",
                         of(d.serialNumber));
        }
    }

    // Closing again, as a second unload would, must not close anything twice.
    hidlink::CloseDevice(link, bus);
    hidlink::CloseDevice(link, bus);
    Require(bus.HandleProblems().empty(), "handle, list or preparsed data not given back once");
    return 0;
}
