// The simulated bus's own bookkeeping, which every program test stands on: which device a path
// opens, when device models get to act, how closed handles are told apart, and what the log
// keeps on each kind of clock.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "FakeDevices.h"
#include "hidlink/HidLink.h"
#include "hidlink/sim/SimulatedBus.h"

namespace {

using testing_devices::Device;

constexpr std::uint32_t kReadWrite = hidlink::kGenericRead | hidlink::kGenericWrite;
constexpr std::uint32_t kShareBoth = hidlink::kFileShareRead | hidlink::kFileShareWrite;

hidlink::Handle Open(sim::SimulatedBus& bus, const std::string& path) {
    return bus.CreateFileA(path, kReadWrite, kShareBoth, nullptr, hidlink::kOpenExisting, 0);
}

std::uint16_t ProductBehind(sim::SimulatedBus& bus, hidlink::Handle handle) {
    hidlink::HiddAttributes attributes;
    attributes.Size = hidlink::kHiddAttributesSize;
    return bus.HidD_GetAttributes(handle, &attributes) != 0 ? attributes.ProductID : 0;
}

// Leaves the bus on any report and comes back `awayMs` later, as a restarting device does.
class RestartingDevice : public sim::SimDevice {
  public:
    RestartingDevice(std::int64_t awayMs, std::shared_ptr<sim::SimDevice> looks)
        : sim::SimDevice(looks->Description()), awayMs_(awayMs) {}
    void Advance(std::int64_t nowMs) override {
        ++advances;
        if (backAtMs_ >= 0 && nowMs >= backAtMs_) {
            backAtMs_ = -1;
            JoinBus();
        }
    }
    bool SetFeature(const std::uint8_t*, std::uint32_t, std::int64_t nowMs) override {
        backAtMs_ = nowMs + awayMs_;
        LeaveBus();
        return true;
    }
    int advances = 0;

  private:
    std::int64_t awayMs_;
    std::int64_t backAtMs_ = -1;
};

struct PathCase {
    const char* name;
    std::vector<bool> presentBySlot;  // devices at the same path, in the order added
    std::uint16_t openedProduct;      // 0: none opens
};

class SamePathTest : public ::testing::TestWithParam<PathCase> {};

// Products 1, 2, 3... share one path: the first of them on the bus opens.
TEST_P(SamePathTest, OpensTheFirstDevicePresentAtThePath) {
    sim::VirtualClock clock;
    sim::SimulatedBus bus(clock);
    bus.AddDevice(Device(0x1D47, 0x0999, "other"));
    for (std::size_t i = 0; i < GetParam().presentBySlot.size(); ++i) {
        auto device = Device(0x1D47, static_cast<std::uint16_t>(i + 1));
        device->MutableDescription().path = "shared";
        device->MutableDescription().present = GetParam().presentBySlot[i];
        bus.AddDevice(device);
    }
    const hidlink::Handle handle = Open(bus, "shared");
    if (GetParam().openedProduct == 0) {
        EXPECT_EQ(handle, hidlink::kInvalidHandleValue);
    } else {
        EXPECT_EQ(ProductBehind(bus, handle), GetParam().openedProduct);
        bus.CloseHandle(handle);
    }
    EXPECT_EQ(bus.HandleProblems(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Bus, SamePathTest,
                         ::testing::Values(PathCase{"OnlyOne", {true}, 1},
                                           PathCase{"FirstPresent", {true, true}, 1},
                                           PathCase{"FirstAbsent", {false, true}, 2},
                                           PathCase{"NoneThere", {false, false}, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SimulatedBusTest, ADeviceThatChangedItsPathOpensAtItsNewPath) {
    sim::VirtualClock clock;
    sim::SimulatedBus bus(clock);
    auto device = Device(0x1D47, 0x2233);
    device->MutableDescription().path = "before";
    bus.AddDevice(Device(0x1D47, 0x0999, "other"));
    bus.AddDevice(device);
    device->MutableDescription().path = "after";
    EXPECT_EQ(Open(bus, "before"), hidlink::kInvalidHandleValue);
    const hidlink::Handle handle = Open(bus, "after");
    EXPECT_EQ(ProductBehind(bus, handle), 0x2233);
    bus.CloseHandle(handle);
}

TEST(SimulatedBusTest, SearchAmongManyInterfacesFindsTheLastOne) {
    sim::VirtualClock clock;
    sim::SimulatedBus bus(clock);
    for (int i = 0; i < 500; ++i)
        bus.AddDevice(Device(0x046D, 0xC077, std::to_string(i)));
    bus.AddDevice(Device(0x1D47, 0x1020, "wheel"));
    hidlink::HidLink link;
    const hidlink::DeviceProfile servodiag{hidlink::ServodiagAccepts,
                                           hidlink::NoDeviceRule::BlankAll, 0};
    ASSERT_TRUE(hidlink::FindTheHid(link, bus, servodiag));
    EXPECT_EQ(link.DevicePath, R"(\\?\hid#vid_1d47&pid_1020#wheel)");
    hidlink::CloseDevice(link, bus);
    EXPECT_EQ(bus.HandleProblems(), std::vector<std::string>{});
}

// Each call is logged and failed under its own name: a name table out of step with the calls
// would log one call as another and fail the wrong one.
constexpr const char* kNamedCallPath = R"(\\?\hid#vid_1d47&pid_1020#dev)";

struct NamedCall {
    const char* name;
    std::function<bool(sim::SimulatedBus&, hidlink::Handle)> succeeds;
};

TEST(SimulatedBusTest, FailNthFailsOnlyTheNthCallOfThatNameAndLogsItByName) {
    const NamedCall calls[] = {
        {"HidD_GetAttributes",
         [](sim::SimulatedBus& bus, hidlink::Handle h) { return ProductBehind(bus, h) != 0; }},
        {"HidD_GetProductString",
         [](sim::SimulatedBus& bus, hidlink::Handle h) {
             char16_t text[64];
             return bus.HidD_GetProductString(h, text, sizeof text) != 0;
         }},
        {"HidD_GetSerialNumberString",
         [](sim::SimulatedBus& bus, hidlink::Handle h) {
             char16_t text[64];
             return bus.HidD_GetSerialNumberString(h, text, sizeof text) != 0;
         }},
        {"CreateFileA",
         [](sim::SimulatedBus& bus, hidlink::Handle) {
             const hidlink::Handle opened = Open(bus, kNamedCallPath);
             const bool ok = opened != hidlink::kInvalidHandleValue;
             if (ok)
                 bus.CloseHandle(opened);
             return ok;
         }},
    };
    for (const NamedCall& call : calls) {
        SCOPED_TRACE(call.name);
        sim::VirtualClock clock;
        sim::SimulatedBus bus(clock);
        bus.AddDevice(Device(0x1D47, 0x1020, "dev"));
        const hidlink::Handle handle = Open(bus, kNamedCallPath);
        bus.FailNth(call.name, 2);
        const std::size_t loggedBefore = bus.CallsNamed(call.name).size();
        std::vector<bool> results;
        for (int i = 0; i < 3; ++i) {
            results.push_back(call.succeeds(bus, handle));
            // Another call in between counts for itself only.
            hidlink::Guid guid{};
            bus.HidD_GetHidGuid(&guid);
        }
        EXPECT_EQ((std::vector<bool>{true, false, true}), results);
        EXPECT_EQ(bus.CallsNamed(call.name).size(), loggedBefore + 3);
        bus.CloseHandle(handle);
        EXPECT_EQ(bus.HandleProblems(), std::vector<std::string>{});
    }
}

TEST(SimulatedBusTest, FailingACallTheBusDoesNotHaveThrows) {
    sim::VirtualClock clock;
    sim::SimulatedBus bus(clock);
    EXPECT_THROW(bus.FailNext("HidD_GetFeatures"), std::invalid_argument);
    EXPECT_NO_THROW(bus.FailNext("HidD_GetFeature"));
}

// A device that restarts at once must be back for the very next call, though the clock has not
// moved; a device that nothing reached is not asked again at the same moment.
TEST(SimulatedBusTest, ADeviceReachedAtOneMomentActsBeforeTheNextCall) {
    sim::VirtualClock clock;
    sim::SimulatedBus bus(clock);
    auto bystander = std::make_shared<RestartingDevice>(0, Device(0x046D, 0xC077, "mouse"));
    auto device = std::make_shared<RestartingDevice>(0, Device(0x1D47, 0x2233, "amp"));
    bus.AddDevice(bystander);
    bus.AddDevice(device);
    const hidlink::Handle handle = Open(bus, device->Description().path);
    const int bystanderAdvances = bystander->advances;
    std::uint8_t report[65] = {0x08};
    ASSERT_NE(bus.HidD_SetFeature(handle, report, 65), 0);
    ASSERT_FALSE(device->Description().present);
    bus.CloseHandle(handle);

    const hidlink::Handle again = Open(bus, device->Description().path);
    EXPECT_EQ(ProductBehind(bus, again), 0x2233);
    EXPECT_EQ(bystander->advances, bystanderAdvances);
    clock.Advance(1);
    EXPECT_EQ(ProductBehind(bus, again), 0x2233);
    EXPECT_EQ(bystander->advances, bystanderAdvances + 1);
    bus.CloseHandle(again);
}

struct CloseCase {
    const char* name;
    hidlink::Handle handle;  // kOpened: the handle the test opened and closed
    const char* problem;
};
constexpr hidlink::Handle kOpened = -2;

class CloseProblemTest : public ::testing::TestWithParam<CloseCase> {};

TEST_P(CloseProblemTest, NamesTheCloseOfAHandleNotOpen) {
    sim::VirtualClock clock;
    sim::SimulatedBus bus(clock);
    bus.AddDevice(Device(0x1D47, 0x2233, "amp"));
    hidlink::Handle handle = Open(bus, Device(0x1D47, 0x2233, "amp")->Description().path);
    ASSERT_EQ(bus.CloseHandle(handle), 1);
    if (GetParam().handle != kOpened)
        handle = GetParam().handle;
    EXPECT_EQ(bus.CloseHandle(handle), 0);
    EXPECT_EQ(bus.HandleProblems(),
              std::vector<std::string>{"handle " + std::to_string(handle) + GetParam().problem});
}

INSTANTIATE_TEST_SUITE_P(
    Bus, CloseProblemTest,
    ::testing::Values(CloseCase{"ClosedBefore", kOpened, " closed twice"},
                      CloseCase{"NeverIssuedBelow", 0x50, " closed but never opened"},
                      CloseCase{"BetweenIssued", 0x101, " closed but never opened"},
                      CloseCase{"NotYetIssued", 0x104, " closed but never opened"},
                      CloseCase{"Invalid", hidlink::kInvalidHandleValue,
                                " closed but never opened"}),
    [](const auto& info) { return std::string(info.param.name); });

// A clock that claims to follow the wall clock, without waiting.
class WallClockStandIn : public sim::VirtualClock {
  public:
    bool IsReal() const override { return true; }
    void BeginPreciseTiming() override { ++precisionDepth; }
    void EndPreciseTiming() override { --precisionDepth; }
    int precisionDepth = 0;
};

TEST(SimulatedBusTest, OnARealClockTheLogStaysEmptyAndTheSleepsAreStillCounted) {
    WallClockStandIn clock;
    sim::SimulatedBus bus(clock);
    bus.AddDevice(Device(0x1D47, 0x2233, "amp"));
    const hidlink::Handle handle = Open(bus, Device(0x1D47, 0x2233, "amp")->Description().path);
    bus.Sleep(4);
    bus.Sleep(500);
    bus.CloseHandle(handle);
    bus.CloseHandle(handle);
    EXPECT_TRUE(bus.Calls().empty());
    EXPECT_EQ(bus.SleptMs(), 504);
    EXPECT_EQ(clock.NowMs(), 504);
    // Handles are still accounted without a log.
    EXPECT_EQ(bus.HandleProblems(),
              std::vector<std::string>{"handle " + std::to_string(handle) + " closed twice"});
}

TEST(SimulatedBusTest, TheLogCanBeSwitchedOffAndOnAgain) {
    sim::VirtualClock clock;
    sim::SimulatedBus bus(clock);
    bus.Sleep(1);
    bus.KeepCallLog(false);
    bus.Sleep(2);
    EXPECT_TRUE(bus.Calls().empty());
    bus.KeepCallLog(true);
    bus.Sleep(3);
    ASSERT_EQ(bus.Calls().size(), 1u);
    EXPECT_EQ(bus.Calls()[0].length, 3u);
    EXPECT_EQ(bus.Calls()[0].timeMs, 3);
    EXPECT_EQ(bus.SleptMs(), 6);
}

TEST(SimulatedBusTest, PreciseTimingReachesTheClockForAsLongAsTheProgramAsks) {
    WallClockStandIn clock;
    sim::SimulatedBus bus(clock);
    bus.BeginPreciseTiming();
    EXPECT_EQ(clock.precisionDepth, 1);
    bus.EndPreciseTiming();
    EXPECT_EQ(clock.precisionDepth, 0);
    EXPECT_EQ(bus.HandleProblems(), std::vector<std::string>{});
}

}  // namespace
