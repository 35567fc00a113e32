// Stands in for the system's icacls in installer_test (Wine's changes nothing): appends its
// arguments to the file named by TW_ICACLS_LOG, with the number of entries that the folder
// or file it is given (its first argument) holds at that moment.

#include <windows.h>

#include <cstdio>
#include <string>

#include "base/scoped_win32.h"

namespace {

// The arguments: the command line after the program's own name.
const char* Arguments(const char* commandLine) {
    bool quoted = false;
    for (; *commandLine != '\0' && (quoted || *commandLine != ' '); ++commandLine) {
        quoted = *commandLine == '"' ? !quoted : quoted;
    }
    while (*commandLine == ' ') {
        ++commandLine;
    }
    return commandLine;
}

// The first of the arguments, unquoted.
std::string FirstArgument(const char* arguments) {
    std::string argument;
    bool quoted = false;
    for (; *arguments != '\0' && (quoted || *arguments != ' '); ++arguments) {
        if (*arguments == '"') {
            quoted = !quoted;
        } else {
            argument += *arguments;
        }
    }
    return argument;
}

int EntriesIn(const std::string& folder) {
    WIN32_FIND_DATAA found;
    ScopedFind search(FindFirstFileA((folder + "\\*").c_str(), &found));
    if (!search) {
        return 0;
    }
    int entries = 0;
    do {
        std::string name = found.cFileName;
        entries += name != "." && name != ".." ? 1 : 0;
    } while (FindNextFileA(search.get(), &found));
    return entries;
}

}  // namespace

int main() {
    char log[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableA("TW_ICACLS_LOG", log, sizeof log);
    if (length == 0 || length >= sizeof log) {
        return 1;
    }
    const char* arguments = Arguments(GetCommandLineA());
    if (FILE* file = std::fopen(log, "a")) {
        std::fprintf(file, "%s | %d entries\n", arguments, EntriesIn(FirstArgument(arguments)));
        std::fclose(file);
    }
    return 0;
}
