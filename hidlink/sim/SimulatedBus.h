// ApiDeclarations on in-process devices: the programs' tests and the -sim demo programs run on it.
//
// - Devices enumerate in the order they were added, when present at SetupDiGetClassDevsA.
// - Every call is logged with its time, handle, bytes and result (Calls(), CallLog.h), unless the
//   bus runs on a real clock: the -sim programs run for hours and nobody reads their log.
// - Handles are accounted: closing one twice, closing one never opened, and handles still open
//   are reported by HandleProblems(), which tests assert empty.
// - Faults: FailNext(call) / FailNth(call, n) make calls of that name fail (the image-file calls
//   too, ImageFiles.h); device models refuse reports on their own terms;
//   OverrideRequiredDetailSize() makes the sizing query lie.
// Record sizes mimic 64-bit Windows, and SetupAPI's cbSize checks are enforced.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "hidlink/ApiDeclarations.h"
#include "hidlink/sim/CallLog.h"
#include "hidlink/sim/ImageFiles.h"
#include "hidlink/sim/SimClock.h"
#include "hidlink/sim/SimDevice.h"

namespace sim {

class SimulatedBus : public hidlink::ApiDeclarations {
  public:
    explicit SimulatedBus(SimClock& clock);
    ~SimulatedBus() override;

    // --- setting up ---------------------------------------------------------------------------
    void AddDevice(std::shared_ptr<SimDevice> device);
    void SetProgramDirectory(std::string directory) { programDirectory_ = std::move(directory); }
    // The next `count` calls of that name fail; a name the bus has no call of throws.
    void FailNext(const std::string& callName, int count = 1) { log_.FailNext(callName, count); }
    // Only the n-th call of that name from now (1 = the next) fails.
    void FailNth(const std::string& callName, int n) { log_.FailNth(callName, n); }
    // The next sizing query reports this required size instead of the true one.
    void OverrideRequiredDetailSize(std::uint32_t size) { requiredSizeOverride_ = size; }
    // Make reads of an image fail: the n-th ReadImageFile from now (1 = the next) fails.
    void FailImageReadAt(int nthReadFromNow, std::string errorText) {
        images_.FailReadAt(nthReadFromNow, std::move(errorText));
    }
    // Make opening this path fail with this error text (for an unreadable file).
    void FailImageOpen(std::string path, std::string errorText) {
        images_.FailOpen(std::move(path), std::move(errorText));
    }

    // --- observing ----------------------------------------------------------------------------
    const std::vector<Call>& Calls() const { return log_.Calls(); }
    std::vector<Call> CallsNamed(const std::string& name) const { return log_.CallsNamed(name); }
    void ClearCalls() { log_.Clear(); }
    // Keep the call log (the default on a virtual clock) or not (on a real clock); without it,
    // Calls() stays empty and the bus's memory stays the same however long it runs.
    void KeepCallLog(bool keep) { log_.Keep(keep); }
    // Every millisecond the programs asked to sleep, logged or not: the least time their
    // sequences can take on a real clock.
    std::int64_t SleptMs() const { return sleptMs_; }
    SimClock& Clock() { return clock_; }
    std::int64_t NowMs() const { return clock_.NowMs(); }
    // Problems with handles: closed twice, closed but never opened, and (when atEnd) still open.
    std::vector<std::string> HandleProblems(bool atEnd = true) const;
    int OpenHandleCount() const;

    // --- ApiDeclarations ----------------------------------------------------------------------
    void HidD_GetHidGuid(hidlink::Guid* hidGuid) override;
    hidlink::Bool32 HidD_GetAttributes(hidlink::Handle device,
                                       hidlink::HiddAttributes* attributes) override;
    hidlink::Bool32 HidD_GetPreparsedData(hidlink::Handle device,
                                          hidlink::PreparsedData* preparsed) override;
    hidlink::Bool32 HidD_FreePreparsedData(hidlink::PreparsedData preparsed) override;
    std::int32_t HidP_GetCaps(hidlink::PreparsedData preparsed,
                              hidlink::HidpCaps* capabilities) override;
    hidlink::Bool32 HidD_GetManufacturerString(hidlink::Handle device, void* buffer,
                                               std::uint32_t length) override;
    hidlink::Bool32 HidD_GetProductString(hidlink::Handle device, void* buffer,
                                          std::uint32_t length) override;
    hidlink::Bool32 HidD_GetSerialNumberString(hidlink::Handle device, void* buffer,
                                               std::uint32_t length) override;
    hidlink::Bool32 HidD_GetFeature(hidlink::Handle device, void* report,
                                    std::uint32_t length) override;
    hidlink::Bool32 HidD_SetFeature(hidlink::Handle device, void* report,
                                    std::uint32_t length) override;
    hidlink::DeviceInfoList SetupDiGetClassDevsA(const hidlink::Guid* classGuid,
                                                 std::uint32_t flags) override;
    hidlink::Bool32 SetupDiEnumDeviceInterfaces(hidlink::DeviceInfoList list,
                                                const hidlink::Guid* classGuid,
                                                std::uint32_t memberIndex,
                                                hidlink::DeviceInterfaceData* data) override;
    hidlink::Bool32 SetupDiGetDeviceInterfaceDetailA(hidlink::DeviceInfoList list,
                                                     hidlink::DeviceInterfaceData* data,
                                                     void* detail, std::uint32_t detailSize,
                                                     std::uint32_t* requiredSize) override;
    hidlink::Bool32 SetupDiDestroyDeviceInfoList(hidlink::DeviceInfoList list) override;
    std::uint32_t DeviceInterfaceDataSize() const override { return 32; }
    std::uint32_t DetailDataCbSize() const override { return 8; }
    std::uint32_t SecurityAttributesSize() const override { return 24; }
    hidlink::Handle CreateFileA(const std::string& fileName, std::uint32_t desiredAccess,
                                std::uint32_t shareMode,
                                const hidlink::SecurityAttributes* security,
                                std::uint32_t creationDisposition,
                                std::uint32_t flagsAndAttributes) override;
    hidlink::Bool32 CloseHandle(hidlink::Handle object) override;
    hidlink::OpenRefusal AccessRefused(const std::string& devicePath,
                                       hidlink::HiddAttributes* attributes) override;
    std::string DevicePort(const std::string& devicePath) override;
    void Sleep(std::uint32_t milliseconds) override;
    void BeginPreciseTiming() override;
    void EndPreciseTiming() override;
    std::string ProgramDirectory() override;
    std::string PathSeparator() const override { return "/"; }
    char32_t AnsiToUnicode(std::uint8_t code) const override;
    hidlink::FileHandle OpenImageFile(const std::string& path, std::string* errorText,
                                      bool* notFound) override;
    std::int64_t ImageFileSize(hidlink::FileHandle file, std::string* errorText) override;
    std::int64_t ReadImageFile(hidlink::FileHandle file, void* buffer, std::uint32_t length,
                               std::string* errorText) override;
    void CloseImageFile(hidlink::FileHandle file) override;

  private:
    struct OpenHandle {
        std::shared_ptr<SimDevice> device;
        std::uint32_t generation = 0;
        bool overlapped = false;
        bool inheritable = false;
    };
    struct InfoList {
        std::vector<std::shared_ptr<SimDevice>> devices;
        bool destroyed = false;
    };

    // Lets the device models act on the time before a call reaches them. A model changes with
    // the time or with what reaches it, so at an unchanged time only the models reached since
    // are asked again: discovery's many calls at one moment cost one pass over the bus, not one
    // pass per call.
    void AdvanceDevices();
    void Reached(SimDevice& device) { reachedDevices_.push_back(&device); }
    // The first device on the bus at that path, in the order they were added.
    const std::shared_ptr<SimDevice>* PresentDeviceAt(const std::string& path) const;
    bool WasIssued(hidlink::Handle handle) const;
    // The device behind an open handle, if it is still on the bus in the same generation.
    SimDevice* LiveDevice(hidlink::Handle handle);
    hidlink::Bool32 ReadString(CallKind kind, hidlink::Handle device, void* buffer,
                               std::uint32_t length,
                               const std::optional<std::u16string> DeviceDescription::*field);

    SimClock& clock_;
    std::vector<std::shared_ptr<SimDevice>> devices_;
    // Device indexes by the path they were added with; a model may change its path later, so a
    // lookup confirms the path and falls back to the whole bus.
    std::unordered_map<std::string, std::vector<std::size_t>> devicesByPath_;
    std::optional<std::int64_t> devicesAdvancedAtMs_;
    std::vector<SimDevice*> reachedDevices_;
    CallLog log_;
    std::int64_t sleptMs_ = 0;
    std::optional<std::uint32_t> requiredSizeOverride_;

    std::map<hidlink::Handle, OpenHandle> openHandles_;
    std::vector<std::string> problems_;
    static constexpr hidlink::Handle kFirstHandle = 0x100;
    static constexpr hidlink::Handle kHandleStep = 4;
    hidlink::Handle nextHandle_ = kFirstHandle;

    std::map<hidlink::DeviceInfoList, InfoList> lists_;
    hidlink::DeviceInfoList nextList_ = 0x5000;
    std::map<hidlink::PreparsedData, hidlink::HidpCaps> preparsed_;
    hidlink::PreparsedData nextPreparsed_ = 0x9000;
    int preciseTimingDepth_ = 0;

    std::string programDirectory_ = ".";
    ImageFiles images_;
};

}  // namespace sim
