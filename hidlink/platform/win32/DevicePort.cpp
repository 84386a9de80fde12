// Where a HID interface's device is plugged in, from the device tree: the HID device's USB
// ancestors carry their location paths ("PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(2)#USB(3)").
#include <string>
#include <vector>

#include "hidlink/platform/win32/SystemFunctions.h"
#include "hidlink/platform/win32/Win32Api.h"

namespace hidlink::win32 {

namespace {

// USB hubs are at most five deep; above the USB device come the host controller's nodes.
constexpr int kAncestorsSearched = 4;
constexpr char kInterfaceStep[] = "#USBMI(";

// The device node of the device that exposes the interface, or 0.
DEVINST InterfaceDeviceNode(const SystemFunctions& f, const std::string& devicePath) {
    if (!f.SetupDiCreateDeviceInfoList || !f.SetupDiOpenDeviceInterfaceA ||
        !f.SetupDiGetDeviceInterfaceDetailA || !f.SetupDiDestroyDeviceInfoList)
        return 0;
    const HDEVINFO list = f.SetupDiCreateDeviceInfoList(nullptr, nullptr);
    if (list == INVALID_HANDLE_VALUE)
        return 0;
    SP_DEVICE_INTERFACE_DATA interfaceData{};
    interfaceData.cbSize = sizeof interfaceData;
    SP_DEVINFO_DATA deviceData{};
    deviceData.cbSize = sizeof deviceData;
    DEVINST node = 0;
    if (f.SetupDiOpenDeviceInterfaceA(list, devicePath.c_str(), 0, &interfaceData)) {
        DWORD size = 0;
        f.SetupDiGetDeviceInterfaceDetailA(list, &interfaceData, nullptr, 0, &size, nullptr);
        std::vector<char> detail(size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)
                                     ? sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)
                                     : size);
        auto* record = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(detail.data());
        record->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
        if (f.SetupDiGetDeviceInterfaceDetailA(list, &interfaceData, record,
                                               static_cast<DWORD>(detail.size()), nullptr,
                                               &deviceData))
            node = deviceData.DevInst;
    }
    f.SetupDiDestroyDeviceInfoList(list);
    return node;
}

// The first of a node's location paths; empty when it has none.
std::string LocationPath(const SystemFunctions& f, DEVINST node) {
    char paths[1024] = {};
    ULONG type = 0;
    ULONG size = sizeof paths - 2;  // two NULs stay at the end of the multi-string
    if (f.CM_Get_DevNode_Registry_PropertyA(node, CM_DRP_LOCATION_PATHS, &type, paths, &size, 0) !=
        CR_SUCCESS)
        return {};
    return paths;
}

}  // namespace

// The first USB ancestor with a location path names the port. A composite device's interfaces
// add a step of their own, which is dropped, so that every interface of a device, in every mode,
// names the same port. Where no ancestor has one (older systems, Wine), the instance ID of the
// HID device's parent stands in: Windows derives it from the serial number, or from the port for
// a device without one.
std::string Win32Api::DevicePort(const std::string& devicePath) {
    const SystemFunctions& f = System();
    if (!f.CM_Get_Parent || !f.CM_Get_Device_IDA || !f.CM_Get_DevNode_Registry_PropertyA)
        return {};
    DEVINST node = InterfaceDeviceNode(f, devicePath);
    if (node == 0 || f.CM_Get_Parent(&node, node, 0) != CR_SUCCESS)
        return {};
    const DEVINST parent = node;
    for (int level = 0; level < kAncestorsSearched; ++level) {
        std::string path = LocationPath(f, node);
        if (!path.empty()) {
            const std::size_t step = path.find(kInterfaceStep);
            return step == std::string::npos ? path : path.substr(0, step);
        }
        if (f.CM_Get_Parent(&node, node, 0) != CR_SUCCESS)
            break;
    }
    char id[MAX_DEVICE_ID_LEN + 1] = {};
    if (f.CM_Get_Device_IDA(parent, id, MAX_DEVICE_ID_LEN, 0) != CR_SUCCESS)
        return {};
    return id;
}

}  // namespace hidlink::win32
