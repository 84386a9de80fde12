#include "UhidDevice.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>

#include "FeatureDescriptor.h"

namespace kerneltest {

namespace {

// The models answer as at one moment: these tests are about the transport, not the models'
// schedules.
constexpr std::int64_t kDeviceTimeMs = 0;
constexpr auto kNodeWait = std::chrono::seconds(5);

std::string Narrow(const std::optional<std::u16string>& text) {
    std::string out;
    if (text) {
        for (char16_t c : *text)
            out.push_back(static_cast<char>(c));
    }
    return out;
}

void CopyField(char* field, std::size_t size, const std::string& text) {
    std::strncpy(field, text.c_str(), size - 1);
}

bool Send(int uhid, const uhid_event& event) {
    return ::write(uhid, &event, sizeof event) == static_cast<ssize_t>(sizeof event);
}

// Each device's own physical path, so its node is found whatever its name and unique ID.
std::string NextPhys() {
    static std::atomic<int> created{0};
    return "kerneltest/device" + std::to_string(++created);
}

// The hidraw node whose HID device has this physical path and whose /dev entry exists, or "".
std::string FindNode(const std::string& phys) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/sys/class/hidraw", error)) {
        std::ifstream uevent(entry.path() / "device" / "uevent");
        std::string line;
        while (std::getline(uevent, line)) {
            const std::string node = entry.path().filename().string();
            if (line == "HID_PHYS=" + phys && std::filesystem::exists("/dev/" + node))
                return node;
        }
    }
    return {};
}

template <typename Condition>
bool WaitFor(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + kNodeWait;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        ::usleep(5000);
    }
    return true;
}

}  // namespace

UhidDevice::UhidDevice(std::shared_ptr<sim::SimDevice> model, UhidOptions options)
    : model_(std::move(model)) {
    const sim::DeviceDescription& d = model_->Description();
    name_ = Narrow(d.manufacturer) + " " + Narrow(d.product);
    uniq_ = Narrow(d.serialNumber);
    const std::vector<std::uint8_t> descriptor =
        FeatureOnlyDescriptor(options.featureReportIds, d.featureReportByteLength);

    uhid_ = ::open("/dev/uhid", O_RDWR | O_CLOEXEC);
    if (uhid_ < 0)
        throw std::runtime_error(std::string("opening /dev/uhid: ") + std::strerror(errno));
    stop_ = ::eventfd(0, EFD_CLOEXEC);

    uhid_event create{};
    create.type = UHID_CREATE2;
    CopyField(reinterpret_cast<char*>(create.u.create2.name), sizeof create.u.create2.name, name_);
    const std::string phys = NextPhys();
    CopyField(reinterpret_cast<char*>(create.u.create2.phys), sizeof create.u.create2.phys, phys);
    CopyField(reinterpret_cast<char*>(create.u.create2.uniq), sizeof create.u.create2.uniq, uniq_);
    create.u.create2.rd_size = static_cast<std::uint16_t>(descriptor.size());
    create.u.create2.bus = options.bus;
    create.u.create2.vendor = d.vendorId;
    create.u.create2.product = d.productId;
    create.u.create2.version = d.versionNumber;
    std::memcpy(create.u.create2.rd_data, descriptor.data(), descriptor.size());
    if (!Send(uhid_, create)) {
        const std::string reason = std::strerror(errno);
        Shutdown();
        throw std::runtime_error("creating " + phys + " through /dev/uhid: " + reason);
    }

    server_ = std::thread([this] { Serve(); });
    // The HID core adds the device from a work queue: the node appears a little later.
    if (!WaitFor([&] { return !(node_ = FindNode(phys)).empty(); })) {
        Shutdown();
        throw std::runtime_error("no hidraw node appeared for " + phys);
    }
}

UhidDevice::~UhidDevice() {
    Shutdown();
}

void UhidDevice::Shutdown() {
    if (uhid_ < 0)
        return;
    uhid_event destroy{};
    destroy.type = UHID_DESTROY;
    Send(uhid_, destroy);
    if (server_.joinable()) {
        const std::uint64_t one = 1;
        (void)!::write(stop_, &one, sizeof one);
        server_.join();
    }
    ::close(uhid_);
    ::close(stop_);
    uhid_ = -1;
    if (!node_.empty()) {
        WaitFor([&] {
            return !std::filesystem::exists("/sys/class/hidraw/" + node_) &&
                   !std::filesystem::exists("/dev/" + node_);
        });
    }
}

std::vector<Exchange> UhidDevice::Exchanges() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return exchanges_;
}

void UhidDevice::Serve() {
    pollfd fds[2] = {{uhid_, POLLIN, 0}, {stop_, POLLIN, 0}};
    for (;;) {
        if (::poll(fds, 2, -1) < 0 && errno != EINTR)
            return;
        if (fds[1].revents != 0)
            return;
        if ((fds[0].revents & POLLIN) == 0)
            continue;
        uhid_event request{};
        if (::read(uhid_, &request, sizeof request) <= 0)
            return;
        Answer(request);
    }
}

void UhidDevice::Answer(const uhid_event& request) {
    std::lock_guard<std::mutex> lock(mutex_);
    const std::uint32_t length = model_->Description().featureReportByteLength;
    uhid_event reply{};
    if (request.type == UHID_GET_REPORT) {
        const uhid_get_report_req& get = request.u.get_report;
        std::vector<std::uint8_t> report(length, 0);
        report[0] = get.rnum;
        model_->Advance(kDeviceTimeMs);
        const bool answered = get.rtype == UHID_FEATURE_REPORT &&
                              model_->GetFeature(report.data(), length, kDeviceTimeMs);
        exchanges_.push_back({Exchange::Kind::Get, get.rnum, report, !answered});
        reply.type = UHID_GET_REPORT_REPLY;
        reply.u.get_report_reply.id = get.id;
        reply.u.get_report_reply.err = answered ? 0 : EIO;
        reply.u.get_report_reply.size = answered ? static_cast<std::uint16_t>(length) : 0;
        if (answered)
            std::memcpy(reply.u.get_report_reply.data, report.data(), length);
    } else if (request.type == UHID_SET_REPORT) {
        const uhid_set_report_req& set = request.u.set_report;
        std::vector<std::uint8_t> report(set.data, set.data + set.size);
        model_->Advance(kDeviceTimeMs);
        const bool taken = set.rtype == UHID_FEATURE_REPORT &&
                           model_->SetFeature(report.data(), set.size, kDeviceTimeMs);
        exchanges_.push_back({Exchange::Kind::Set, set.rnum, report, !taken});
        reply.type = UHID_SET_REPORT_REPLY;
        reply.u.set_report_reply.id = set.id;
        reply.u.set_report_reply.err = taken ? 0 : EIO;
    } else {
        return;  // start, stop, open, close and output: nothing to answer
    }
    Send(uhid_, reply);
}

}  // namespace kerneltest
