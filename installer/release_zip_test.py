#!/usr/bin/env python3
"""Checks the release zip: exactly the programs, the installer and the user guide in one
folder, each the same bytes as the file the build made (a stale copy would ship old code).

usage: release_zip_test.py ZIP FOLDER FILE...
"""
import os
import sys
import zipfile


def main():
    zip_path, folder, files = sys.argv[1], sys.argv[2], sys.argv[3:]
    expected = {f"{folder}/{os.path.basename(f)}": f for f in files}
    failures = []
    with zipfile.ZipFile(zip_path) as archive:
        bad = archive.testzip()
        if bad is not None:
            failures.append(f"{bad} is damaged")
        names = {n for n in archive.namelist() if not n.endswith("/")}
        for name in sorted(names - expected.keys()):
            failures.append(f"unexpected {name}")
        for name in sorted(expected.keys() - names):
            failures.append(f"missing {name}")
        for name in sorted(names & expected.keys()):
            with open(expected[name], "rb") as built:
                if archive.read(name) != built.read():
                    failures.append(f"{name} differs from {expected[name]}")
        folders = {n.split("/")[0] for n in archive.namelist()}
        if folders != {folder}:
            failures.append(f"top-level entries {sorted(folders)}, not only {folder}")
    for failure in failures:
        print(f"FAIL: {failure}", file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
