# shellcheck shell=bash
# The machinery of the end-to-end tests (sourced by scripts/e2e and
# scripts/demo): Xvfb, Wine prefixes, the Kestrova registry key, running
# the driver and reading its log, and the checks.

E2E_FAILED=0
E2E_PASSED=0
E2E_XVFB_PID=""
E2E_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
E2E_KEY='HKCR\Software\Brindlewood\KSVX'
E2E_SCENARIO=""
# shellcheck source=scripts/wine-lib.sh
source "$E2E_ROOT/scripts/wine-lib.sh"

# e2e_init PROGRAM DRIVER PREFIXES ARTIFACTS: remembers the paths and picks
# the registry view of the program's word size.
e2e_init() {
  E2E_PROGRAM="$1" E2E_DRIVER="$2" E2E_PREFIXES="$3" E2E_ARTIFACTS="$4"
  E2E_WORK="$E2E_ARTIFACTS/work"
  mkdir -p "$E2E_PREFIXES" "$E2E_ARTIFACTS" "$E2E_WORK" || return 1
  pw_wine_env || return 1
  # A 32-bit program sees the 32-bit view of the registry.
  if [ "$(pe_machine "$E2E_PROGRAM")" = 8664 ]; then E2E_VIEW=/reg:64; else E2E_VIEW=/reg:32; fi
}

# Starts a private Xvfb and points DISPLAY at it.
start_xvfb() {
  local fd_file="$E2E_WORK/xvfb.display"
  rm -f "$fd_file"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fd_file" \
    >"$E2E_WORK/xvfb.log" 2>&1 &
  E2E_XVFB_PID=$!
  local _
  for _ in $(seq 100); do
    [ -s "$fd_file" ] && break
    sleep 0.1
  done
  if [ ! -s "$fd_file" ]; then
    echo "e2e: Xvfb did not start (see $E2E_WORK/xvfb.log)" >&2
    return 1
  fi
  DISPLAY=":$(head -n1 "$fd_file")"
  export DISPLAY
}

e2e_cleanup() {
  [ -n "$E2E_XVFB_PID" ] && kill "$E2E_XVFB_PID" 2>/dev/null
  E2E_XVFB_PID=""
}

lang_locale() {
  case "$1" in
    de) echo de_AT.UTF-8 ;;
    fr) echo fr_FR.UTF-8 ;;
    pl) echo pl_PL.UTF-8 ;;
    ru) echo ru_RU.UTF-8 ;;
    *) echo en_US.UTF-8 ;;
  esac
}

# The offset that LocalizedId adds for the language (of the system, in a
# setting "SYSTEM+USER").
lang_offset() {
  case "${1%%+*}" in
    de) echo 0 ;;
    fr) echo 200 ;;
    pl) echo 300 ;;
    *) echo 100 ;;
  esac
}

# have_locale LOCALE: fails the run when glibc lacks the locale.
have_locale() {
  locale -a 2>/dev/null | grep -qix "${1%.UTF-8}.utf8" && return 0
  fail "locale $1 is missing (run scripts/setup, or localedef -i ${1%.UTF-8} -f UTF-8 $1)"
  return 1
}

# with_prefix LANG COMMAND...: runs COMMAND with WINEPREFIX, LANG and a
# persistent wineserver set up for the language, holding the prefix's lock.
# LANG "SYSTEM+USER" (pl+de) sets the system's locale apart from the
# user's, as Wine takes them: the system's from LANG, the user's from
# LC_MESSAGES; it runs in the system language's prefix.
with_prefix() {
  local lang="$1" system="${1%%+*}"
  shift
  local locale user_locale
  locale="$(lang_locale "$system")"
  user_locale="$(lang_locale "${lang#*+}")"
  have_locale "$locale" && have_locale "$user_locale" || return 1
  (
    flock 9 || exit 1
    # shellcheck disable=SC2046  # the names of the LC_ variables set
    unset $(env | sed -n 's/^\(LC_[A-Z_]*\)=.*/\1/p')
    export WINEPREFIX="$E2E_PREFIXES/$system" LANG="$locale" LC_MESSAGES="$user_locale"
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    pw_make_prefix x11 || {
      echo "e2e: could not make the Wine prefix $WINEPREFIX (see $WINEPREFIX.log)" >&2
      exit 1
    }
    # Wine's processes must not inherit the lock (fd 9) and outlive it.
    wineserver -p >/dev/null 2>&1 </dev/null 9>&-
    E2E_PASSED=0 E2E_FAILED=0
    "$@"
    local rc=$?
    echo "$E2E_PASSED $E2E_FAILED" >"$E2E_WORK/counts"
    wineserver -k >/dev/null 2>&1 </dev/null
    exit $rc
  ) 9>"$E2E_PREFIXES/$system.lock"
  local rc=$?
  # The subshell's counts come back through a file.
  if [ -f "$E2E_WORK/counts" ]; then
    read -r passed failed <"$E2E_WORK/counts"
    E2E_PASSED=$((E2E_PASSED + passed)) E2E_FAILED=$((E2E_FAILED + failed))
    rm -f "$E2E_WORK/counts"
  elif [ $rc -ne 0 ]; then
    # The prefix could not be locked or made: nothing ran in it.
    fail "no scenario ran in the $lang prefix (exit $rc)"
  fi
  return $rc
}

# Wine's view of a Unix path: Z: plus the path with backslashes.
winpath() {
  local path="$1"
  echo "Z:${path//\//\\}"
}

# wine_quiet COMMAND...: runs a Wine command with its output in a file,
# since Wine's background processes would hold a pipe open.
wine_quiet() {
  wine "$@" </dev/null >"$E2E_WORK/wine.out" 2>&1 9>&-
}

# set_host_key APPPATH [SCAN]: the Kestrova key with AppPath (REG_SZ) and,
# if given, Scan (REG_DWORD). An empty APPPATH removes the key.
set_host_key() {
  wine_quiet reg delete "$E2E_KEY" /f "$E2E_VIEW"
  [ -z "$1" ] && return 0
  wine_quiet reg add "$E2E_KEY" /v AppPath /t REG_SZ /d "$1" /f "$E2E_VIEW" || return 1
  if [ $# -ge 2 ]; then
    wine_quiet reg add "$E2E_KEY" /v Scan /t REG_DWORD /d "$2" /f "$E2E_VIEW" || return 1
  fi
}

# The Scan value as a decimal number, or "absent".
read_scan() {
  if ! wine_quiet reg query "$E2E_KEY" /v Scan "$E2E_VIEW"; then
    echo absent
    return
  fi
  local hex
  hex="$(tr -d '\r' <"$E2E_WORK/wine.out" | awk '$1 == "Scan" { print $3 }')"
  [ -n "$hex" ] && echo $((hex)) || echo absent
}

# run_driver LOG STEP...: runs the driver on the program copy in $PKG.
run_driver() {
  local log="$1"
  shift
  wine "$E2E_DRIVER" "$(winpath "$log")" "$(winpath "$PKG/Packwright.exe")" "$@" \
    </dev/null >"$log.out" 2>&1 9>&-
}

# log_value LOG KEY [N]: the Nth (default first) value logged under KEY.
log_value() {
  awk -v key="$2" -v n="${3:-1}" 'index($0, key "=") == 1 && ++seen == n {
    print substr($0, length(key) + 2); exit }' "$1"
}

# box_value LOG N KEY: KEY of the Nth message box in the log.
box_value() {
  awk -v n="$2" -v key="box.$3" '$0 ~ /^step=box(:[0-9]+)?$/ { box++ }
    box == n && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }' "$1"
}

# box_count LOG: how many message boxes the driver read.
box_count() {
  grep -cE '^step=box(:[0-9]+)?$' "$1"
}

# msg ID: the text of string ID as the string table holds it, with \n and
# \t as written there (the driver logs line breaks and tabs the same way).
msg() {
  sed -n "s/^PW_STRING($1, [A-Z_]*, \"\(.*\)\")\$/\1/p" "$E2E_ROOT/res/strings.def"
}

# res_id NAME: the value of a #define of res/resource.h, as written there.
res_id() {
  local value
  value="$(sed -n "s/^#define $1 \([0-9x()-]*\)\$/\1/p" "$E2E_ROOT/res/resource.h")"
  if [ -z "$value" ]; then
    echo "e2e: $1 is not defined in res/resource.h" >&2
    return 1
  fi
  echo "$value"
}

# msg_for LANG BASE_ID [ARG...]: the localized text with its %s markers
# replaced, in order, by the arguments.
msg_for() {
  local text arg
  text="$(msg $(($2 + $(lang_offset "$1"))))"
  shift 2
  for arg in "$@"; do
    text="${text/\%s/"$arg"}"
  done
  echo "${text//%s/}"
}

# shot BMP PNG: keeps a screenshot as PNG in the artifacts.
keep_shot() {
  if [ -f "$1" ]; then
    convert "$1" "$2" 2>/dev/null && echo "e2e: screenshot $2"
  fi
}

pass() {
  E2E_PASSED=$((E2E_PASSED + 1))
}

fail() {
  E2E_FAILED=$((E2E_FAILED + 1))
  echo "FAIL [${E2E_SCENARIO:-set-up}] $*"
}

# expect_eq WHAT ACTUAL EXPECTED
expect_eq() {
  if [ "$2" == "$3" ]; then
    pass
  else
    fail "$1: got '$2', expected '$3'"
  fi
}

# expect_file_bytes FILE EXPECTED (printf format)
expect_file_bytes() {
  local expected="$E2E_WORK/expected.bin"
  # shellcheck disable=SC2059  # the expected bytes are written with printf's escapes
  printf "$2" >"$expected"
  if cmp -s "$1" "$expected"; then
    pass
  else
    fail "$1 differs from the expected bytes:"
    diff <(od -c "$expected") <(od -c "$1" 2>&1) | head -20
  fi
}

expect_missing() {
  if [ -e "$1" ]; then fail "$1 exists"; else pass; fi
}

e2e_summary() {
  echo "e2e: $E2E_PASSED checks passed, $E2E_FAILED failed"
  # A run that checked nothing has proved nothing.
  [ "$E2E_FAILED" -eq 0 ] && [ "$E2E_PASSED" -gt 0 ]
}
