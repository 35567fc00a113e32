#pragma once
// The windows the application-table commands ask the user with: "Application Name",
// "File path error", "Delete HotKey" and the file-open dialog for a program. Each runs
// modally over `owner`.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "wandedit/table_manager.h"

std::optional<std::string> RunApplicationNameDialog(HINSTANCE instance, HWND owner,
                                                    const std::vector<std::string>& listed);
FilePathAnswer RunFilePathErrorDialog(HINSTANCE instance, HWND owner);
bool RunDeleteHotkeyDialog(HINSTANCE instance, HWND owner, const std::string& message);
std::optional<std::string> RunOpenProgramDialog(HWND owner);
