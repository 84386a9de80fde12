// ApiDeclarations that forwards every call to another and writes it to a capture file as it
// goes, one JSON line per call: the time in ms since the capture began, the call's name, its
// arguments (report bytes in hex), its results and the platform's last error after it. What the
// lines hold is what the emulated device (EmulatedDevice) serves back, and what the capture
// checker judges; CallArguments.h names the argument fields.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "hidlink/ApiDeclarations.h"
#include "hidlink/capture/CaptureFile.h"
#include "hidlink/capture/CaptureLine.h"

namespace hidlink {

class CapturingApi : public ApiDeclarations {
  public:
    // `nowMs` reads the clock the times are taken from (the machine's monotonic clock when not
    // given). With `anonymous`, every serial number the device reports is replaced by a
    // placeholder ("serial-1", "serial-2"...), the same for the same serial, in the string
    // results and wherever it appears in a path, port or text afterwards.
    CapturingApi(ApiDeclarations& inner, CaptureFile& file, bool anonymous,
                 std::function<std::int64_t()> nowMs = {});

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
    Bool32 ReadString(const char* call, Handle device, void* buffer, std::uint32_t length,
                      Bool32 (ApiDeclarations::*read)(Handle, void*, std::uint32_t));
    // A serial number just read: its placeholder written over it in the buffer, when anonymous.
    void HideSerial(void* buffer, std::uint32_t length);
    // The text with every serial met so far, in any letter case, and a device path's instance
    // segment replaced by their placeholders, when anonymous.
    std::string Hidden(std::string text) const;
    // Writes the line, led by the time, ended by the platform's last error, which it keeps.
    void Write(const CaptureLine& line) const;
    // For the calls that answer only success: writes the line with the result, and returns it.
    Bool32 WriteResult(CaptureLine line, Bool32 result) const;

    ApiDeclarations& inner_;
    CaptureFile& file_;
    bool anonymous_;
    std::function<std::int64_t()> nowMs_;
    std::map<std::string, std::string> placeholders_;  // serial (UTF-8) -> placeholder
    // A Windows device path's instance segment (lowercase) -> placeholder: it carries the serial
    // before any serial has been read.
    mutable std::map<std::string, std::string> instances_;
    mutable bool codePageWritten_ = false;
};

}  // namespace hidlink
