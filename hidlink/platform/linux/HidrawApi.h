// ApiDeclarations on Linux: hidraw nodes found through sysfs, opened as /dev/hidrawN, and
// answered with the hidraw ioctls and sysfs attributes, with Windows' results and buffer rules.
//
// - Enumeration lists /sys/class/hidraw in numeric order; the device path is <dev>/hidrawN.
// - Record sizes are those of 64-bit Windows, and SetupAPI's cbSize checks are kept, so the
//   shared discovery code runs the same way here.
// - Handles are file descriptors; only descriptors this object opened are ever closed.
// - The sysfs and /dev roots are parameters so that tests run on a tree built in a temp folder.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "hidlink/ApiDeclarations.h"
#include "hidlink/platform/linux/PreciseTiming.h"
#include "hidlink/platform/linux/ReportDescriptor.h"
#include "hidlink/platform/linux/SysfsHidraw.h"

namespace hidlink::hidraw {

class HidrawApi : public ApiDeclarations {
  public:
    explicit HidrawApi(std::string sysfsRoot = "/sys", std::string devRoot = "/dev");
    ~HidrawApi() override;
    HidrawApi(const HidrawApi&) = delete;
    HidrawApi& operator=(const HidrawApi&) = delete;

    // --- hid.dll -------------------------------------------------------------------------------
    void HidD_GetHidGuid(Guid* hidGuid) override;
    Bool32 HidD_GetAttributes(Handle device, HiddAttributes* attributes) override;
    Bool32 HidD_GetPreparsedData(Handle device, PreparsedData* preparsed) override;
    Bool32 HidD_FreePreparsedData(PreparsedData preparsed) override;
    std::int32_t HidP_GetCaps(PreparsedData preparsed, HidpCaps* capabilities) override;
    Bool32 HidD_GetManufacturerString(Handle device, void* buffer, std::uint32_t length) override;
    Bool32 HidD_GetProductString(Handle device, void* buffer, std::uint32_t length) override;
    Bool32 HidD_GetSerialNumberString(Handle device, void* buffer, std::uint32_t length) override;
    Bool32 HidD_GetFeature(Handle device, void* report, std::uint32_t length) override;
    Bool32 HidD_SetFeature(Handle device, void* report, std::uint32_t length) override;

    // --- setupapi.dll --------------------------------------------------------------------------
    DeviceInfoList SetupDiGetClassDevsA(const Guid* classGuid, std::uint32_t flags) override;
    Bool32 SetupDiEnumDeviceInterfaces(DeviceInfoList list, const Guid* classGuid,
                                       std::uint32_t memberIndex,
                                       DeviceInterfaceData* interfaceData) override;
    Bool32 SetupDiGetDeviceInterfaceDetailA(DeviceInfoList list, DeviceInterfaceData* interfaceData,
                                            void* detail, std::uint32_t detailSize,
                                            std::uint32_t* requiredSize) override;
    Bool32 SetupDiDestroyDeviceInfoList(DeviceInfoList list) override;
    std::uint32_t DeviceInterfaceDataSize() const override { return 32; }
    std::uint32_t DetailDataCbSize() const override { return 8; }
    std::uint32_t SecurityAttributesSize() const override { return 24; }

    // --- kernel32 ------------------------------------------------------------------------------
    Handle CreateFileA(const std::string& fileName, std::uint32_t desiredAccess,
                       std::uint32_t shareMode, const SecurityAttributes* security,
                       std::uint32_t creationDisposition,
                       std::uint32_t flagsAndAttributes) override;
    Bool32 CloseHandle(Handle object) override;
    OpenRefusal AccessRefused(const std::string& devicePath, HiddAttributes* attributes) override;
    std::string DevicePort(const std::string& devicePath) override;
    void Sleep(std::uint32_t milliseconds) override;
    void BeginPreciseTiming() override { timerSlack_.Raise(); }
    void EndPreciseTiming() override { timerSlack_.Restore(); }

    // --- the program's surroundings ------------------------------------------------------------
    std::string ProgramDirectory() override;
    std::string PathSeparator() const override { return "/"; }
    char32_t AnsiToUnicode(std::uint8_t code) const override;

    // --- image files ---------------------------------------------------------------------------
    FileHandle OpenImageFile(const std::string& path, std::string* errorText,
                             bool* notFound) override;
    std::int64_t ImageFileSize(FileHandle file, std::string* errorText) override;
    std::int64_t ReadImageFile(FileHandle file, void* buffer, std::uint32_t length,
                               std::string* errorText) override;
    void CloseImageFile(FileHandle file) override;

  private:
    enum class StringKind { kManufacturer, kProduct, kSerialNumber };

    // The hidraw node ("hidraw3") of a handle this object opened ("" when its path names no
    // hidraw node), or null for any other handle.
    const std::string* NodeOf(Handle device) const;
    // The hidraw node a device path names ("/dev/hidraw3" -> "hidraw3"), "" for any other path.
    std::string NodeNameIn(const std::string& path) const;
    std::optional<std::string> DeviceString(Handle device, StringKind kind) const;
    Bool32 ReadString(Handle device, StringKind kind, void* buffer, std::uint32_t length) const;
    std::optional<std::vector<std::uint8_t>> ReportDescriptorOf(Handle device) const;

    SysfsHidraw sysfs_;
    std::string devRoot_;

    std::map<DeviceInfoList, std::vector<std::string>> infoLists_;  // device paths per list
    DeviceInfoList nextInfoList_ = 1;
    std::map<Handle, std::string> openDevices_;  // descriptor -> hidraw node ("" when unknown)
    std::map<PreparsedData, ReportLengths> preparsed_;
    PreparsedData nextPreparsed_ = 1;
    std::set<FileHandle> openImageFiles_;
    linuxtiming::TimerSlack timerSlack_;
    std::string lastFailedOpen_;  // the path of the last CreateFileA that failed, and its errno
    int lastOpenErrno_ = 0;
};

}  // namespace hidlink::hidraw
