#include "receiver/hid_functions_win32.h"

#include <string>

#include "base/trace.h"
#include "base/trace_win32.h"

namespace {

// By its full path, so nothing is searched; LOAD_WITH_ALTERED_SEARCH_PATH has the DLL's own
// dependencies looked for in its folder first.
HMODULE LoadFromSystemFolder(const char* name) {
    char folder[MAX_PATH] = {};
    UINT length = GetSystemDirectoryA(folder, sizeof folder);
    if (length == 0 || length >= sizeof folder) {
        return nullptr;
    }
    std::string path = std::string(folder, length) + "\\" + name;
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (module == nullptr) {
        TraceLastError(("LoadLibraryExA of " + path).c_str());
    } else {
        Trace("hid.dll loaded from %s", path.c_str());
    }
    return module;
}

const HidFunctions* LoadSystemHid() {
    static HidFunctions functions;
    HMODULE hid = LoadFromSystemFolder("hid.dll");
    functions.getHidGuid = ModuleFunction<decltype(functions.getHidGuid)>(hid, "HidD_GetHidGuid");
    functions.getAttributes =
        ModuleFunction<decltype(functions.getAttributes)>(hid, "HidD_GetAttributes");
    functions.getPreparsedData =
        ModuleFunction<decltype(functions.getPreparsedData)>(hid, "HidD_GetPreparsedData");
    functions.freePreparsedData =
        ModuleFunction<decltype(functions.freePreparsedData)>(hid, "HidD_FreePreparsedData");
    functions.getCaps = ModuleFunction<decltype(functions.getCaps)>(hid, "HidP_GetCaps");
    bool complete = functions.getHidGuid && functions.getAttributes && functions.getPreparsedData &&
                    functions.freePreparsedData && functions.getCaps;
    if (!complete) {
        Trace("hid.dll lacks a function the receiver needs: no receiver can be found");
    }
    return complete ? &functions : nullptr;
}

}  // namespace

const HidFunctions* SystemHid() {
    static const HidFunctions* loaded = LoadSystemHid();
    return loaded;
}
