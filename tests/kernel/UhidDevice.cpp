#include "UhidDevice.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

#include "HidrawNodes.h"

namespace kerneltest {

namespace {

// How often the model's schedule is looked at while no request arrives.
constexpr int kFollowIntervalMs = 5;
// uhid fails a request whose device is destroyed before the waiting caller has run, even when its
// reply was already given: a model that leaves on a request's answer (the amplifier's reset)
// leaves the kernel this long after, as a USB device detaches only after the transfer's status
// stage.
constexpr auto kLeaveAfter = std::chrono::milliseconds(200);

void CopyField(std::uint8_t* field, std::size_t size, const std::string& text) {
    std::strncpy(reinterpret_cast<char*>(field), text.c_str(), size - 1);
}

bool Send(int uhid, const uhid_event& event) {
    return ::write(uhid, &event, sizeof event) == static_cast<ssize_t>(sizeof event);
}

// Each device's own physical path, so its node is found whatever its name and unique ID.
std::string NextPhys() {
    static std::atomic<int> created{0};
    return "kerneltest/device" + std::to_string(++created);
}

}  // namespace

UhidDevice::UhidDevice(std::shared_ptr<sim::SimDevice> model, UhidOptions options)
    : ModelCarrier(model, options.reportIds, options.clock), options_(options), phys_(NextPhys()) {
    const sim::DeviceDescription& d = model->Description();
    name_ = Narrow(d.manufacturer) + " " + Narrow(d.product);
    uniq_ = Narrow(d.serialNumber);

    uhid_ = ::open("/dev/uhid", O_RDWR | O_CLOEXEC);
    if (uhid_ < 0)
        throw std::runtime_error(std::string("opening /dev/uhid: ") + std::strerror(errno));
    stop_ = ::eventfd(0, EFD_CLOEXEC);
    if (!Create()) {
        const std::string reason = std::strerror(errno);
        ::close(uhid_);
        ::close(stop_);
        throw std::runtime_error("creating " + phys_ + " through /dev/uhid: " + reason);
    }
    server_ = std::thread([this] { Serve(); });
    // The HID core adds the device from a work queue: the node appears a little later.
    if (WaitForNode([&] { return NodeWithPhys(phys_); }).empty()) {
        Shutdown();
        throw std::runtime_error("no hidraw node appeared for " + phys_);
    }
}

UhidDevice::~UhidDevice() {
    Shutdown();
}

void UhidDevice::Shutdown() {
    if (uhid_ < 0)
        return;
    StopServing(stop_, server_);
    const std::string node = Node();
    Destroy();
    ::close(uhid_);
    ::close(stop_);
    uhid_ = -1;
    if (!node.empty())
        WaitForNodeGone(node);
}

std::string UhidDevice::Node() const {
    return NodeWithPhys(phys_);
}

bool UhidDevice::Create() {
    const Appearance a = served_.Appear();
    const sim::DeviceDescription& d = a.description;
    uhid_event create{};
    create.type = UHID_CREATE2;
    auto& c = create.u.create2;
    CopyField(c.name, sizeof c.name, Narrow(d.manufacturer) + " " + Narrow(d.product));
    CopyField(c.phys, sizeof c.phys, phys_);
    CopyField(c.uniq, sizeof c.uniq, Narrow(d.serialNumber));
    c.rd_size = static_cast<std::uint16_t>(a.reportDescriptor.size());
    c.bus = options_.bus;
    c.vendor = d.vendorId;
    c.product = d.productId;
    c.version = d.versionNumber;
    std::memcpy(c.rd_data, a.reportDescriptor.data(), a.reportDescriptor.size());
    created_ = Send(uhid_, create);
    return created_;
}

void UhidDevice::Destroy() {
    if (!created_)
        return;
    uhid_event destroy{};
    destroy.type = UHID_DESTROY;
    Send(uhid_, destroy);
    created_ = false;
}

void UhidDevice::LeaveWhenDue() {
    const auto now = std::chrono::steady_clock::now();
    if (!leaveWanted_)
        leaveWanted_ = now;
    if (now - *leaveWanted_ < kLeaveAfter)
        return;
    leaveWanted_.reset();
    Destroy();
}

void UhidDevice::Serve() {
    pollfd fds[2] = {{uhid_, POLLIN, 0}, {stop_, POLLIN, 0}};
    for (;;) {
        if (::poll(fds, 2, kFollowIntervalMs) < 0 && errno != EINTR)
            return;
        if (fds[1].revents != 0)
            return;
        if ((fds[0].revents & POLLIN) != 0) {
            uhid_event request{};
            if (::read(uhid_, &request, sizeof request) <= 0)
                return;
            Answer(request);
        }
        if (FollowModel(
                created_, [this] { Create(); }, [this] { LeaveWhenDue(); }))
            leaveWanted_.reset();  // back before its device left: a new leave waits anew
    }
}

void UhidDevice::Answer(const uhid_event& request) {
    if (request.type != UHID_GET_REPORT && request.type != UHID_SET_REPORT)
        return;  // start, stop, open, close and output: nothing to answer
    if (!served_.Admit()) {
        Destroy();  // pulled out with the request unanswered: the kernel's wait ends now
        return;
    }
    uhid_event reply{};
    if (request.type == UHID_GET_REPORT) {
        const uhid_get_report_req& get = request.u.get_report;
        const std::uint32_t length = served_.Appear().description.featureReportByteLength;
        std::optional<std::vector<std::uint8_t>> report;
        if (get.rtype == UHID_FEATURE_REPORT)
            report = served_.Get(get.rnum, length);
        reply.type = UHID_GET_REPORT_REPLY;
        reply.u.get_report_reply.id = get.id;
        reply.u.get_report_reply.err = report ? 0 : EIO;
        if (report) {
            reply.u.get_report_reply.size = static_cast<std::uint16_t>(report->size());
            std::memcpy(reply.u.get_report_reply.data, report->data(), report->size());
        }
    } else {
        const uhid_set_report_req& set = request.u.set_report;
        const bool taken = set.rtype == UHID_FEATURE_REPORT &&
                           served_.Set(std::vector<std::uint8_t>(set.data, set.data + set.size));
        reply.type = UHID_SET_REPORT_REPLY;
        reply.u.set_report_reply.id = set.id;
        reply.u.set_report_reply.err = taken ? 0 : EIO;
    }
    Send(uhid_, reply);
}

}  // namespace kerneltest
