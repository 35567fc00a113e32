#include "config/program_folders.h"

#include "base/trace.h"

std::string WithTrailingBackslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\') {
        folder += '\\';
    }
    return folder;
}

std::string FolderFromModulePath(const char* modulePath) {
    std::string folder = modulePath;
    std::size_t lastBackslash = folder.rfind('\\');
    folder.erase(lastBackslash == std::string::npos ? 0 : lastBackslash + 1);
    return WithTrailingBackslash(folder);
}

std::string EditorFolder(Registry& registry, const std::string& ownFolder) {
    char path[kFolderPathSize] = {};
    // An empty "Path" would put the files at the root of the current drive.
    if (!registry.ReadString(kInstallKey, "Path", path, sizeof path) || path[0] == '\0') {
        Trace("INI folder %s: WandEdit's own (no registry \"Path\")", ownFolder.c_str());
        return WithTrailingBackslash(ownFolder);
    }
    Trace("INI folder %s: the registry's \"Path\"", path);
    return WithTrailingBackslash(path);
}

IniPaths IniPathsInFolder(const std::string& folder) {
    return IniPaths{folder + "TWCtrl.ini", folder + "UserDef.ini", folder + "UserDefInf.ini"};
}
