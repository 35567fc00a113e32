#pragma once
// Where DLLs that load after the start may come from.

// Keeps the program's own folder and the current folder out of every later search for a DLL
// by name: anyone who can write there could otherwise put a DLL into the program. Called
// first, before anything could load one. Where Windows cannot restrict the search to the
// system folder, it at least leaves the current folder out.
void RestrictDllSearchToSystemFolder();
