// The functions of hid.dll, setupapi.dll, cfgmgr32.dll and winmm.dll, loaded from the system
// directory only.
//
// The updaters run from a downloads folder, beside files nobody vetted. A DLL imported at load
// time, or loaded with a plain LoadLibrary, is looked for in the program's folder first, so a
// planted hid.dll would run inside the program. These DLLs are therefore never imported: each is
// loaded with LOAD_LIBRARY_SEARCH_SYSTEM32 and its functions are resolved by name.
#pragma once

#include <windows.h>
// windows.h first: setupapi.h and hidsdi.h rely on its types.
#include <setupapi.h>
// setupapi.h first: cfgmgr32.h takes DEVINST and CONFIGRET from it.
#include <cfgmgr32.h>
extern "C" {
#include <hidsdi.h>
}

namespace hidlink::win32 {

// winmm's timeBeginPeriod / timeEndPeriod (MMRESULT is a UINT).
using TimePeriodFunction = UINT(WINAPI*)(UINT);

// A function whose DLL or entry point could not be loaded stays null; callers fail the call.
struct SystemFunctions {
    decltype(&::HidD_GetHidGuid) HidD_GetHidGuid = nullptr;
    decltype(&::HidD_GetAttributes) HidD_GetAttributes = nullptr;
    decltype(&::HidD_GetPreparsedData) HidD_GetPreparsedData = nullptr;
    decltype(&::HidD_FreePreparsedData) HidD_FreePreparsedData = nullptr;
    decltype(&::HidP_GetCaps) HidP_GetCaps = nullptr;
    decltype(&::HidD_GetManufacturerString) HidD_GetManufacturerString = nullptr;
    decltype(&::HidD_GetProductString) HidD_GetProductString = nullptr;
    decltype(&::HidD_GetSerialNumberString) HidD_GetSerialNumberString = nullptr;
    decltype(&::HidD_GetFeature) HidD_GetFeature = nullptr;
    decltype(&::HidD_SetFeature) HidD_SetFeature = nullptr;

    decltype(&::SetupDiGetClassDevsA) SetupDiGetClassDevsA = nullptr;
    decltype(&::SetupDiEnumDeviceInterfaces) SetupDiEnumDeviceInterfaces = nullptr;
    decltype(&::SetupDiGetDeviceInterfaceDetailA) SetupDiGetDeviceInterfaceDetailA = nullptr;
    decltype(&::SetupDiDestroyDeviceInfoList) SetupDiDestroyDeviceInfoList = nullptr;
    decltype(&::SetupDiCreateDeviceInfoList) SetupDiCreateDeviceInfoList = nullptr;
    decltype(&::SetupDiOpenDeviceInterfaceA) SetupDiOpenDeviceInterfaceA = nullptr;

    decltype(&::CM_Get_Parent) CM_Get_Parent = nullptr;
    decltype(&::CM_Get_Device_IDA) CM_Get_Device_IDA = nullptr;
    decltype(&::CM_Get_DevNode_Registry_PropertyA) CM_Get_DevNode_Registry_PropertyA = nullptr;

    TimePeriodFunction timeBeginPeriod = nullptr;
    TimePeriodFunction timeEndPeriod = nullptr;
};

// Narrows every later DLL load of the process to the system directory, then loads the four
// DLLs (once; the modules stay loaded for the life of the process).
const SystemFunctions& System();

}  // namespace hidlink::win32
