#!/bin/bash
# Builds the Windows programs a second time from a copy of the sources in
# another folder and fails unless each is byte for byte the first build's.
#
# usage: reproducible_test.sh SOURCE_DIR WORK TOOLCHAIN BUILD_TYPE EXE...
set -euo pipefail

src=$1 work=$2 toolchain=$3 build_type=$4
shift 4

copy="$work/elsewhere"
rm -rf "$work"
mkdir -p "$copy"
tar -C "$src" --exclude=./build --exclude=./.git -cf - . | tar -C "$copy" -xf -
cmake -S "$copy" -B "$copy/build" -G Ninja -DCMAKE_BUILD_TYPE="$build_type" \
  -DCMAKE_TOOLCHAIN_FILE="$copy/${toolchain#"$src"/}" >/dev/null
targets=()
for exe in "$@"; do
  targets+=("$(basename "$exe" .exe)")
done
cmake --build "$copy/build" -j"${PW_JOBS:-2}" --target "${targets[@]}" >/dev/null

status=0
for exe in "$@"; do
  if cmp "$exe" "$copy/build/$(basename "$exe")"; then
    echo "reproducible: $(basename "$exe")"
  else
    status=1
  fi
done
[ "$status" = 0 ] && rm -rf "$work"
exit "$status"
