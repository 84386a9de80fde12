#include "hidlink/sim/SimulatedBus.h"

#include <algorithm>
#include <cstring>

#include "hidlink/DeviceIdentity.h"

namespace sim {

using namespace hidlink;

namespace {

// {4D1E55B2-F16F-11CF-88CB-001111000030}, the HID device-interface class.
const Guid kHidGuid{0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

std::vector<std::uint8_t> Bytes(const void* data, std::size_t length) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    return std::vector<std::uint8_t>(p, p + length);
}

}  // namespace

SimulatedBus::SimulatedBus(SimClock& clock)
    : clock_(clock), log_(clock), images_(log_, problems_) {}

SimulatedBus::~SimulatedBus() = default;

void SimulatedBus::AddDevice(std::shared_ptr<SimDevice> device) {
    devicesByPath_[device->Description().path].push_back(devices_.size());
    devices_.push_back(std::move(device));
    devicesAdvancedAtMs_.reset();
}

std::vector<std::string> SimulatedBus::HandleProblems(bool atEnd) const {
    std::vector<std::string> out = problems_;
    if (atEnd) {
        for (const auto& [handle, open] : openHandles_) {
            out.push_back("handle " + std::to_string(handle) + " on " +
                          open.device->Description().path + " still open");
        }
        for (const auto& [list, info] : lists_) {
            if (!info.destroyed)
                out.push_back("device information list not released");
        }
        if (!preparsed_.empty())
            out.push_back("preparsed data not freed");
        if (images_.AnyOpen())
            out.push_back("image file still open");
        if (preciseTimingDepth_ != 0)
            out.push_back("precise timing left on");
    }
    return out;
}

int SimulatedBus::OpenHandleCount() const {
    return static_cast<int>(openHandles_.size());
}

void SimulatedBus::AdvanceDevices() {
    const std::int64_t now = clock_.NowMs();
    if (devicesAdvancedAtMs_ == now) {
        for (SimDevice* d : reachedDevices_)
            d->Advance(now);
    } else {
        for (auto& d : devices_) {
            d->FollowUnplugPlan(now);
            d->Advance(now);
        }
        devicesAdvancedAtMs_ = now;
    }
    reachedDevices_.clear();
}

const std::shared_ptr<SimDevice>* SimulatedBus::PresentDeviceAt(const std::string& path) const {
    auto matches = [&](const SimDevice& d) {
        return d.Description().present && d.Description().path == path;
    };
    auto indexed = devicesByPath_.find(path);
    if (indexed != devicesByPath_.end()) {
        for (std::size_t i : indexed->second) {
            if (matches(*devices_[i]))
                return &devices_[i];
        }
    }
    for (const auto& d : devices_) {
        if (matches(*d))
            return &d;
    }
    return nullptr;
}

bool SimulatedBus::WasIssued(Handle handle) const {
    return handle >= kFirstHandle && handle < nextHandle_ &&
           (handle - kFirstHandle) % kHandleStep == 0;
}

SimDevice* SimulatedBus::LiveDevice(Handle handle) {
    auto it = openHandles_.find(handle);
    if (it == openHandles_.end())
        return nullptr;
    SimDevice* device = it->second.device.get();
    if (!device->Description().present || device->Generation() != it->second.generation) {
        return nullptr;
    }
    return device;
}

void SimulatedBus::HidD_GetHidGuid(Guid* hidGuid) {
    log_.Log(CallKind::kHidD_GetHidGuid);
    *hidGuid = kHidGuid;
}

Bool32 SimulatedBus::HidD_GetAttributes(Handle device, HiddAttributes* attributes) {
    AdvanceDevices();
    Call& call = log_.Log(CallKind::kHidD_GetAttributes, device);
    call.length = attributes->Size;
    SimDevice* d = LiveDevice(device);
    if (log_.TakeFailure(call) || d == nullptr || attributes->Size != kHiddAttributesSize) {
        return 0;
    }
    attributes->VendorID = d->Description().vendorId;
    attributes->ProductID = d->Description().productId;
    attributes->VersionNumber = d->Description().versionNumber;
    call.result = 1;
    return 1;
}

Bool32 SimulatedBus::HidD_GetPreparsedData(Handle device, PreparsedData* preparsed) {
    AdvanceDevices();
    Call& call = log_.Log(CallKind::kHidD_GetPreparsedData, device);
    SimDevice* d = LiveDevice(device);
    if (log_.TakeFailure(call) || d == nullptr)
        return 0;
    HidpCaps caps;
    caps.UsagePage = 0xFF00;
    caps.Usage = 1;
    caps.FeatureReportByteLength = d->Description().featureReportByteLength;
    *preparsed = nextPreparsed_++;
    preparsed_[*preparsed] = caps;
    call.result = 1;
    return 1;
}

Bool32 SimulatedBus::HidD_FreePreparsedData(PreparsedData preparsed) {
    Call& call = log_.Log(CallKind::kHidD_FreePreparsedData);
    call.result = preparsed_.erase(preparsed) == 1 ? 1 : 0;
    return static_cast<Bool32>(call.result);
}

std::int32_t SimulatedBus::HidP_GetCaps(PreparsedData preparsed, HidpCaps* capabilities) {
    Call& call = log_.Log(CallKind::kHidP_GetCaps);
    constexpr std::int32_t kHidpStatusInvalidPreparsedData = static_cast<std::int32_t>(0xC0110001);
    auto it = preparsed_.find(preparsed);
    if (log_.TakeFailure(call) || it == preparsed_.end()) {
        call.result = kHidpStatusInvalidPreparsedData;
        return kHidpStatusInvalidPreparsedData;
    }
    *capabilities = it->second;
    call.result = kHidpStatusSuccess;
    return kHidpStatusSuccess;
}

Bool32 SimulatedBus::ReadString(CallKind kind, Handle device, void* buffer, std::uint32_t length,
                                const std::optional<std::u16string> DeviceDescription::*field) {
    AdvanceDevices();
    Call& call = log_.Log(kind, device);
    call.length = length;
    SimDevice* d = LiveDevice(device);
    if (log_.TakeFailure(call) || d == nullptr)
        return 0;
    const std::optional<std::u16string>& value = d->Description().*field;
    if (!value)
        return 0;
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::uint32_t written = 0;
    for (char16_t c : *value) {
        if (written + 2 > length)
            break;
        out[written++] = static_cast<std::uint8_t>(c & 0xFF);
        out[written++] = static_cast<std::uint8_t>(c >> 8);
    }
    if (written + 2 <= length) {
        out[written] = 0;
        out[written + 1] = 0;
    }
    call.bytes = Bytes(buffer, length);
    call.result = 1;
    return 1;
}

Bool32 SimulatedBus::HidD_GetManufacturerString(Handle device, void* buffer, std::uint32_t length) {
    return ReadString(CallKind::kHidD_GetManufacturerString, device, buffer, length,
                      &DeviceDescription::manufacturer);
}

Bool32 SimulatedBus::HidD_GetProductString(Handle device, void* buffer, std::uint32_t length) {
    return ReadString(CallKind::kHidD_GetProductString, device, buffer, length,
                      &DeviceDescription::product);
}

Bool32 SimulatedBus::HidD_GetSerialNumberString(Handle device, void* buffer, std::uint32_t length) {
    return ReadString(CallKind::kHidD_GetSerialNumberString, device, buffer, length,
                      &DeviceDescription::serialNumber);
}

Bool32 SimulatedBus::HidD_GetFeature(Handle device, void* report, std::uint32_t length) {
    AdvanceDevices();
    Call& call = log_.Log(CallKind::kHidD_GetFeature, device);
    call.length = length;
    SimDevice* d = LiveDevice(device);
    // Like Windows, a length other than the device's feature report length is refused.
    if (log_.TakeFailure(call) || d == nullptr ||
        length != d->Description().featureReportByteLength) {
        return 0;
    }
    std::vector<std::uint8_t> copy = Bytes(report, length);
    Reached(*d);
    d->NoteFeatureReport();
    if (!d->GetFeature(copy.data(), length, clock_.NowMs()))
        return 0;
    // std::copy, not memcpy: an empty report has no storage to copy from.
    std::copy(copy.begin(), copy.end(), static_cast<std::uint8_t*>(report));
    call.bytes = std::move(copy);
    call.result = 1;
    return 1;
}

Bool32 SimulatedBus::HidD_SetFeature(Handle device, void* report, std::uint32_t length) {
    AdvanceDevices();
    Call& call = log_.Log(CallKind::kHidD_SetFeature, device);
    call.length = length;
    call.bytes = Bytes(report, length);
    SimDevice* d = LiveDevice(device);
    if (log_.TakeFailure(call) || d == nullptr ||
        length != d->Description().featureReportByteLength) {
        return 0;
    }
    // The device may change mode or leave the bus in reply; keep the log entry's index, since
    // the device model cannot log, but `call` stays valid until the next Log().
    Reached(*d);
    d->NoteFeatureReport();
    const bool accepted = d->SetFeature(call.bytes.data(), length, clock_.NowMs());
    call.result = accepted ? 1 : 0;
    return accepted ? 1 : 0;
}

DeviceInfoList SimulatedBus::SetupDiGetClassDevsA(const Guid* classGuid, std::uint32_t flags) {
    AdvanceDevices();
    Call& call = log_.Log(CallKind::kSetupDiGetClassDevsA);
    call.flags = flags;
    if (log_.TakeFailure(call) || !(*classGuid == kHidGuid)) {
        call.result = kInvalidDeviceInfoList;
        return kInvalidDeviceInfoList;
    }
    InfoList info;
    for (auto& d : devices_) {
        if (d->Description().present || !(flags & kDigcfPresent))
            info.devices.push_back(d);
    }
    const DeviceInfoList list = nextList_++;
    lists_[list] = std::move(info);
    call.result = list;
    return list;
}

Bool32 SimulatedBus::SetupDiEnumDeviceInterfaces(DeviceInfoList list, const Guid* classGuid,
                                                 std::uint32_t memberIndex,
                                                 DeviceInterfaceData* data) {
    Call& call = log_.Log(CallKind::kSetupDiEnumDeviceInterfaces);
    call.length = memberIndex;
    auto it = lists_.find(list);
    if (log_.TakeFailure(call) || it == lists_.end() || it->second.destroyed ||
        !(*classGuid == kHidGuid) || data->cbSize != DeviceInterfaceDataSize() ||
        memberIndex >= it->second.devices.size()) {
        return 0;
    }
    data->InterfaceClassGuid = kHidGuid;
    data->Flags = 1;  // SPINT_ACTIVE
    data->Reserved = memberIndex;
    call.result = 1;
    return 1;
}

Bool32 SimulatedBus::SetupDiGetDeviceInterfaceDetailA(DeviceInfoList list,
                                                      DeviceInterfaceData* data, void* detail,
                                                      std::uint32_t detailSize,
                                                      std::uint32_t* requiredSize) {
    Call& call = log_.Log(CallKind::kSetupDiGetDeviceInterfaceDetailA);
    call.length = detailSize;
    auto it = lists_.find(list);
    if (it == lists_.end() || data->Reserved >= it->second.devices.size())
        return 0;
    const std::string& path = it->second.devices[data->Reserved]->Description().path;
    std::uint32_t needed = static_cast<std::uint32_t>(4 + path.size() + 1);
    if (detail == nullptr && requiredSizeOverride_) {
        needed = *requiredSizeOverride_;
        requiredSizeOverride_.reset();
    }
    if (requiredSize != nullptr)
        *requiredSize = needed;
    if (detail == nullptr)
        return 0;                            // ERROR_INSUFFICIENT_BUFFER, as Windows answers sizing
    call.bytes = Bytes(detail, detailSize);  // as the caller prepared it
    std::uint32_t cbSize = 0;
    std::memcpy(&cbSize, detail, sizeof cbSize);
    if (log_.TakeFailure(call) || cbSize != DetailDataCbSize() || detailSize < needed ||
        detailSize < 4 + path.size() + 1) {
        return 0;
    }
    auto* out = static_cast<std::uint8_t*>(detail);
    std::memcpy(out + 4, path.c_str(), path.size() + 1);
    call.result = 1;
    return 1;
}

Bool32 SimulatedBus::SetupDiDestroyDeviceInfoList(DeviceInfoList list) {
    Call& call = log_.Log(CallKind::kSetupDiDestroyDeviceInfoList);
    auto it = lists_.find(list);
    if (it == lists_.end() || it->second.destroyed)
        return 0;
    it->second.destroyed = true;
    lists_.erase(it);
    call.result = 1;
    return 1;
}

Handle SimulatedBus::CreateFileA(const std::string& fileName, std::uint32_t desiredAccess,
                                 std::uint32_t shareMode, const SecurityAttributes* security,
                                 std::uint32_t creationDisposition,
                                 std::uint32_t flagsAndAttributes) {
    AdvanceDevices();
    Call& call = log_.Log(CallKind::kCreateFileA);
    call.text = fileName;
    call.flags = flagsAndAttributes;
    call.result = kInvalidHandleValue;
    if (log_.TakeFailure(call) || desiredAccess != (kGenericRead | kGenericWrite) ||
        shareMode != (kFileShareRead | kFileShareWrite) || creationDisposition != kOpenExisting ||
        (security != nullptr && security->nLength != SecurityAttributesSize())) {
        return kInvalidHandleValue;
    }
    const std::shared_ptr<SimDevice>* device = PresentDeviceAt(fileName);
    if (device == nullptr || !(*device)->Description().openable)
        return kInvalidHandleValue;
    const Handle handle = nextHandle_;
    nextHandle_ += kHandleStep;
    openHandles_[handle] = OpenHandle{*device, (*device)->Generation(),
                                      (flagsAndAttributes & kFileFlagOverlapped) != 0,
                                      security != nullptr && security->bInheritHandle != 0};
    call.handle = handle;
    call.result = handle;
    return handle;
}

// A present device that refuses to open is held by another program or refused for lack of
// access; the bus knows its IDs.
OpenRefusal SimulatedBus::AccessRefused(const std::string& devicePath, HiddAttributes* attributes) {
    AdvanceDevices();
    Call& call = log_.Log(CallKind::kAccessRefused);
    call.text = devicePath;
    for (auto& d : devices_) {
        const DeviceDescription& desc = d->Description();
        if (desc.path != devicePath || !desc.present || desc.openable)
            continue;
        attributes->VendorID = desc.vendorId;
        attributes->ProductID = desc.productId;
        const OpenRefusal why = desc.heldElsewhere ? OpenRefusal::InUse : OpenRefusal::NotPermitted;
        call.result = static_cast<std::int64_t>(why);
        return why;
    }
    return OpenRefusal::None;
}

std::string SimulatedBus::DevicePort(const std::string& devicePath) {
    AdvanceDevices();
    Call& call = log_.Log(CallKind::kDevicePort);
    call.text = devicePath;
    const std::shared_ptr<SimDevice>* device = PresentDeviceAt(devicePath);
    if (log_.TakeFailure(call) || device == nullptr)
        return {};
    call.result = 1;
    return (*device)->Description().port;
}

Bool32 SimulatedBus::CloseHandle(Handle object) {
    Call& call = log_.Log(CallKind::kCloseHandle, object);
    auto it = openHandles_.find(object);
    if (it == openHandles_.end()) {
        // Handles are never reused, so one issued and no longer open was closed before.
        problems_.push_back("handle " + std::to_string(object) +
                            (WasIssued(object) ? " closed twice" : " closed but never opened"));
        return 0;
    }
    std::shared_ptr<SimDevice> device = it->second.device;
    openHandles_.erase(it);
    Reached(*device);
    device->HandleClosed(clock_.NowMs());
    call.result = 1;
    return 1;
}

void SimulatedBus::Sleep(std::uint32_t milliseconds) {
    Call& call = log_.Log(CallKind::kSleep);
    call.length = milliseconds;
    sleptMs_ += milliseconds;
    clock_.Sleep(milliseconds);
}

void SimulatedBus::BeginPreciseTiming() {
    log_.Log(CallKind::kBeginPreciseTiming);
    ++preciseTimingDepth_;
    clock_.BeginPreciseTiming();
}

void SimulatedBus::EndPreciseTiming() {
    log_.Log(CallKind::kEndPreciseTiming);
    if (preciseTimingDepth_ == 0) {
        problems_.push_back("precise timing ended without a beginning");
        return;
    }
    --preciseTimingDepth_;
    clock_.EndPreciseTiming();
}

std::string SimulatedBus::ProgramDirectory() {
    return programDirectory_;
}

char32_t SimulatedBus::AnsiToUnicode(std::uint8_t code) const {
    return Windows1252ToUnicode(code);
}

FileHandle SimulatedBus::OpenImageFile(const std::string& path, std::string* errorText,
                                       bool* notFound) {
    return images_.Open(path, errorText, notFound);
}

std::int64_t SimulatedBus::ImageFileSize(FileHandle file, std::string* errorText) {
    return images_.Size(file, errorText);
}

std::int64_t SimulatedBus::ReadImageFile(FileHandle file, void* buffer, std::uint32_t length,
                                         std::string* errorText) {
    return images_.Read(file, buffer, length, errorText);
}

void SimulatedBus::CloseImageFile(FileHandle file) {
    images_.Close(file);
}

}  // namespace sim
