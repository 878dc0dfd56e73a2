# shellcheck shell=bash
# Wine for the scripts that run Windows programs (sourced by wine-run,
# e2e-lib.sh and demo): the loader, and the one maker of private prefixes.

# shellcheck source=scripts/machine.sh
source "$(dirname "${BASH_SOURCE[0]}")/machine.sh"
PW_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Where 32-bit programs cannot run, puts `wine` (and `wine-stable`, which
# Debian's wineboot and friends call) on PATH as the 64-bit loader, and sets
# WINELOADER to it: Debian's wrapper would pick the 32-bit loader whenever
# wine32 is installed, and that loader cannot start there.
pw_wine_env() {
  pw_runs_32bit && return 0
  local loader=/usr/lib/wine/wine64 shim="$PW_ROOT/build/.wine64-bin" name tmp
  [ -x "$loader" ] || return 0
  mkdir -p "$shim" || return 1
  for name in wine wine-stable; do
    [ -x "$shim/$name" ] && continue
    tmp="$(mktemp "$shim/.$name.XXXXXX")" || return 1
    printf '#!/bin/sh\nexec %s "$@"\n' "$loader" >"$tmp" && chmod +x "$tmp" &&
      mv -f "$tmp" "$shim/$name" || return 1
  done
  case ":$PATH:" in *":$shim:"*) ;; *) export PATH="$shim:$PATH" ;; esac
  export WINELOADER="$loader"
}

# The machine field of a Windows executable's header, in hex: 14c for
# 32-bit x86, 8664 for x86-64.
pe_machine() {
  local pe_offset
  pe_offset=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  od -An -tx2 -j$((pe_offset + 4)) -N2 "$1" | tr -d ' '
}

# Bump when the settings below change, so that existing prefixes get them.
PW_PREFIX_VERSION=3

# pw_make_prefix null|x11: makes $WINEPREFIX on first use, and again when
# its settings changed. `null` sends its windows to Wine's null graphics
# driver (tests that need no display); `x11` to the X display. Either way
# windows are unmanaged: without a window manager Wine otherwise waits ~2 s
# whenever one closes. The caller holds the prefix's lock on fd 9, which no
# Wine process may inherit.
pw_make_prefix() {
  local graphics="$1" want ready
  want="$PW_PREFIX_VERSION $graphics"
  ready="$(cat "$WINEPREFIX/.pw-ready" 2>/dev/null)"
  [ "$ready" = "$want" ] && return 0
  echo "wine: preparing Wine prefix $WINEPREFIX ($graphics display)" >&2
  mkdir -p "$WINEPREFIX" || return 1
  wineboot --init </dev/null >"$WINEPREFIX.log" 2>&1 9>&- || return 1
  if [ "$graphics" = null ]; then
    pw_wine_reg add 'HKCU\Software\Wine\Drivers' /v Graphics /t REG_SZ /d null /f || return 1
  elif [ -n "$ready" ]; then
    pw_wine_reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f
  fi
  pw_wine_reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f || return 1
  wineserver -w </dev/null >>"$WINEPREFIX.log" 2>&1 9>&-
  echo "$want" >"$WINEPREFIX/.pw-ready"
}

pw_wine_reg() {
  wine reg "$@" </dev/null >>"$WINEPREFIX.log" 2>&1 9>&-
}
