# Sourced by the scripts: which Windows builds this machine tests under which Wine, decided in
# this one place, by trying.
#
# Two Wines: Wine 8, this machine's own (Debian 12), and Wine 10, Debian 13's in a root of its
# own (scripts/wine10-root), whose WoW64 mode runs 32-bit Windows programs inside a 64-bit
# Linux process. The programs ship as 32-bit programs (preset win32); under each Wine they are
# tested that way wherever a tiny 32-bit program starts under it, else as the x86_64 build
# (preset win64), the stand-in. Some machines cannot run 32-bit Linux programs, so 32-bit
# Wine 8 fails ("Exec format error") while Wine 10 may still run 32-bit code.
#
#   TW_WINE=8 or 10          picks one Wine (default: Wine 8 where it runs the win32 build,
#                            else Wine 10 where that does, else Wine 8)
#   TW_WINDOWS_ARCH=win32|win64   forces the build
#   TW_PREFIX_VARIANT=-NAME  a prefix of its own beside the build's (a suite that installs a
#                            driver keeps it out of every other suite's prefix)
#
# Sets and exports, for the Wine picked:
#   TW_WINE           8 or 10
#   TW_WINDOWS_ARCH   win32 or win64: the CMake preset
#   TW_WINDOWS_BUILD  the build folder of that preset
#   TW_WINEPREFIX     that build's prefix for that Wine: 32-bit for win32 under Wine 8, 64-bit
#                     under Wine 10 (32-bit programs there see what 64-bit Windows shows them)
#   TW_REG_VIEW       /reg:32 or /reg:64, the registry view the build's programs see
#   TW_WINDOWS_PLAN   every Wine and build this machine tests: "8:win32 10:win32"
# and prints one line saying which and why, once per run of the outermost script.

tw_checkout=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# tw_runs_32bit WINE: whether a tiny 32-bit program starts under that Wine; tried once per
# build tree, the answer kept in build/wine-probe.
tw_runs_32bit() {
  local probe=$tw_checkout/build/wine-probe answer
  answer=$probe/wine$1
  if [ ! -f "$answer" ]; then
    mkdir -p "$probe"
    [ -f "$probe/probe32.exe" ] ||
      printf 'int main(void) { return 42; }\n' | i686-w64-mingw32-gcc -x c -o "$probe/probe32.exe" - || return 1
    local status=0
    TW_WINE=$1 TW_WINDOWS_ARCH=win32 TW_WINDOWS_BUILD_SAID=1 WINEPREFIX='' \
      timeout 300 "$tw_checkout/scripts/wine-run" "$probe/probe32.exe" >/dev/null 2>&1 || status=$?
    [ "$status" = 42 ] && echo yes >"$answer" || echo no >"$answer"
  fi
  [ "$(cat "$answer")" = yes ]
}

# tw_wine_available WINE: Wine 8 is the machine's; Wine 10's root is made on first use.
tw_wine_available() {
  case "$1" in
    8) command -v wine >/dev/null ;;
    10) "$tw_checkout/scripts/wine10-root" >/dev/null ;;
    *) return 1 ;;
  esac
}

tw_describe_wine() {  # WINE ARCH: why that build under that Wine
  if [ -n "${TW_WINDOWS_ARCH_FORCED:-}" ]; then
    echo "set by TW_WINDOWS_ARCH"
  elif [ "$2" = win32 ]; then
    [ "$1" = 8 ] && echo "32-bit Wine starts" || echo "32-bit code runs in a 64-bit process (WoW64)"
  else
    [ "$1" = 8 ] && echo "32-bit Wine cannot start" || echo "WoW64 cannot run a 32-bit program"
  fi
}

tw_decide_windows_builds() {
  local wine arch wines said=() unavailable=()
  [ -n "${TW_WINDOWS_ARCH:-}" ] && TW_WINDOWS_ARCH_FORCED=1
  wines=${TW_WINE:-8 10}
  TW_WINDOWS_PLAN=
  for wine in $wines; do
    if ! tw_wine_available "$wine"; then
      unavailable+=("Wine $wine (not available)")
      continue
    fi
    arch=${TW_WINDOWS_ARCH_FORCED:+$TW_WINDOWS_ARCH}
    if [ -z "$arch" ]; then
      tw_runs_32bit "$wine" && arch=win32 || arch=win64
    fi
    [ "$arch" = win64 ] && [ -z "${TW_WINDOWS_ARCH_FORCED:-}" ] &&
      unavailable+=("the shipped win32 build under Wine $wine")
    TW_WINDOWS_PLAN+="${TW_WINDOWS_PLAN:+ }$wine:$arch"
    said+=("$arch under Wine $wine ($(tw_describe_wine "$wine" "$arch"))")
  done
  if [ -z "$TW_WINDOWS_PLAN" ]; then
    echo "windows builds: no Wine can run here: ${unavailable[*]}" >&2
    return 1
  fi
  if [ -z "${TW_WINDOWS_BUILD_SAID:-}" ]; then
    local IFS='|'
    local ran="${said[*]}" missed="${unavailable[*]:-nothing}"
    echo "windows builds: ${ran//|/, }; could not run: ${missed//|/, }" >&2
    export TW_WINDOWS_BUILD_SAID=1
  fi
  export TW_WINDOWS_PLAN
}

# tw_use_windows_build WINE ARCH: makes that pair the one the scripts and wine-run use.
# A third argument names another build folder of that preset.
tw_use_windows_build() {
  TW_WINE=$1 TW_WINDOWS_ARCH=$2
  TW_WINDOWS_BUILD=${3:-$tw_checkout/build/$TW_WINDOWS_ARCH}
  if [ "$TW_WINE" = 10 ]; then
    TW_WINEPREFIX=$TW_WINDOWS_BUILD/wineprefix-wine10${TW_PREFIX_VARIANT:-}
  else
    TW_WINEPREFIX=$TW_WINDOWS_BUILD/wineprefix${TW_PREFIX_VARIANT:-}
  fi
  [ "$TW_WINDOWS_ARCH" = win32 ] && TW_REG_VIEW=/reg:32 || TW_REG_VIEW=/reg:64
  export TW_WINE TW_WINDOWS_ARCH TW_WINDOWS_BUILD TW_WINEPREFIX TW_REG_VIEW
}

# Both known already (a test of a build, or a script that decided): nothing to try.
if [ -n "${TW_WINE:-}" ] && [ -n "${TW_WINDOWS_ARCH:-}" ]; then
  tw_use_windows_build "$TW_WINE" "$TW_WINDOWS_ARCH" "${TW_WINDOWS_BUILD:-}"
else
  tw_decide_windows_builds || return 1
  # The default: the shipped build under the first Wine that runs it, else the first Wine.
  # A forced win32 build (a test of that build folder) still goes to a Wine that runs it.
  tw_first=${TW_WINDOWS_PLAN%% *}
  for tw_pair in $TW_WINDOWS_PLAN; do
    if [ "${tw_pair#*:}" = win32 ] && { [ -z "${TW_WINDOWS_ARCH_FORCED:-}" ] || tw_runs_32bit "${tw_pair%%:*}"; }; then
      tw_first=$tw_pair
      break
    fi
  done
  tw_use_windows_build "${tw_first%%:*}" "${tw_first#*:}" "${TW_WINDOWS_BUILD:-}"
  unset tw_first tw_pair
fi
