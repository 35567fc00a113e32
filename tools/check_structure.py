#!/usr/bin/env python3
"""Checks rules of the code's structure that a compiler does not, and fails when one is broken:

  - the folders of the programs include each other without a cycle (a folder's headers
    and sources, not its tests);
  - the programs close handles and delete GDI objects only through the owners of
    base/scoped_win32.h, never by hand;
  - report codes are numbers only in the button table (config/buttons.cpp): the programs
    name buttons instead.

Usage: check_structure.py [SOURCE_ROOT]
"""
import re
import sys
from pathlib import Path

PROGRAM_FOLDERS = ["base", "keyseq", "config", "receiver", "tellwand", "wandedit"]
SOURCE_ENDINGS = {".h", ".cpp"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_0-9]+)/', re.MULTILINE)
HAND_RELEASE = re.compile(r"\b(CloseHandle|DeleteObject|DeleteDC|DestroyMenu|DestroyIcon)\s*\(")
OWNERS_HEADER = Path("base/scoped_win32.h")
BUTTON_TABLE = Path("config/buttons.cpp")
# A report code compared with, or named as, a number: `code == 35`, `kCodeDvd = 35`.
CODE_AS_NUMBER = re.compile(r"\b(code\s*[=!<>]=?\s*\d+|kCode(?!Byte\b)\w*\s*=\s*\d+)")


def program_files(root):
    for folder in PROGRAM_FOLDERS:
        for path in sorted((root / folder).rglob("*")):
            relative = path.relative_to(root)
            if path.suffix in SOURCE_ENDINGS and "tests" not in relative.parts:
                yield relative, path.read_text(errors="replace")


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


def main():
    root = Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    problems = []
    edges = {}
    for relative, text in program_files(root):
        own = relative.parts[0]
        for target in INCLUDE.findall(text):
            if target != own and target in PROGRAM_FOLDERS:
                edges.setdefault(own, set()).add(target)
        if relative != OWNERS_HEADER:
            for match in HAND_RELEASE.finditer(text):
                line = text.count("\n", 0, match.start()) + 1
                problems.append(f"{relative}:{line}: {match.group(1)} by hand; use an owner")
        if relative != BUTTON_TABLE:
            for match in CODE_AS_NUMBER.finditer(text):
                line = text.count("\n", 0, match.start()) + 1
                problems.append(f"{relative}:{line}: a report code as a number: {match.group(0)}")
    cycle = folder_cycle(edges)
    if cycle:
        problems.append("folders include each other in a cycle: " + " -> ".join(cycle))
    for problem in problems:
        print(problem)
    print(f"structure: {len(problems)} problem(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
