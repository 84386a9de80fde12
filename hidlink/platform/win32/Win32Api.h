// ApiDeclarations on the Windows SDK: SetupAPI and hid.dll (loaded from the system directory),
// kernel32 and winmm. The portable records are copied field by field into the SDK records and
// back, so the calls see exactly what the SDK declares.
//
// Not thread-safe: the programs make every call from their window's thread.
#pragma once

#include <set>
#include <string>

#include "hidlink/ApiDeclarations.h"

namespace hidlink::win32 {

class Win32Api final : public ApiDeclarations {
  public:
    Win32Api();

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

    DeviceInfoList SetupDiGetClassDevsA(const Guid* classGuid, std::uint32_t flags) override;
    Bool32 SetupDiEnumDeviceInterfaces(DeviceInfoList list, const Guid* classGuid,
                                       std::uint32_t memberIndex,
                                       DeviceInterfaceData* interfaceData) override;
    Bool32 SetupDiGetDeviceInterfaceDetailA(DeviceInfoList list, DeviceInterfaceData* interfaceData,
                                            void* detail, std::uint32_t detailSize,
                                            std::uint32_t* requiredSize) override;
    Bool32 SetupDiDestroyDeviceInfoList(DeviceInfoList list) override;

    std::uint32_t DeviceInterfaceDataSize() const override;
    std::uint32_t DetailDataCbSize() const override;
    std::uint32_t SecurityAttributesSize() const override;

    Handle CreateFileA(const std::string& fileName, std::uint32_t desiredAccess,
                       std::uint32_t shareMode, const SecurityAttributes* security,
                       std::uint32_t creationDisposition,
                       std::uint32_t flagsAndAttributes) override;
    Bool32 CloseHandle(Handle object) override;
    // Windows opens HID devices for every user. What it refuses is a device held without
    // sharing: by another program (ERROR_SHARING_VIOLATION), or by the system itself, as
    // keyboards and mice are (ERROR_ACCESS_DENIED), which no profile accepts. The path names the
    // device.
    OpenRefusal AccessRefused(const std::string& devicePath, HiddAttributes* attributes) override;
    std::string DevicePort(const std::string& devicePath) override;
    void Sleep(std::uint32_t milliseconds) override;
    void BeginPreciseTiming() override;
    void EndPreciseTiming() override;

    std::string ProgramDirectory() override;
    std::string PathSeparator() const override;
    char32_t AnsiToUnicode(std::uint8_t code) const override;

    FileHandle OpenImageFile(const std::string& path, std::string* errorText,
                             bool* notFound) override;
    std::int64_t ImageFileSize(FileHandle file, std::string* errorText) override;
    std::int64_t ReadImageFile(FileHandle file, void* buffer, std::uint32_t length,
                               std::string* errorText) override;
    void CloseImageFile(FileHandle file) override;

  private:
    // Device handles this object opened with FILE_FLAG_OVERLAPPED and has not closed: feature
    // reports on them go through DeviceIoControl with an OVERLAPPED record.
    std::set<Handle> overlappedHandles_;
    // The last path CreateFileA failed on, and GetLastError() then.
    std::string lastFailedOpen_;
    std::uint32_t lastOpenError_ = 0;
};

}  // namespace hidlink::win32
