#include "hidlink/platform/win32/Win32Api.h"

// In this order: winioctl.h uses the types of windows.h, hidclass.h the CTL_CODE of winioctl.h.
#include <windows.h>

#include <winioctl.h>

#include <hidclass.h>

#include <cstddef>
#include <cstring>
#include <optional>

#include "hidlink/PlatformApi.h"
#include "hidlink/UsbIdsInPath.h"
#include "hidlink/platform/win32/FeatureIo.h"
#include "hidlink/platform/win32/SystemFunctions.h"

namespace hidlink {

ApiDeclarations& PlatformApi() {
    static win32::Win32Api api;
    return api;
}

}  // namespace hidlink

namespace hidlink::win32 {

namespace {

// The portable records and constants mirror the SDK's.
static_assert(sizeof(HIDD_ATTRIBUTES) == kHiddAttributesSize);
static_assert(sizeof(HIDP_CAPS) == sizeof(HidpCaps) && sizeof(HIDP_CAPS) == 64);
static_assert(offsetof(HIDP_CAPS, FeatureReportByteLength) ==
              offsetof(HidpCaps, FeatureReportByteLength));
static_assert(offsetof(HIDP_CAPS, NumberLinkCollectionNodes) ==
              offsetof(HidpCaps, NumberLinkCollectionNodes));
static_assert(offsetof(HIDP_CAPS, NumberFeatureDataIndices) ==
              offsetof(HidpCaps, NumberFeatureDataIndices));
static_assert(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) == 4);
#ifdef _WIN64
static_assert(sizeof(SP_DEVICE_INTERFACE_DATA) == 32);
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) == 8);
static_assert(sizeof(SECURITY_ATTRIBUTES) == 24);
#endif
static_assert(kDigcfPresent == DIGCF_PRESENT && kDigcfDeviceInterface == DIGCF_DEVICEINTERFACE);
static_assert(kGenericRead == GENERIC_READ && kGenericWrite == GENERIC_WRITE);
static_assert(kFileShareRead == FILE_SHARE_READ && kFileShareWrite == FILE_SHARE_WRITE);
static_assert(kOpenExisting == OPEN_EXISTING && kFileFlagOverlapped == FILE_FLAG_OVERLAPPED);
static_assert(kHidpStatusSuccess == HIDP_STATUS_SUCCESS);
// Handles travel as integers; INVALID_HANDLE_VALUE is the integer -1 (kInvalidHandleValue,
// kInvalidDeviceInfoList, kNoFile).
static_assert(sizeof(Handle) == sizeof(HANDLE) && sizeof(PreparsedData) == sizeof(void*));

HANDLE ToHandle(std::intptr_t value) {
    return reinterpret_cast<HANDLE>(value);
}

std::intptr_t FromHandle(HANDLE handle) {
    return reinterpret_cast<std::intptr_t>(handle);
}

// A DLL function that could not be loaded fails its call as a missing entry point would.
BOOL Missing() {
    ::SetLastError(ERROR_PROC_NOT_FOUND);
    return FALSE;
}

// Our Guid and the SDK's GUID hold the same four fields; either is filled from the other.
template <typename To, typename From>
To ConvertGuid(const From& from) {
    To to;
    to.Data1 = from.Data1;
    to.Data2 = from.Data2;
    to.Data3 = from.Data3;
    static_assert(sizeof to.Data4 == sizeof from.Data4);
    std::memcpy(to.Data4, from.Data4, sizeof to.Data4);
    return to;
}

GUID ToSdk(const Guid& guid) {
    return ConvertGuid<GUID>(guid);
}

Guid FromSdk(const GUID& sdk) {
    return ConvertGuid<Guid>(sdk);
}

SP_DEVICE_INTERFACE_DATA ToSdk(const DeviceInterfaceData& data) {
    SP_DEVICE_INTERFACE_DATA sdk;
    sdk.cbSize = data.cbSize;
    sdk.InterfaceClassGuid = ToSdk(data.InterfaceClassGuid);
    sdk.Flags = data.Flags;
    sdk.Reserved = data.Reserved;  // SetupAPI's own reference to the interface: kept exactly
    return sdk;
}

void CopyFromSdk(const SP_DEVICE_INTERFACE_DATA& sdk, DeviceInterfaceData* data) {
    data->cbSize = sdk.cbSize;
    data->InterfaceClassGuid = FromSdk(sdk.InterfaceClassGuid);
    data->Flags = sdk.Flags;
    data->Reserved = sdk.Reserved;
}

// Both GUID arguments are optional in SetupAPI; a null one stays null.
class OptionalGuid {
  public:
    explicit OptionalGuid(const Guid* guid) : present_(guid != nullptr) {
        if (present_)
            sdk_ = ToSdk(*guid);
    }
    const GUID* get() const { return present_ ? &sdk_ : nullptr; }

  private:
    bool present_;
    GUID sdk_{};
};

}  // namespace

Win32Api::Win32Api() {
    System();  // narrows DLL loading to the system directory before anything else loads
}

// --- hid.dll ---------------------------------------------------------------------------------

void Win32Api::HidD_GetHidGuid(Guid* hidGuid) {
    if (System().HidD_GetHidGuid == nullptr)
        return;
    GUID sdk = ToSdk(*hidGuid);
    System().HidD_GetHidGuid(&sdk);
    *hidGuid = FromSdk(sdk);
}

Bool32 Win32Api::HidD_GetAttributes(Handle device, HiddAttributes* attributes) {
    if (System().HidD_GetAttributes == nullptr)
        return Missing();
    // Copied in and out whole, so a failed query leaves the caller's fields as they were.
    HIDD_ATTRIBUTES sdk;
    sdk.Size = attributes->Size;
    sdk.VendorID = attributes->VendorID;
    sdk.ProductID = attributes->ProductID;
    sdk.VersionNumber = attributes->VersionNumber;
    const BOOLEAN ok = System().HidD_GetAttributes(ToHandle(device), &sdk);
    attributes->Size = sdk.Size;
    attributes->VendorID = sdk.VendorID;
    attributes->ProductID = sdk.ProductID;
    attributes->VersionNumber = sdk.VersionNumber;
    return ok;
}

Bool32 Win32Api::HidD_GetPreparsedData(Handle device, PreparsedData* preparsed) {
    if (System().HidD_GetPreparsedData == nullptr)
        return Missing();
    auto* sdk = reinterpret_cast<PHIDP_PREPARSED_DATA>(*preparsed);
    const BOOLEAN ok = System().HidD_GetPreparsedData(ToHandle(device), &sdk);
    *preparsed = reinterpret_cast<PreparsedData>(sdk);
    return ok;
}

Bool32 Win32Api::HidD_FreePreparsedData(PreparsedData preparsed) {
    if (System().HidD_FreePreparsedData == nullptr)
        return Missing();
    return System().HidD_FreePreparsedData(reinterpret_cast<PHIDP_PREPARSED_DATA>(preparsed));
}

std::int32_t Win32Api::HidP_GetCaps(PreparsedData preparsed, HidpCaps* capabilities) {
    if (System().HidP_GetCaps == nullptr)
        return HIDP_STATUS_NOT_IMPLEMENTED;
    // Both records are 64 bytes of 16-bit fields in the same order (asserted above).
    HIDP_CAPS sdk;
    std::memcpy(&sdk, static_cast<const void*>(capabilities), sizeof sdk);
    const NTSTATUS status =
        System().HidP_GetCaps(reinterpret_cast<PHIDP_PREPARSED_DATA>(preparsed), &sdk);
    std::memcpy(static_cast<void*>(capabilities), &sdk, sizeof sdk);
    return status;
}

Bool32 Win32Api::HidD_GetManufacturerString(Handle device, void* buffer, std::uint32_t length) {
    if (System().HidD_GetManufacturerString == nullptr)
        return Missing();
    return System().HidD_GetManufacturerString(ToHandle(device), buffer, length);
}

Bool32 Win32Api::HidD_GetProductString(Handle device, void* buffer, std::uint32_t length) {
    if (System().HidD_GetProductString == nullptr)
        return Missing();
    return System().HidD_GetProductString(ToHandle(device), buffer, length);
}

Bool32 Win32Api::HidD_GetSerialNumberString(Handle device, void* buffer, std::uint32_t length) {
    if (System().HidD_GetSerialNumberString == nullptr)
        return Missing();
    return System().HidD_GetSerialNumberString(ToHandle(device), buffer, length);
}

Bool32 Win32Api::HidD_GetFeature(Handle device, void* report, std::uint32_t length) {
    if (overlappedHandles_.contains(device)) {
        // The report ID in byte 0 goes in; the report comes back in the same buffer.
        return DeviceIoControlWithTimeout(ToHandle(device), IOCTL_HID_GET_FEATURE, report, length,
                                          report, length, kFeatureTimeoutMs);
    }
    if (System().HidD_GetFeature == nullptr)
        return Missing();
    return System().HidD_GetFeature(ToHandle(device), report, length);
}

Bool32 Win32Api::HidD_SetFeature(Handle device, void* report, std::uint32_t length) {
    if (overlappedHandles_.contains(device)) {
        return DeviceIoControlWithTimeout(ToHandle(device), IOCTL_HID_SET_FEATURE, report, length,
                                          nullptr, 0, kFeatureTimeoutMs);
    }
    if (System().HidD_SetFeature == nullptr)
        return Missing();
    return System().HidD_SetFeature(ToHandle(device), report, length);
}

// --- setupapi.dll ----------------------------------------------------------------------------

DeviceInfoList Win32Api::SetupDiGetClassDevsA(const Guid* classGuid, std::uint32_t flags) {
    if (System().SetupDiGetClassDevsA == nullptr) {
        Missing();
        return kInvalidDeviceInfoList;
    }
    const OptionalGuid guid(classGuid);
    return FromHandle(System().SetupDiGetClassDevsA(guid.get(), nullptr, nullptr, flags));
}

Bool32 Win32Api::SetupDiEnumDeviceInterfaces(DeviceInfoList list, const Guid* classGuid,
                                             std::uint32_t memberIndex,
                                             DeviceInterfaceData* interfaceData) {
    if (System().SetupDiEnumDeviceInterfaces == nullptr)
        return Missing();
    const OptionalGuid guid(classGuid);
    SP_DEVICE_INTERFACE_DATA sdk = ToSdk(*interfaceData);
    const BOOL ok = System().SetupDiEnumDeviceInterfaces(ToHandle(list), nullptr, guid.get(),
                                                         memberIndex, &sdk);
    CopyFromSdk(sdk, interfaceData);
    return ok;
}

Bool32 Win32Api::SetupDiGetDeviceInterfaceDetailA(DeviceInfoList list,
                                                  DeviceInterfaceData* interfaceData, void* detail,
                                                  std::uint32_t detailSize,
                                                  std::uint32_t* requiredSize) {
    if (System().SetupDiGetDeviceInterfaceDetailA == nullptr)
        return Missing();
    SP_DEVICE_INTERFACE_DATA sdk = ToSdk(*interfaceData);
    // SetupAPI writes the size only on some failures; otherwise the caller's value stays.
    DWORD required = requiredSize != nullptr ? *requiredSize : 0;
    const BOOL ok = System().SetupDiGetDeviceInterfaceDetailA(
        ToHandle(list), &sdk, static_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_A>(detail), detailSize,
        requiredSize != nullptr ? &required : nullptr, nullptr);
    if (requiredSize != nullptr)
        *requiredSize = required;
    CopyFromSdk(sdk, interfaceData);
    return ok;
}

Bool32 Win32Api::SetupDiDestroyDeviceInfoList(DeviceInfoList list) {
    if (System().SetupDiDestroyDeviceInfoList == nullptr)
        return Missing();
    return System().SetupDiDestroyDeviceInfoList(ToHandle(list));
}

std::uint32_t Win32Api::DeviceInterfaceDataSize() const {
    return sizeof(SP_DEVICE_INTERFACE_DATA);
}

std::uint32_t Win32Api::DetailDataCbSize() const {
    return sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
}

std::uint32_t Win32Api::SecurityAttributesSize() const {
    return sizeof(SECURITY_ATTRIBUTES);
}

// --- kernel32 and winmm ----------------------------------------------------------------------

Handle Win32Api::CreateFileA(const std::string& fileName, std::uint32_t desiredAccess,
                             std::uint32_t shareMode, const SecurityAttributes* security,
                             std::uint32_t creationDisposition, std::uint32_t flagsAndAttributes) {
    SECURITY_ATTRIBUTES sdk{};
    if (security != nullptr) {
        sdk.nLength = security->nLength;
        sdk.lpSecurityDescriptor = security->lpSecurityDescriptor;
        sdk.bInheritHandle = security->bInheritHandle;
    }
    const HANDLE handle = ::CreateFileA(fileName.c_str(), desiredAccess, shareMode,
                                        security != nullptr ? &sdk : nullptr, creationDisposition,
                                        flagsAndAttributes, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        lastOpenError_ = GetLastError();
        lastFailedOpen_ = fileName;
        SetLastError(lastOpenError_);  // as the caller would find it after ::CreateFileA
    } else if ((flagsAndAttributes & FILE_FLAG_OVERLAPPED) != 0) {
        overlappedHandles_.insert(FromHandle(handle));
    }
    return FromHandle(handle);
}

OpenRefusal Win32Api::AccessRefused(const std::string& devicePath, HiddAttributes* attributes) {
    if (devicePath != lastFailedOpen_ ||
        (lastOpenError_ != ERROR_SHARING_VIOLATION && lastOpenError_ != ERROR_ACCESS_DENIED))
        return OpenRefusal::None;
    const std::optional<HiddAttributes> ids = UsbIdsInPath(devicePath);
    if (!ids)
        return OpenRefusal::None;
    attributes->VendorID = ids->VendorID;
    attributes->ProductID = ids->ProductID;
    return OpenRefusal::InUse;
}

Bool32 Win32Api::CloseHandle(Handle object) {
    overlappedHandles_.erase(object);
    return ::CloseHandle(ToHandle(object));
}

void Win32Api::Sleep(std::uint32_t milliseconds) {
    ::Sleep(milliseconds);
}

void Win32Api::BeginPreciseTiming() {
    if (System().timeBeginPeriod != nullptr)
        System().timeBeginPeriod(1);
}

void Win32Api::EndPreciseTiming() {
    if (System().timeEndPeriod != nullptr)
        System().timeEndPeriod(1);
}

}  // namespace hidlink::win32
