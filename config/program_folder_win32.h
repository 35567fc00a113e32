#pragma once
// The folder of the running program's own executable.

#include <string>

// Read into 256 characters and cut after the last backslash; always ends in a backslash.
std::string OwnProgramFolder();
