#!/usr/bin/env python3
"""Checks rules of the code's structure that a compiler does not, and fails when one is broken:

  - each folder of the programs includes only the folders the layer map below allows it (its
    headers and sources, not its tests), and never a folder of tests or tools; its libraries
    (tw_<folder>, tw_<folder>_win32) link only the libraries of those folders;
  - the programs close handles and delete GDI objects only through the owners of
    base/scoped_win32.h, never by hand; registry keys, directory searches, device-information
    lists, hooks, device notifications, window DCs and hotkeys neither, in the tests too;
  - report codes are numbers only in the button table (config/buttons.cpp): the programs and
    their tests name buttons instead.

Usage: check_structure.py [--layers] [SOURCE_ROOT]
  --layers  also prints each folder's includes beside what the map allows
"""
import re
import sys
from pathlib import Path

# The layers of the programs: what each folder may include besides itself. Tellwand and
# WandEdit meet only through protocol/ (window classes, mutexes, messages), never through each
# other's folders.
ALLOWED_INCLUDES = {
    "base": set(),
    "protocol": set(),
    "keyseq": {"base"},
    "config": {"base", "keyseq"},
    "receiver": {"base"},
    "tellwand": {"base", "keyseq", "config", "protocol", "receiver"},
    "wandedit": {"base", "keyseq", "config", "protocol", "receiver"},
}
PROGRAM_FOLDERS = list(ALLOWED_INCLUDES)
# Tests, shared test code, tools and the like: no program folder includes them.
OTHER_FOLDERS = ["testing", "tests", "tools", "bench", "fuzz", "installer"]
SOURCE_ENDINGS = {".h", ".cpp"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_0-9]+)/', re.MULTILINE)
# Released by hand nowhere in the programs.
HAND_RELEASE = re.compile(r"\b(CloseHandle|DeleteObject|DeleteDC|DestroyMenu|DestroyIcon)\s*\(")
# Released by hand nowhere at all, tests included.
HAND_RELEASE_ANYWHERE = re.compile(
    r"\b(RegCloseKey|FindClose|SetupDiDestroyDeviceInfoList|UnhookWindowsHookEx"
    r"|UnregisterDeviceNotification|ReleaseDC|UnregisterHotKey)\s*\("
)
OWNERS_HEADER = Path("base/scoped_win32.h")
# The stand-ins of setupapi.dll and hid.dll define these calls rather than make them.
STAND_INS = Path("tests/hid_standin")
BUTTON_TABLE = Path("config/buttons.cpp")
# A report code compared with, or named as, a number: `code == 35`, `kCodeDvd = 35`.
CODE_AS_NUMBER = re.compile(r"\b(code\s*[=!<>]=?\s*\d+|kCode(?!Byte\b)\w*\s*=\s*\d+)")


def source_files(root, folders):
    for folder in folders:
        for path in sorted((root / folder).rglob("*")):
            if path.suffix in SOURCE_ENDINGS:
                yield path.relative_to(root), path.read_text(errors="replace")


def is_test(relative):
    return "tests" in relative.parts or relative.parts[0] in OTHER_FOLDERS


def line_of(text, match):
    return text.count("\n", 0, match.start()) + 1


def folder_cycle(edges):
    """A cycle in the folder graph as a list of folders, or None."""
    state = {}

    def visit(folder, trail):
        state[folder] = "open"
        for nxt in sorted(edges.get(folder, ())):
            if state.get(nxt) == "open":
                return trail[trail.index(nxt):] + [nxt]
            if nxt not in state:
                found = visit(nxt, trail + [nxt])
                if found:
                    return found
        state[folder] = "done"
        return None

    for folder in sorted(edges):
        if folder not in state:
            found = visit(folder, [folder])
            if found:
                return found
    return None


def include_problems(relative, text, used):
    own = relative.parts[0]
    for match in INCLUDE.finditer(text):
        target = match.group(1)
        if target == own or target not in PROGRAM_FOLDERS + OTHER_FOLDERS:
            continue
        used.setdefault(own, set()).add(target)
        if target not in ALLOWED_INCLUDES[own]:
            yield f"{relative}:{line_of(text, match)}: {own}/ may not include {target}/"


# `target_link_libraries(tw_config_win32 PUBLIC tw_config tw_base_win32)` in a folder's CMake.
FOLDER_LINK = re.compile(r"target_link_libraries\(\s*tw_([a-z]+?)(?:_win32)?\s+PUBLIC([^)]*)\)")
LINKED_FOLDER = re.compile(r"\btw_([a-z]+?)(?:_win32)?\b")


def link_problems(root):
    for folder in PROGRAM_FOLDERS:
        cmake = root / folder / "CMakeLists.txt"
        text = cmake.read_text() if cmake.exists() else ""
        for link in FOLDER_LINK.finditer(text):
            if link.group(1) != folder:
                continue
            for linked in LINKED_FOLDER.finditer(link.group(2)):
                target = linked.group(1)
                if target in PROGRAM_FOLDERS and target != folder and (
                    target not in ALLOWED_INCLUDES[folder]
                ):
                    yield (f"{folder}/CMakeLists.txt:{line_of(text, link)}: tw_{folder} may not "
                           f"link {linked.group(0)}")


def release_problems(relative, text):
    if relative == OWNERS_HEADER or STAND_INS in relative.parents:
        return
    patterns = [HAND_RELEASE_ANYWHERE] + ([] if is_test(relative) else [HAND_RELEASE])
    for pattern in patterns:
        for match in pattern.finditer(text):
            yield f"{relative}:{line_of(text, match)}: {match.group(1)} by hand; use an owner"


def code_problems(relative, text):
    if relative == BUTTON_TABLE:
        return
    for match in CODE_AS_NUMBER.finditer(text):
        yield f"{relative}:{line_of(text, match)}: a report code as a number: {match.group(0)}"


def print_layers(used):
    for folder, allowed in ALLOWED_INCLUDES.items():
        includes = ", ".join(sorted(used.get(folder, ()))) or "-"
        print(f"layer {folder}: includes {includes}; may include {', '.join(sorted(allowed)) or '-'}")


def main():
    arguments = sys.argv[1:]
    show_layers = "--layers" in arguments
    arguments = [a for a in arguments if a != "--layers"]
    root = Path(arguments[0] if arguments else ".").resolve()
    problems = []
    used = {}
    cycle = folder_cycle(ALLOWED_INCLUDES)
    if cycle:
        problems.append("the layer map allows a cycle: " + " -> ".join(cycle))
    problems.extend(link_problems(root))
    for relative, text in source_files(root, PROGRAM_FOLDERS + OTHER_FOLDERS):
        if not is_test(relative):
            problems.extend(include_problems(relative, text, used))
        problems.extend(release_problems(relative, text))
        if relative.parts[0] in PROGRAM_FOLDERS or relative.parts[0] in ("testing", "tests"):
            problems.extend(code_problems(relative, text))
    if show_layers:
        print_layers(used)
    for problem in problems:
        print(problem)
    print(f"structure: {len(problems)} problem(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
