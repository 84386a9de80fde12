#include "hidlink/platform/win32/SystemFunctions.h"

namespace hidlink::win32 {

namespace {

HMODULE LoadFromSystemDirectory(const wchar_t* name) {
    return ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

template <typename Function>
void Resolve(HMODULE module, const char* name, Function& function) {
    if (module == nullptr)
        return;
    // GetProcAddress returns a generic function pointer; the real type comes from the SDK header.
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

SystemFunctions Load() {
    // Also covers DLLs that other parts of the program, or these DLLs, load later.
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);

    SystemFunctions f;
    const HMODULE hid = LoadFromSystemDirectory(L"hid.dll");
    Resolve(hid, "HidD_GetHidGuid", f.HidD_GetHidGuid);
    Resolve(hid, "HidD_GetAttributes", f.HidD_GetAttributes);
    Resolve(hid, "HidD_GetPreparsedData", f.HidD_GetPreparsedData);
    Resolve(hid, "HidD_FreePreparsedData", f.HidD_FreePreparsedData);
    Resolve(hid, "HidP_GetCaps", f.HidP_GetCaps);
    Resolve(hid, "HidD_GetManufacturerString", f.HidD_GetManufacturerString);
    Resolve(hid, "HidD_GetProductString", f.HidD_GetProductString);
    Resolve(hid, "HidD_GetSerialNumberString", f.HidD_GetSerialNumberString);
    Resolve(hid, "HidD_GetFeature", f.HidD_GetFeature);
    Resolve(hid, "HidD_SetFeature", f.HidD_SetFeature);

    const HMODULE setupapi = LoadFromSystemDirectory(L"setupapi.dll");
    Resolve(setupapi, "SetupDiGetClassDevsA", f.SetupDiGetClassDevsA);
    Resolve(setupapi, "SetupDiEnumDeviceInterfaces", f.SetupDiEnumDeviceInterfaces);
    Resolve(setupapi, "SetupDiGetDeviceInterfaceDetailA", f.SetupDiGetDeviceInterfaceDetailA);
    Resolve(setupapi, "SetupDiDestroyDeviceInfoList", f.SetupDiDestroyDeviceInfoList);
    Resolve(setupapi, "SetupDiCreateDeviceInfoList", f.SetupDiCreateDeviceInfoList);
    Resolve(setupapi, "SetupDiOpenDeviceInterfaceA", f.SetupDiOpenDeviceInterfaceA);

    const HMODULE cfgmgr32 = LoadFromSystemDirectory(L"cfgmgr32.dll");
    Resolve(cfgmgr32, "CM_Get_Parent", f.CM_Get_Parent);
    Resolve(cfgmgr32, "CM_Get_Device_IDA", f.CM_Get_Device_IDA);
    Resolve(cfgmgr32, "CM_Get_DevNode_Registry_PropertyA", f.CM_Get_DevNode_Registry_PropertyA);

    const HMODULE winmm = LoadFromSystemDirectory(L"winmm.dll");
    Resolve(winmm, "timeBeginPeriod", f.timeBeginPeriod);
    Resolve(winmm, "timeEndPeriod", f.timeEndPeriod);
    return f;
}

}  // namespace

const SystemFunctions& System() {
    static const SystemFunctions functions = Load();
    return functions;
}

}  // namespace hidlink::win32
