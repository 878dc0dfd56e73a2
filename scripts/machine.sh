# shellcheck shell=bash
# What this machine can do, for the scripts that set up, build and test
# (sourced by setup, test, wine-run, e2e and demo).
#
# Some kernels cannot execute 32-bit x86 programs at all: every one of them,
# /lib/ld-linux.so.2 included, fails with "Exec format error". There the
# 32-bit Windows lane is built but cannot run, and Debian's `wine` wrapper,
# which picks the 32-bit loader whenever wine32 is installed, must be passed
# by for the 64-bit loader.
#
#   PW_NO_32BIT=1   take the machine for one that cannot run 32-bit programs,
#                   whatever its kernel can do.

# The smallest static 32-bit x86 Linux program: one ELF header, one program
# header, and `exit(42)` through int 0x80.
pw_write_probe32() {
  printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0'
  printf '\0\0\0\0\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0'
  printf '\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\140\0\0\0\140\0\0\0\5\0\0\0\0\20\0\0'
  printf '\270\1\0\0\0\273\52\0\0\0\315\200'
}

# Prints "yes" when the kernel ran the probe, "no" when it refused it as of
# an unknown format (ENOEXEC), and "unknown: REASON" otherwise: only the
# kernel's refusal means that 32-bit programs cannot run here.
pw_probe32() {
  local dir probe out rc
  dir="$(mktemp -d "${TMPDIR:-/tmp}/pw-probe32.XXXXXX")" || {
    echo "unknown: no temporary folder"
    return
  }
  probe="$dir/probe32"
  pw_write_probe32 >"$probe" && chmod +x "$probe"
  out="$(LC_ALL=C "$probe" 2>&1)"
  rc=$?
  rm -rf "$dir"
  if [ "$rc" = 42 ]; then
    echo yes
  elif [[ "$out" == *"Exec format error"* ]]; then
    echo no
  else
    echo "unknown: the probe exited with $rc: $out"
  fi
}

# True unless this machine cannot run 32-bit programs (or PW_NO_32BIT=1).
pw_runs_32bit() {
  [ "${PW_NO_32BIT:-0}" = 1 ] && return 1
  if [ -z "${PW_PROBE32:-}" ]; then
    PW_PROBE32="$(pw_probe32)"
    export PW_PROBE32
  fi
  [ "$PW_PROBE32" != no ]
}

# Why the 32-bit lane does not run here, in words for a summary line.
pw_no_32bit_reason() {
  echo "this machine cannot run 32-bit programs"
}

# How that was found out.
pw_no_32bit_source() {
  if [ "${PW_NO_32BIT:-0}" = 1 ]; then
    echo "PW_NO_32BIT=1"
  else
    echo "the kernel refused a 32-bit program"
  fi
}
