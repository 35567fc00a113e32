# Sourced by the scripts: which Windows build this machine tests, decided in this one place.
#
# The programs ship as 32-bit Windows programs (preset win32), and they are tested that way
# wherever 32-bit Wine starts. Some machines cannot run 32-bit Linux programs at all (32-bit
# Wine fails with "Exec format error"); there the same sources are tested as the x86_64 build
# (preset win64) under 64-bit Wine. TW_WINDOWS_ARCH=win64 (or win32) forces the choice.
#
# Sets and exports:
#   TW_WINDOWS_ARCH   win32 or win64: the CMake preset, also WINEARCH of the prefix
#   TW_WINDOWS_BUILD  the build folder of that preset
#   TW_WINE           the Wine loader for that build
#   TW_WINESERVER     the wineserver for that build
# and prints one line saying which build and why, once per run of the outermost script.

tw_decide_windows_build() {
  local root reason
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  if [ -n "${TW_WINDOWS_ARCH:-}" ]; then
    reason="set by TW_WINDOWS_ARCH"
  elif /usr/lib/wine/wineserver32 --version >/dev/null 2>&1; then
    TW_WINDOWS_ARCH=win32
    reason="32-bit Wine starts on this machine"
  else
    TW_WINDOWS_ARCH=win64
    reason="32-bit Wine cannot start on this machine (/usr/lib/wine/wineserver32 does not run)"
  fi
  case "$TW_WINDOWS_ARCH" in
    win32)
      TW_WINE=wine
      TW_WINESERVER=wineserver
      ;;
    win64)
      # The plain wine and wineserver commands try the 32-bit programs first.
      TW_WINE=/usr/lib/wine/wine64
      TW_WINESERVER=/usr/lib/wine/wineserver64
      ;;
    *)
      echo "TW_WINDOWS_ARCH must be win32 or win64, not '$TW_WINDOWS_ARCH'" >&2
      return 1
      ;;
  esac
  TW_WINDOWS_BUILD=$root/build/$TW_WINDOWS_ARCH
  export TW_WINDOWS_ARCH TW_WINDOWS_BUILD TW_WINE TW_WINESERVER
  if [ -z "${TW_WINDOWS_BUILD_SAID:-}" ]; then
    echo "windows build: $TW_WINDOWS_ARCH ($reason)" >&2
    export TW_WINDOWS_BUILD_SAID=1
  fi
}

tw_decide_windows_build
