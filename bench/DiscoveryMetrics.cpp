#include "bench/DiscoveryMetrics.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "bench/BareDiscovery.h"
#include "bench/SysfsTree.h"
#include "hidlink/HidLink.h"
#include "hidlink/platform/linux/HidrawApi.h"
#include "hidlink/sim/SimClock.h"
#include "hidlink/sim/SimulatedBus.h"

namespace bench {

namespace {

const hidlink::DeviceProfile kServodiag{hidlink::ServodiagAccepts, hidlink::NoDeviceRule::BlankAll,
                                        0};

std::shared_ptr<sim::SimDevice> Interface(int index, std::uint16_t vendor, std::uint16_t product) {
    sim::DeviceDescription d;
    char path[96];
    std::snprintf(path, sizeof path, R"(\\?\hid#vid_%04x&pid_%04x#7&%x&0&0000)", vendor, product,
                  static_cast<unsigned>(index));
    d.path = path;
    d.vendorId = vendor;
    d.productId = product;
    d.featureReportByteLength = 65;
    return std::make_shared<sim::SimDevice>(d);
}

// Microseconds of CPU per interface for whole searches that find the device last, visiting
// about `visits` interfaces over all of them.
double SimSearch(int interfaces, int visits) {
    sim::VirtualClock clock;
    sim::SimulatedBus bus(clock);
    bus.KeepCallLog(false);
    for (int i = 0; i + 1 < interfaces; ++i)
        bus.AddDevice(Interface(i, 0x046D, 0xC077));
    bus.AddDevice(Interface(interfaces, hidlink::kDrivantaVendorId, 0x1020));
    const int searches = std::max(1, visits / interfaces);
    const double start = CpuMicroseconds();
    for (int i = 0; i < searches; ++i) {
        hidlink::HidLink link;
        if (!hidlink::FindTheHid(link, bus, kServodiag))
            return -1;
        hidlink::CloseDevice(link, bus);
    }
    return (CpuMicroseconds() - start) / searches / interfaces;
}

}  // namespace

void MeasureSimDiscovery(MetricReport& report, const RunSize& size) {
    for (int interfaces : {10, 10000}) {
        const std::string name = "discovery.us_per_interface.sim." + std::to_string(interfaces);
        const double cost = SimSearch(interfaces, size.simSearchInterfaces);
        if (cost < 0)
            report.Fail(name, "the device was not found");
        else
            report.Add(name, cost, "us");
    }
}

// None of the tree's nodes is a device node the kernel answers, so every search walks all of
// them: enumerate, read the path, open, ask for the attributes, close. The bare system calls for
// the same nodes take turns with the program's searches, so that both see the same machine.
void MeasureHidrawDiscovery(MetricReport& report, const RunSize& size) {
    const char* name = "discovery.us_per_interface.hidraw";
    SysfsTree tree(size.hidrawNodes);
    hidlink::hidraw::HidrawApi api(tree.SysRoot(), tree.DevRoot());
    double programUs = 0;
    double bareUs = 0;
    for (int i = 0; i < size.hidrawSearches; ++i) {
        const double start = CpuMicroseconds();
        hidlink::HidLink link;
        hidlink::FindTheHid(link, api, kServodiag);
        hidlink::CloseDevice(link, api);
        const double middle = CpuMicroseconds();
        if (BareHidrawSearch(tree.SysRoot(), tree.DevRoot()) != size.hidrawNodes)
            return report.Fail(name, "the bare search did not open every node");
        bareUs += CpuMicroseconds() - middle;
        programUs += middle - start;
    }
    const double visits = static_cast<double>(size.hidrawSearches) * size.hidrawNodes;
    report.AddWithFloor(name, programUs / visits, bareUs / visits, "us");
}

}  // namespace bench
