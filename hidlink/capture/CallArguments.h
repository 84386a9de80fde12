// What a capture line says about a call before it is made: its name and its arguments. The
// capturing decorator writes these and adds the results; the emulated device builds the same
// from the call the program makes and compares, so the two can never disagree on a field.
#pragma once

#include <cstdint>
#include <string>

#include "hidlink/ApiDeclarations.h"
#include "hidlink/capture/CaptureLine.h"

namespace hidlink::call_arguments {

inline CaptureLine Named(const char* call) {
    CaptureLine line;
    line.Add("call", std::string(call));
    return line;
}

inline CaptureLine OnHandle(const char* call, Handle handle) {
    return Named(call).Add("handle", static_cast<std::int64_t>(handle));
}

inline CaptureLine WithLength(const char* call, Handle handle, std::uint32_t length) {
    return OnHandle(call, handle).Add("length", static_cast<std::int64_t>(length));
}

// A feature report call: the buffer as the program hands it over.
inline CaptureLine FeatureReport(const char* call, Handle handle, const void* report,
                                 std::uint32_t length) {
    return WithLength(call, handle, length).AddBytes("sent", report, length);
}

inline std::string GuidHex(const Guid* guid) {
    return guid != nullptr ? HexOf(guid, sizeof *guid) : std::string();
}

inline CaptureLine ClassDevs(const Guid* guid, std::uint32_t flags) {
    return Named("SetupDiGetClassDevsA").Add("guid", GuidHex(guid)).Add("flags", flags);
}

inline CaptureLine EnumInterfaces(DeviceInfoList list, const Guid* guid, std::uint32_t index,
                                  const DeviceInterfaceData* data) {
    return Named("SetupDiEnumDeviceInterfaces")
        .Add("list", static_cast<std::int64_t>(list))
        .Add("guid", GuidHex(guid))
        .Add("index", index)
        .Add("cbSize", data != nullptr ? static_cast<std::int64_t>(data->cbSize) : -1);
}

// The interface record itself is the platform's own (on Windows its Reserved field is a
// pointer), so only what the program chose is an argument: the list, the buffer it offers and
// the cbSize it wrote there (-1: the sizing query without a buffer).
inline CaptureLine InterfaceDetail(DeviceInfoList list, const void* detail,
                                   std::uint32_t detailSize, const std::uint32_t* requiredSize) {
    std::int64_t cbSize = -1;
    if (detail != nullptr && detailSize >= 4) {
        std::uint32_t written = 0;
        const auto* bytes = static_cast<const std::uint8_t*>(detail);
        for (int i = 3; i >= 0; --i)
            written = (written << 8) | bytes[i];
        cbSize = written;
    }
    return Named("SetupDiGetDeviceInterfaceDetailA")
        .Add("list", static_cast<std::int64_t>(list))
        .Add("size", detailSize)
        .Add("cbSize", cbSize)
        .Add("asksRequired", requiredSize != nullptr ? 1 : 0);
}

inline CaptureLine CreateFile(const std::string& path, std::uint32_t access, std::uint32_t share,
                              const SecurityAttributes* security, std::uint32_t disposition,
                              std::uint32_t flags) {
    return Named("CreateFileA")
        .Add("path", path)
        .Add("access", access)
        .Add("share", share)
        .Add("securityLength", security != nullptr ? std::int64_t{security->nLength} : -1)
        .Add("inherit", security != nullptr ? std::int64_t{security->bInheritHandle} : 0)
        .Add("disposition", disposition)
        .Add("flags", flags);
}

inline CaptureLine OnPath(const char* call, const std::string& path) {
    return Named(call).Add("path", path);
}

inline CaptureLine OnNumber(const char* call, const char* key, std::int64_t value) {
    return Named(call).Add(key, value);
}

}  // namespace hidlink::call_arguments
