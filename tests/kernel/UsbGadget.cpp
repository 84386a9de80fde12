#include "UsbGadget.h"

#include <fcntl.h>
#include <linux/usb/ch9.h>
#include <linux/usb/functionfs.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/mount.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "HidrawNodes.h"

namespace kerneltest {

namespace fs = std::filesystem;

namespace {

constexpr const char* kGadgets = "/sys/kernel/config/usb_gadget";
constexpr int kFollowIntervalMs = 5;

std::runtime_error SystemError(const std::string& what) {
    return std::runtime_error(what + ": " + std::strerror(errno));
}

void WriteAttribute(const std::string& path, const std::string& text) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        throw SystemError("opening " + path);
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    const int error = errno;
    ::close(fd);
    errno = error;
    if (!written)
        throw SystemError("writing \"" + text + "\" to " + path);
}

std::string Hex16(std::uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04x", value);
    return text;
}

void WriteAll(int fd, const std::vector<std::uint8_t>& bytes, const std::string& what) {
    if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        throw SystemError("writing " + what);
}

// Unique across processes too: the shipped programs' tests run several servers side by side.
std::string NextName() {
    static std::atomic<int> made{0};
    return "kerneltest" + std::to_string(::getpid()) + "-" + std::to_string(++made);
}

}  // namespace

UsbGadget::UsbGadget(std::shared_ptr<sim::SimDevice> model, GadgetOptions options)
    : ModelCarrier(std::move(model), options.reportIds, options.clock),
      options_(options),
      name_(NextName()),
      gadgetDir_(std::string(kGadgets) + "/" + name_),
      mountDir_("/tmp/ffs-" + name_) {
    stop_ = ::eventfd(0, EFD_CLOEXEC);
    try {
        Build();
        Attach();
    } catch (...) {
        TearDown();
        throw;
    }
    server_ = std::thread([this] { Serve(); });
    if (WaitForNode([&] { return Node(); }).empty()) {
        TearDown();
        throw std::runtime_error("no hidraw node appeared for gadget " + name_);
    }
}

UsbGadget::~UsbGadget() {
    TearDown();
}

std::string UsbGadget::Node() const {
    return NodeBelow("dummy_hcd." + std::to_string(options_.controller));
}

void UsbGadget::Build() {
    fs::create_directories(gadgetDir_ + "/strings/0x409");
    fs::create_directories(gadgetDir_ + "/configs/c.1");
    const std::string function = gadgetDir_ + "/functions/ffs." + name_;
    fs::create_directory(function);
    fs::create_directory_symlink(function, gadgetDir_ + "/configs/c.1/ffs." + name_);
    fs::create_directories(mountDir_);
    if (::mount(name_.c_str(), mountDir_.c_str(), "functionfs", 0, nullptr) != 0)
        throw SystemError("mounting FunctionFS " + name_);
}

void UsbGadget::TearDown() {
    if (stop_ < 0)
        return;
    StopServing(stop_, server_);
    const std::string node = Node();
    try {
        Detach();
    } catch (const std::exception&) {
        // Unbinding a gadget that never bound fails; there is nothing more to undo.
    }
    ::umount(mountDir_.c_str());
    std::error_code ignored;
    fs::remove(mountDir_, ignored);
    // configfs folders go with rmdir, innermost first.
    fs::remove(gadgetDir_ + "/configs/c.1/ffs." + name_, ignored);
    const std::string folders[] = {gadgetDir_ + "/configs/c.1",
                                   gadgetDir_ + "/functions/ffs." + name_,
                                   gadgetDir_ + "/strings/0x409", gadgetDir_};
    for (const std::string& folder : folders)
        ::rmdir(folder.c_str());
    ::close(stop_);
    stop_ = -1;
    if (!node.empty())
        WaitForNodeGone(node);
}

void UsbGadget::Attach() {
    const Appearance a = served_.Appear();
    const sim::DeviceDescription& d = a.description;
    WriteAttribute(gadgetDir_ + "/idVendor", Hex16(d.vendorId));
    WriteAttribute(gadgetDir_ + "/idProduct", Hex16(d.productId));
    WriteAttribute(gadgetDir_ + "/bcdDevice", Hex16(d.versionNumber));
    WriteAttribute(gadgetDir_ + "/bcdUSB", "0x0200");
    const std::string strings = gadgetDir_ + "/strings/0x409/";
    WriteAttribute(strings + "manufacturer", Narrow(d.manufacturer));
    WriteAttribute(strings + "product", Narrow(d.product));
    if (d.serialNumber)
        WriteAttribute(strings + "serialnumber", Narrow(d.serialNumber));
    reportDescriptor_ = a.reportDescriptor;

    // The HID class descriptor carries the report descriptor's length, so each appearance writes
    // the function's descriptors anew.
    ep0_ = ::open((mountDir_ + "/ep0").c_str(), O_RDWR | O_CLOEXEC);
    if (ep0_ < 0)
        throw SystemError("opening ep0 of " + name_);
    const auto length = static_cast<std::uint16_t>(reportDescriptor_.size());
    WriteAll(ep0_, gadget::FunctionDescriptors(length), "the FunctionFS descriptors");
    WriteAll(ep0_, gadget::NoStrings(), "the FunctionFS strings");
    WriteAttribute(gadgetDir_ + "/UDC", "dummy_udc." + std::to_string(options_.controller));
    attached_ = true;
}

void UsbGadget::Detach() {
    if (ep0_ < 0)
        return;
    if (attached_) {
        attached_ = false;
        WriteAttribute(gadgetDir_ + "/UDC", "\n");
    }
    ::close(ep0_);
    ep0_ = -1;
}

void UsbGadget::Serve() {
    for (;;) {
        pollfd fds[2] = {{stop_, POLLIN, 0}, {ep0_, POLLIN, 0}};
        const nfds_t count = ep0_ >= 0 ? 2 : 1;
        if (::poll(fds, count, kFollowIntervalMs) < 0 && errno != EINTR)
            return;
        if (fds[0].revents != 0)
            return;
        try {
            if (count == 2 && (fds[1].revents & POLLIN) != 0)
                HandleEvent();
            FollowModel(
                attached_, [this] { Attach(); }, [this] { Detach(); });
        } catch (const std::exception& e) {
            std::fprintf(stderr, "gadget %s: %s\n", name_.c_str(), e.what());
            return;
        }
    }
}

void UsbGadget::HandleEvent() {
    usb_functionfs_event event{};
    const ssize_t got = ::read(ep0_, &event, sizeof event);
    // EIDRM: a request was cancelled (the host went away) before it was answered.
    if (got != static_cast<ssize_t>(sizeof event))
        return;
    if (event.type != FUNCTIONFS_SETUP)
        return;
    const usb_ctrlrequest& setup = event.u.setup;
    Answer({setup.bRequestType, setup.bRequest, le16toh(setup.wValue), le16toh(setup.wIndex),
            le16toh(setup.wLength)});
}

void UsbGadget::Answer(const gadget::SetupRequest& request) {
    const gadget::Decoded decoded = gadget::Decode(request);
    std::uint8_t none = 0;
    // FunctionFS stalls a request when ep0 is used against its direction.
    auto stall = [&] {
        if ((request.requestType & USB_DIR_IN) != 0)
            (void)!::read(ep0_, &none, 0);
        else
            (void)!::write(ep0_, &none, 0);
    };
    auto send = [&](const std::vector<std::uint8_t>& data) {
        const std::size_t n = std::min<std::size_t>(data.size(), request.length);
        (void)!::write(ep0_, data.data(), n);
    };

    const bool feature =
        decoded.step == gadget::Step::GetFeature || decoded.step == gadget::Step::SetFeature;
    if (feature && !served_.Admit()) {
        Detach();  // pulled out with the request unanswered
        return;
    }
    switch (decoded.step) {
        case gadget::Step::SendReportDescriptor:
            send(reportDescriptor_);
            return;
        case gadget::Step::SendHidDescriptor:
            send(gadget::HidDescriptor(static_cast<std::uint16_t>(reportDescriptor_.size())));
            return;
        case gadget::Step::Acknowledge:
            (void)!::read(ep0_, &none, 0);
            return;
        case gadget::Step::GetFeature: {
            const std::uint32_t length = served_.Appear().description.featureReportByteLength;
            const auto report = served_.Get(decoded.reportId, length);
            if (report)
                send(gadget::GetReportData(*report, request.length));
            else
                stall();
            return;
        }
        case gadget::Step::SetFeature: {
            // Reading the data stage completes the request for the host, so a refusal cannot
            // become a stall: a stall asked for afterwards fails (ESRCH, no request pending),
            // and reading less than the data stage fails (EOVERFLOW) while the host still sees
            // success. The model's answer is only logged.
            std::vector<std::uint8_t> data(request.length);
            const ssize_t got = ::read(ep0_, data.data(), data.size());
            data.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
            served_.Set(gadget::ReportFromSetData(decoded.reportId, data));
            return;
        }
        case gadget::Step::Stall:
            stall();
            return;
    }
}

}  // namespace kerneltest
