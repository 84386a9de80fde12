// The hidraw backend against the running kernel: devices created through uhid (and, for the
// refusals over USB, as USB gadgets) and served by the simulated device models, found, opened,
// read and written with the programs' own discovery code. Run as the only program of a small
// virtual machine (run-kernel-tests.sh).
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "UhidDevice.h"
#include "UsbGadget.h"
#include "ampflash/Reports.h"
#include "hidlink/DeviceIdentity.h"
#include "hidlink/HidLink.h"
#include "hidlink/platform/linux/HidrawApi.h"
#include "servodiag/Layout.h"
#include "servodiag/StatusReport.h"
#include "simdevices/Amplifier.h"
#include "simdevices/Bystanders.h"
#include "simdevices/WheelController.h"
#include "window/headless/HeadlessWindow.h"

namespace {

using hidlink::HidLink;
using hidlink::hidraw::HidrawApi;
using kerneltest::Exchange;
using kerneltest::UhidDevice;

const hidlink::DeviceProfile kServodiag{hidlink::ServodiagAccepts, hidlink::NoDeviceRule::BlankAll,
                                        100};
const hidlink::DeviceProfile kAmpflash{hidlink::AmpflashAccepts,
                                       hidlink::NoDeviceRule::BlankVersionSpace, 0};
const hidlink::DeviceProfile kWheelflash{hidlink::WheelflashAccepts,
                                         hidlink::NoDeviceRule::LeaveUntouched, 0};

constexpr std::uint8_t kStatusId = 17;
constexpr std::uint8_t kCommandId = 8;
constexpr std::uint8_t kAmplifierDataId = 0x40;

std::size_t OpenDescriptors() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

int NodeNumber(const std::string& node) {
    return std::stoi(node.substr(std::string("hidraw").size()));
}

// Another vendor's interface that every program passes over; it enumerates first.
std::unique_ptr<UhidDevice> MakeBystander() {
    std::shared_ptr<sim::SimDevice> headset = simdevices::MakeHeadset();
    headset->MutableDescription().serialNumber = u"HS-7731";
    headset->MutableDescription().featureReportByteLength = 9;
    return std::make_unique<UhidDevice>(
        headset, kerneltest::UhidOptions{BUS_BLUETOOTH, kerneltest::FixedReportIds({1})});
}

std::shared_ptr<simdevices::WheelController> MakeWheel(std::uint16_t productId) {
    simdevices::WheelControllerOptions options;
    options.productId = productId;
    return std::make_shared<simdevices::WheelController>(options);
}

std::unique_ptr<UhidDevice> Serve(std::shared_ptr<sim::SimDevice> model,
                                  std::uint16_t bus = BUS_VIRTUAL) {
    const bool isAmplifier = model->Description().productId == 0x2233;
    std::vector<std::uint8_t> ids = isAmplifier
                                        ? std::vector<std::uint8_t>{kCommandId, kAmplifierDataId}
                                        : std::vector<std::uint8_t>{kCommandId, kStatusId};
    return std::make_unique<UhidDevice>(
        std::move(model), kerneltest::UhidOptions{bus, kerneltest::FixedReportIds(ids)});
}

// --- discovery and identity, per program -------------------------------------------------------

struct ProgramCase {
    const char* name;
    const hidlink::DeviceProfile* profile;
    std::shared_ptr<sim::SimDevice> (*makeModel)();
    std::uint16_t bus;
};

void PrintTo(const ProgramCase& c, std::ostream* out) {
    *out << c.name;
}

std::shared_ptr<sim::SimDevice> ServodiagWheel() {
    return MakeWheel(0x1020);
}
std::shared_ptr<sim::SimDevice> ServodiagWheelWithoutSerial() {
    std::shared_ptr<sim::SimDevice> wheel = MakeWheel(0x1020);
    wheel->MutableDescription().serialNumber.reset();
    return wheel;
}
std::shared_ptr<sim::SimDevice> UpdaterWheel() {
    return MakeWheel(0xB02E);
}
std::shared_ptr<sim::SimDevice> AmplifierModel() {
    return std::make_shared<simdevices::Amplifier>();
}

// Every bus a uhid device can claim: the backend must not look for a USB device above a "USB"
// device that has none, and must take the HID core's strings instead.
const ProgramCase kPrograms[] = {
    {"servodiag_virtual", &kServodiag, ServodiagWheel, BUS_VIRTUAL},
    {"servodiag_without_serial", &kServodiag, ServodiagWheelWithoutSerial, BUS_BLUETOOTH},
    {"wheelflash_bluetooth", &kWheelflash, UpdaterWheel, BUS_BLUETOOTH},
    {"ampflash_usb_without_usb_device", &kAmpflash, AmplifierModel, BUS_USB},
};

class ProgramDiscovery : public ::testing::TestWithParam<ProgramCase> {
  protected:
    void SetUp() override {
        bystander = MakeBystander();
        model = GetParam().makeModel();
        device = Serve(model, GetParam().bus);
        ASSERT_LT(NodeNumber(bystander->Node()), NodeNumber(device->Node()));
    }
    std::unique_ptr<UhidDevice> bystander;
    std::shared_ptr<sim::SimDevice> model;
    std::unique_ptr<UhidDevice> device;
};

TEST_P(ProgramDiscovery, FindsTheDeviceReadsItsIdentityAndClosesEverything) {
    const hidlink::DeviceProfile& profile = *GetParam().profile;
    const sim::DeviceDescription& d = model->Description();
    const std::size_t descriptorsBefore = OpenDescriptors();
    HidrawApi api;
    HidLink link;
    ui::HeadlessWindow window(servodiag::ServodiagLayout());
    window.SetText("lblManuf", " earlier device");
    window.SetText("lblSerialNumber", " earlier serial");

    ASSERT_TRUE(hidlink::FindTheHid(link, api, profile));
    EXPECT_EQ(link.DevicePath, device->DevicePath());
    EXPECT_EQ(link.Attributes.VendorID, d.vendorId);
    EXPECT_EQ(link.Attributes.ProductID, d.productId);
    // Off USB the release number is not visible through hidraw.
    EXPECT_EQ(link.Attributes.VersionNumber, 0);
    EXPECT_EQ(link.Capabilities.FeatureReportByteLength, d.featureReportByteLength);
    EXPECT_EQ(link.Capabilities.UsagePage, 0xFF00);

    hidlink::RefreshDeviceInfo(link, api, profile, window);
    // No manufacturer string off USB: its read fails, and the label shows nothing, not what an
    // earlier device left there; the version is this device's. The HID core's one name stands
    // for the product.
    EXPECT_EQ(window.Text("lblManuf"), "");
    EXPECT_EQ(window.Text("lblVersion"), hidlink::FormatVersion(0));
    EXPECT_EQ(window.Text("lblProduct"), " " + device->Name());
    // An empty unique ID is no serial number: that read fails and the label is blank.
    EXPECT_EQ(window.Text("lblSerialNumber"), device->Uniq().empty() ? "" : " " + device->Uniq());

    hidlink::CloseDevice(link, api);
    EXPECT_EQ(OpenDescriptors(), descriptorsBefore);
}

// Without sysfs the backend falls back on the ioctls (HIDIOCGRDESC, HIDIOCGRAWNAME,
// HIDIOCGRAWUNIQ); they must tell the same as sysfs does.
TEST_P(ProgramDiscovery, IoctlsAloneTellWhatSysfsTells) {
    HidrawApi withSysfs;
    HidrawApi ioctlsOnly("/nonexistent-sysfs", "/dev");
    struct Seen {
        hidlink::HiddAttributes attributes;
        hidlink::HidpCaps caps{};
        std::array<std::uint8_t, hidlink::kStringBufferSize> product{};
        std::array<std::uint8_t, hidlink::kStringBufferSize> serial{};
        hidlink::Bool32 serialRead = 0;
        hidlink::Bool32 manufacturerRead = 0;
    };
    auto look = [&](HidrawApi& api) {
        Seen seen;
        seen.attributes.Size = hidlink::kHiddAttributesSize;
        const hidlink::Handle h = api.CreateFileA(
            device->DevicePath(), hidlink::kGenericRead | hidlink::kGenericWrite,
            hidlink::kFileShareRead | hidlink::kFileShareWrite, nullptr, hidlink::kOpenExisting, 0);
        EXPECT_NE(h, hidlink::kInvalidHandleValue);
        EXPECT_EQ(api.HidD_GetAttributes(h, &seen.attributes), 1);
        hidlink::PreparsedData preparsed = 0;
        EXPECT_EQ(api.HidD_GetPreparsedData(h, &preparsed), 1);
        EXPECT_EQ(api.HidP_GetCaps(preparsed, &seen.caps), hidlink::kHidpStatusSuccess);
        EXPECT_EQ(api.HidD_FreePreparsedData(preparsed), 1);
        EXPECT_EQ(api.HidD_GetProductString(h, seen.product.data(), hidlink::kStringReadLength), 1);
        seen.serialRead =
            api.HidD_GetSerialNumberString(h, seen.serial.data(), hidlink::kStringReadLength);
        std::array<std::uint8_t, hidlink::kStringBufferSize> manufacturer{};
        seen.manufacturerRead =
            api.HidD_GetManufacturerString(h, manufacturer.data(), hidlink::kStringReadLength);
        EXPECT_EQ(api.CloseHandle(h), 1);
        return seen;
    };
    const Seen sysfs = look(withSysfs);
    const Seen ioctls = look(ioctlsOnly);

    EXPECT_EQ(ioctls.attributes.VendorID, model->Description().vendorId);
    EXPECT_EQ(ioctls.attributes.ProductID, model->Description().productId);
    EXPECT_EQ(ioctls.caps.FeatureReportByteLength, model->Description().featureReportByteLength);
    EXPECT_EQ(ioctls.caps.FeatureReportByteLength, sysfs.caps.FeatureReportByteLength);
    EXPECT_EQ(ioctls.caps.UsagePage, sysfs.caps.UsagePage);
    EXPECT_EQ(hidlink::DecodeHidString(ioctls.product.data(), ioctlsOnly), device->Name());
    EXPECT_EQ(hidlink::DecodeHidString(sysfs.product.data(), withSysfs), device->Name());
    const hidlink::Bool32 serialExpected = device->Uniq().empty() ? 0 : 1;
    EXPECT_EQ(ioctls.serialRead, serialExpected);
    EXPECT_EQ(sysfs.serialRead, serialExpected);
    EXPECT_EQ(hidlink::DecodeHidString(ioctls.serial.data(), ioctlsOnly), device->Uniq());
    EXPECT_EQ(hidlink::DecodeHidString(sysfs.serial.data(), withSysfs), device->Uniq());
    EXPECT_EQ(ioctls.manufacturerRead, 0);
    EXPECT_EQ(sysfs.manufacturerRead, 0);
}

INSTANTIATE_TEST_SUITE_P(Programs, ProgramDiscovery, ::testing::ValuesIn(kPrograms),
                         [](const auto& info) { return std::string(info.param.name); });

// --- feature reports through the kernel --------------------------------------------------------

class FeatureReports : public ::testing::Test {
  protected:
    void SetUp() override {
        wheelDevice = Serve(wheel);
        amplifierDevice = Serve(amplifier);
    }
    hidlink::Handle Open(const UhidDevice& device) {
        return api.CreateFileA(device.DevicePath(), hidlink::kGenericRead | hidlink::kGenericWrite,
                               hidlink::kFileShareRead | hidlink::kFileShareWrite, nullptr,
                               hidlink::kOpenExisting, 0);
    }

    std::shared_ptr<simdevices::WheelController> wheel = MakeWheel(0x1020);
    std::shared_ptr<simdevices::Amplifier> amplifier = std::make_shared<simdevices::Amplifier>();
    std::unique_ptr<UhidDevice> wheelDevice;
    std::unique_ptr<UhidDevice> amplifierDevice;
    HidrawApi api;
};

TEST_F(FeatureReports, StatusReportOnTheOverlappedHandleIsWhatTheModelSent) {
    HidLink link;
    ASSERT_TRUE(hidlink::FindTheHid(link, api, kServodiag));
    ASSERT_EQ(link.DevicePath, wheelDevice->DevicePath());
    const std::uint32_t length = link.Capabilities.FeatureReportByteLength;

    // As servodiag reads it: a buffer of at least the decoded size, FeatureReportByteLength
    // bytes transferred.
    std::vector<std::uint8_t> buffer(std::max<std::size_t>(servodiag::kStatusBufferSize, length));
    buffer[0] = kStatusId;
    ASSERT_EQ(api.HidD_GetFeature(link.OverlappedHandle, buffer.data(), length), 1);

    // An identical model at the same moment sends the same report.
    std::vector<std::uint8_t> expected(buffer.size());
    expected[0] = kStatusId;
    ASSERT_TRUE(MakeWheel(0x1020)->GetFeature(expected.data(), length, 0));
    EXPECT_EQ(buffer, expected);
    const servodiag::StatusView got = servodiag::DecodeStatusReport(buffer.data(), ".");
    const servodiag::StatusView sent = servodiag::DecodeStatusReport(expected.data(), ".");
    ASSERT_TRUE(got.Degrees.has_value());
    EXPECT_EQ(got.Degrees, sent.Degrees);
    EXPECT_EQ(got.amp_sn, sent.amp_sn);
    EXPECT_EQ(got.bus_v, sent.bus_v);

    const std::vector<Exchange> exchanges = wheelDevice->Exchanges();
    ASSERT_EQ(exchanges.size(), 1u);
    EXPECT_EQ(exchanges[0].kind, Exchange::Kind::Get);
    EXPECT_EQ(exchanges[0].reportId, kStatusId);
    hidlink::CloseDevice(link, api);
}

TEST_F(FeatureReports, SwitchReportReachesTheAmplifierByteForByte) {
    HidLink link;
    ASSERT_TRUE(hidlink::FindTheHid(link, api, kAmpflash));
    ASSERT_EQ(link.DevicePath, amplifierDevice->DevicePath());
    const std::uint32_t length = link.Capabilities.FeatureReportByteLength;

    // As ampflash sends it: the zeroed command buffer, FeatureReportByteLength bytes of it.
    ampflash::CommandBuffer command{};
    command[length - 1] = 0x5A;  // a marker at the last byte transferred
    ampflash::PutSwitchReport(command);
    ASSERT_EQ(api.HidD_SetFeature(link.DeviceHandle, command.data(), length), 1);

    const std::vector<Exchange> exchanges = amplifierDevice->Exchanges();
    ASSERT_EQ(exchanges.size(), 1u);
    EXPECT_EQ(exchanges[0].kind, Exchange::Kind::Set);
    EXPECT_EQ(exchanges[0].reportId, kCommandId);
    EXPECT_EQ(exchanges[0].bytes,
              std::vector<std::uint8_t>(command.begin(), command.begin() + length));
    amplifierDevice->WithModelHeld([&] {
        EXPECT_EQ(amplifier->CurrentMode(), simdevices::Amplifier::Mode::Bootloader);
        EXPECT_EQ(amplifier->SwitchReports(), 1);
    });
    hidlink::CloseDevice(link, api);
}

// A device's refusal comes back from the kernel as a failed ioctl, at once rather than after the
// kernel's timeout, and the call reports failure.
struct RefusalCase {
    const char* name;
    bool toAmplifier;
    bool set;
    std::uint8_t reportId;
};

void PrintTo(const RefusalCase& c, std::ostream* out) {
    *out << c.name;
}

class Refusals : public FeatureReports, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(Refusals, FailTheCall) {
    const RefusalCase& c = GetParam();
    UhidDevice& device = c.toAmplifier ? *amplifierDevice : *wheelDevice;
    const hidlink::Handle h = Open(device);
    ASSERT_NE(h, hidlink::kInvalidHandleValue);
    std::array<std::uint8_t, 65> report{};
    report[0] = c.reportId;
    const std::uint32_t length = c.toAmplifier ? 65 : 64;
    const hidlink::Bool32 result = c.set ? api.HidD_SetFeature(h, report.data(), length)
                                         : api.HidD_GetFeature(h, report.data(), length);
    EXPECT_EQ(result, 0);
    const std::vector<Exchange> exchanges = device.Exchanges();
    ASSERT_EQ(exchanges.size(), 1u);
    EXPECT_EQ(exchanges[0].reportId, c.reportId);
    EXPECT_TRUE(exchanges[0].refused);
    EXPECT_EQ(api.CloseHandle(h), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Devices, Refusals,
    ::testing::Values(RefusalCase{"WheelUnknownReport", false, false, 99},
                      RefusalCase{"WheelImageDataInNormalMode", false, true, 0x00},
                      RefusalCase{"AmplifierAnswersNoGet", true, false, kCommandId},
                      RefusalCase{"AmplifierDataBeforeBootloader", true, true, kAmplifierDataId}),
    [](const auto& info) { return std::string(info.param.name); });

// Over USB a refused GET_REPORT is a stall on ep0, which usbhid turns into a failed ioctl. (A
// refused SET_REPORT cannot be stalled: FunctionFS completes it for the host once the gadget
// reads its data.)
class UsbGetRefusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(UsbGetRefusals, FailTheCall) {
    const RefusalCase& c = GetParam();
    std::shared_ptr<sim::SimDevice> model = c.toAmplifier ? AmplifierModel() : ServodiagWheel();
    const std::vector<std::uint8_t> ids =
        c.toAmplifier ? std::vector<std::uint8_t>{kCommandId, kAmplifierDataId}
                      : std::vector<std::uint8_t>{kCommandId, kStatusId};
    kerneltest::UsbGadget gadget(
        model, {0, kerneltest::FixedReportIds(ids), kerneltest::ServedModel::Clock::Frozen});
    HidrawApi api;
    const hidlink::Handle h = api.CreateFileA(
        gadget.DevicePath(), hidlink::kGenericRead | hidlink::kGenericWrite,
        hidlink::kFileShareRead | hidlink::kFileShareWrite, nullptr, hidlink::kOpenExisting, 0);
    ASSERT_NE(h, hidlink::kInvalidHandleValue);
    std::array<std::uint8_t, 65> report{};
    report[0] = c.reportId;
    EXPECT_EQ(api.HidD_GetFeature(h, report.data(), c.toAmplifier ? 65 : 64), 0);
    const std::vector<Exchange> exchanges = gadget.Exchanges();
    ASSERT_EQ(exchanges.size(), 1u);
    EXPECT_EQ(exchanges[0].reportId, c.reportId);
    EXPECT_TRUE(exchanges[0].refused);
    EXPECT_EQ(api.CloseHandle(h), 1);
}

INSTANTIATE_TEST_SUITE_P(Devices, UsbGetRefusals,
                         ::testing::Values(RefusalCase{"WheelUnknownReport", false, false, 99},
                                           RefusalCase{"AmplifierAnswersNoGet", true, false,
                                                       kCommandId}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
