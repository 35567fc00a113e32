#include "receiver/hid_functions_win32.h"

#include <string>

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
    return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
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
    return complete ? &functions : nullptr;
}

}  // namespace

const HidFunctions* SystemHid() {
    static const HidFunctions* loaded = LoadSystemHid();
    return loaded;
}
