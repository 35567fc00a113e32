#pragma once
// The HID class driver's functions, taken from the hid.dll of the system folder only. hid.dll
// is no protected system DLL: the usual search would take one lying beside the program, and
// run it inside Tellwand at every logon.

#include <windows.h>
// The HID headers of MinGW-w64 lack C linkage of their own.
extern "C" {
#include <hidsdi.h>
}

struct HidFunctions {
    decltype(&HidD_GetHidGuid) getHidGuid;
    decltype(&HidD_GetAttributes) getAttributes;
    decltype(&HidD_GetPreparsedData) getPreparsedData;
    decltype(&HidD_FreePreparsedData) freePreparsedData;
    decltype(&HidP_GetCaps) getCaps;
};

// Loaded at the first call; null when the system folder has no hid.dll with all of them.
const HidFunctions* SystemHid();

// A function of a loaded module by its name; null when the module or the function is missing.
template <typename Function>
Function ModuleFunction(HMODULE module, const char* name) {
    if (module == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
