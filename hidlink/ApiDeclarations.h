// Every platform call the programs make, gathered behind one interface.
//
// The program logic (discovery, identity, the three programs' handlers) talks to the machine only
// through ApiDeclarations. Three implementations exist and one is linked into each executable:
//   - Win32 (SetupAPI, hid.dll, kernel32): hidlink/platform/win32
//   - Linux hidraw (sysfs + /dev/hidrawN ioctls): hidlink/platform/linux
//   - the simulated bus (virtual clock, call log, fault injection): hidlink/sim
//
// The records below mirror the Windows SDK records field for field, so the Win32 backend copies
// them without interpretation. Their sizes are NOT the SDK sizes on every platform: code that must
// write a record size into a buffer (the detail record's cbSize) asks the backend for it.
//
// Buffer and report-ID rules, the same on every backend:
//   - A feature report buffer starts with the report ID in byte 0; the data follow from byte 1.
//   - HidD_GetFeature / HidD_SetFeature transfer exactly `length` bytes starting at byte 0 of the
//     buffer; the caller guarantees the buffer holds at least `length` bytes. `length` is the
//     device's HIDP_CAPS::FeatureReportByteLength (the longest feature report + 1 for the ID byte,
//     also for devices without numbered reports, whose ID byte is 0).
//   - The three string calls write at most `length` bytes of UTF-16LE, NUL-terminated when the
//     terminator fits, and fail (return 0) when the device has no such string.
//   - Boolean results follow Win32: nonzero is success.
#pragma once

#include <cstdint>
#include <string>

namespace hidlink {

using Handle = std::intptr_t;
inline constexpr Handle kInvalidHandleValue = -1;

using DeviceInfoList = std::intptr_t;
inline constexpr DeviceInfoList kInvalidDeviceInfoList = -1;

using Bool32 = std::int32_t;

struct Guid {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::uint8_t Data4[8] = {};
};

inline bool operator==(const Guid& a, const Guid& b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
        return false;
    for (int i = 0; i < 8; ++i) {
        if (a.Data4[i] != b.Data4[i])
            return false;
    }
    return true;
}

// SP_DEVICE_INTERFACE_DATA. cbSize is written by the backend from the SDK record's own size.
struct DeviceInterfaceData {
    std::uint32_t cbSize = 0;
    Guid InterfaceClassGuid;
    std::uint32_t Flags = 0;
    std::uintptr_t Reserved = 0;
};

// HIDD_ATTRIBUTES: Size must be 12 before a query.
struct HiddAttributes {
    std::uint32_t Size = 0;
    std::uint16_t VendorID = 0;
    std::uint16_t ProductID = 0;
    std::uint16_t VersionNumber = 0;
};
inline constexpr std::uint32_t kHiddAttributesSize = 12;

// HIDP_CAPS (64 bytes on every Windows platform).
struct HidpCaps {
    std::uint16_t Usage = 0;
    std::uint16_t UsagePage = 0;
    std::uint16_t InputReportByteLength = 0;
    std::uint16_t OutputReportByteLength = 0;
    std::uint16_t FeatureReportByteLength = 0;
    std::uint16_t Reserved[17] = {};
    std::uint16_t NumberLinkCollectionNodes = 0;
    std::uint16_t NumberInputButtonCaps = 0;
    std::uint16_t NumberInputValueCaps = 0;
    std::uint16_t NumberInputDataIndices = 0;
    std::uint16_t NumberOutputButtonCaps = 0;
    std::uint16_t NumberOutputValueCaps = 0;
    std::uint16_t NumberOutputDataIndices = 0;
    std::uint16_t NumberFeatureButtonCaps = 0;
    std::uint16_t NumberFeatureValueCaps = 0;
    std::uint16_t NumberFeatureDataIndices = 0;
};
static_assert(sizeof(HidpCaps) == 64);

// SECURITY_ATTRIBUTES. nLength is the SDK record's size (24 on Win64, 12 on Win32); the backend
// reports it through SecurityAttributesSize().
struct SecurityAttributes {
    std::uint32_t nLength = 0;
    void* lpSecurityDescriptor = nullptr;
    Bool32 bInheritHandle = 0;
};

using PreparsedData = std::intptr_t;

// Why a device the platform lists could not be opened, as far as the platform can tell.
enum class OpenRefusal : std::int32_t {
    None = 0,      // not refused, or no telling why
    NotPermitted,  // this user may not open it
    InUse,         // another program holds it
};

// Constants with their Win32 values; backends translate them where the platform differs.
inline constexpr std::uint32_t kDigcfPresent = 0x02;
inline constexpr std::uint32_t kDigcfDeviceInterface = 0x10;
inline constexpr std::uint32_t kGenericRead = 0x80000000u;
inline constexpr std::uint32_t kGenericWrite = 0x40000000u;
inline constexpr std::uint32_t kFileShareRead = 0x1;
inline constexpr std::uint32_t kFileShareWrite = 0x2;
inline constexpr std::uint32_t kOpenExisting = 3;
inline constexpr std::uint32_t kFileFlagOverlapped = 0x40000000u;
inline constexpr std::int32_t kHidpStatusSuccess = 0x00110000;

// A binary file opened for reading by OpenImageFile. Files are the only thing the programs read
// besides the device; they go through this interface so tests can inject faults.
using FileHandle = std::intptr_t;
inline constexpr FileHandle kNoFile = -1;

class ApiDeclarations {
  public:
    virtual ~ApiDeclarations() = default;

    // --- hid.dll -------------------------------------------------------------------------------
    virtual void HidD_GetHidGuid(Guid* hidGuid) = 0;
    virtual Bool32 HidD_GetAttributes(Handle device, HiddAttributes* attributes) = 0;
    virtual Bool32 HidD_GetPreparsedData(Handle device, PreparsedData* preparsed) = 0;
    virtual Bool32 HidD_FreePreparsedData(PreparsedData preparsed) = 0;
    // Returns a HIDP status; kHidpStatusSuccess on success.
    virtual std::int32_t HidP_GetCaps(PreparsedData preparsed, HidpCaps* capabilities) = 0;
    virtual Bool32 HidD_GetManufacturerString(Handle device, void* buffer,
                                              std::uint32_t length) = 0;
    virtual Bool32 HidD_GetProductString(Handle device, void* buffer, std::uint32_t length) = 0;
    virtual Bool32 HidD_GetSerialNumberString(Handle device, void* buffer,
                                              std::uint32_t length) = 0;
    virtual Bool32 HidD_GetFeature(Handle device, void* report, std::uint32_t length) = 0;
    virtual Bool32 HidD_SetFeature(Handle device, void* report, std::uint32_t length) = 0;

    // --- setupapi.dll --------------------------------------------------------------------------
    // enumerator and parent window are always null in these programs and are not passed.
    virtual DeviceInfoList SetupDiGetClassDevsA(const Guid* classGuid, std::uint32_t flags) = 0;
    // deviceInfoData is always null in these programs and is not passed.
    virtual Bool32 SetupDiEnumDeviceInterfaces(DeviceInfoList list, const Guid* classGuid,
                                               std::uint32_t memberIndex,
                                               DeviceInterfaceData* interfaceData) = 0;
    // detail may be null with detailSize 0 (the sizing query). The detail block is the SDK's
    // SP_DEVICE_INTERFACE_DETAIL_DATA_A: a 32-bit cbSize that the caller sets to
    // DetailDataCbSize(), then the NUL-terminated ANSI device path from byte 4.
    virtual Bool32 SetupDiGetDeviceInterfaceDetailA(DeviceInfoList list,
                                                    DeviceInterfaceData* interfaceData,
                                                    void* detail, std::uint32_t detailSize,
                                                    std::uint32_t* requiredSize) = 0;
    virtual Bool32 SetupDiDestroyDeviceInfoList(DeviceInfoList list) = 0;

    // The SDK's cbSize values for the records whose size the caller writes.
    virtual std::uint32_t DeviceInterfaceDataSize() const = 0;
    virtual std::uint32_t DetailDataCbSize() const = 0;
    virtual std::uint32_t SecurityAttributesSize() const = 0;

    // --- kernel32 ------------------------------------------------------------------------------
    virtual Handle CreateFileA(const std::string& fileName, std::uint32_t desiredAccess,
                               std::uint32_t shareMode, const SecurityAttributes* security,
                               std::uint32_t creationDisposition,
                               std::uint32_t flagsAndAttributes) = 0;
    virtual Bool32 CloseHandle(Handle object) = 0;
    // After CreateFileA failed on a device path: why, when the platform refused a device it can
    // still identify, whose vendor and product IDs then go to *attributes. It tells "no device"
    // from "a device this user may not open" (on Linux, a missing udev rule) and from "a device
    // another program holds" (on Windows, opened without sharing). None where the platform
    // cannot tell or did not refuse.
    virtual OpenRefusal AccessRefused(const std::string& devicePath,
                                      HiddAttributes* attributes) = 0;
    // The physical place on the bus of the device behind an interface path: the USB port path
    // (hubs and ports), the same for whatever the device at that port enumerates as, and
    // different for the same device on another port. Read from the system's device tree; the
    // device is not opened. Empty when the platform cannot tell.
    virtual std::string DevicePort(const std::string& devicePath) = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    // Make short Sleeps last what they say (Windows' default tick stretches Sleep(4) to ~15.6 ms)
    // between Begin and End; a no-op where sleeps are already precise.
    virtual void BeginPreciseTiming() = 0;
    virtual void EndPreciseTiming() = 0;

    // --- the program's surroundings ------------------------------------------------------------
    // The directory that holds the running executable, as the platform reports it, without a
    // trailing separator unless the platform gives one (a drive root); empty when the platform
    // cannot tell.
    virtual std::string ProgramDirectory() = 0;
    // The platform's path separator: "\\" on Windows, "/" elsewhere.
    virtual std::string PathSeparator() const = 0;
    // The character that the system's ANSI code page gives to a byte, as a Unicode code point.
    virtual char32_t AnsiToUnicode(std::uint8_t code) const = 0;

    // --- image files ---------------------------------------------------------------------------
    // Opens an existing file for binary reading; never creates one. On failure returns kNoFile
    // and puts the platform's error text in *errorText and whether the file is absent in
    // *notFound.
    virtual FileHandle OpenImageFile(const std::string& path, std::string* errorText,
                                     bool* notFound) = 0;
    // Size in bytes of an open file, or -1 with *errorText set.
    virtual std::int64_t ImageFileSize(FileHandle file, std::string* errorText) = 0;
    // Reads up to `length` bytes at the current position. Returns the count read (0 at the end
    // of the file), or -1 with *errorText set on a read error.
    virtual std::int64_t ReadImageFile(FileHandle file, void* buffer, std::uint32_t length,
                                       std::string* errorText) = 0;
    virtual void CloseImageFile(FileHandle file) = 0;
};

}  // namespace hidlink
