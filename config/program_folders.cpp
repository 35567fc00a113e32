#include "config/program_folders.h"

#include "base/ascii_case.h"
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

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool StartsWithDriveRoot(std::string_view path) {
    return path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == ':' && IsSeparator(path[2]);
}

// The index where a name that starts at `start` ends: at the next separator or the end.
std::size_t NameEnd(std::string_view path, std::size_t start) {
    while (start < path.size() && !IsSeparator(path[start])) {
        ++start;
    }
    return start;
}

// The length of "\\server\share" at the start of the path, or 0 when it names no share.
std::size_t ShareLength(std::string_view path) {
    if (path.size() < 2 || !IsSeparator(path[0]) || !IsSeparator(path[1])) {
        return 0;
    }
    std::size_t serverEnd = NameEnd(path, 2);
    if (serverEnd == 2 || serverEnd == path.size()) {
        return 0;
    }
    std::size_t shareEnd = NameEnd(path, serverEnd + 1);
    return shareEnd > serverEnd + 1 ? shareEnd : 0;
}

// The part of a full path that ".." never climbs above: "C:" or "\\server\share".
std::size_t RootLength(std::string_view path) {
    return StartsWithDriveRoot(path) ? 2 : ShareLength(path);
}

// The path as the file system resolves it: '/' read as '\\', "." and ".." taken out, repeated
// separators merged, no separator at its end.
std::string NormalizedPath(std::string_view path) {
    std::size_t rootLength = RootLength(path);
    std::string root(path.substr(0, rootLength));
    for (char& c : root) {
        c = IsSeparator(c) ? '\\' : c;
    }
    std::vector<std::string_view> parts;
    std::size_t start = rootLength;
    while (start < path.size()) {
        std::size_t end = NameEnd(path, start);
        std::string_view part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string normalized = root;
    for (std::string_view part : parts) {
        normalized.append("\\").append(part);
    }
    return normalized;
}

}  // namespace

bool IsFullPath(std::string_view path) {
    return RootLength(path) != 0;
}

bool LiesInsideAnyFolder(std::string_view path, const std::vector<std::string>& folders) {
    if (!IsFullPath(path)) {
        return false;
    }
    std::string inside = NormalizedPath(path);
    for (const std::string& folder : folders) {
        if (!IsFullPath(folder)) {
            continue;
        }
        std::string prefix = NormalizedPath(folder) + "\\";
        if (inside.size() > prefix.size() &&
            EqualsIgnoringCase(std::string_view(inside).substr(0, prefix.size()), prefix.c_str())) {
            return true;
        }
    }
    return false;
}
