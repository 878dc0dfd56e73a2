#!/usr/bin/env bash
# Fails when a source file includes a header from a layer above its own.
# Linking cannot catch this for a header-only include, so the includes are
# read as text. Layers from the bottom up:
#   res < platform < engine < textures < record < app, tool
# A file may include from its own layer or any below it; the program (app)
# and the tool do not include from each other.
#
# The texture step (textures/texture_step.cc) is an operation of CInstaller,
# declared in engine/installer.h and run by the engine: the one call from a
# layer to the one above. It needs no include from engine to textures, so
# this check has no exception to make for it.
#
# usage: check_layers.sh SOURCE_DIR
set -euo pipefail

root=${1:?usage: check_layers.sh SOURCE_DIR}

rank() {
  case $1 in
    res) echo 0 ;;
    platform) echo 1 ;;
    engine) echo 2 ;;
    textures) echo 3 ;;
    record) echo 4 ;;
    app | tool) echo 5 ;;
    *) echo "" ;;
  esac
}

status=0
checked=0
for layer in res platform engine textures record app tool; do
  [ -d "$root/$layer" ] || continue
  own=$(rank "$layer")
  while IFS= read -r -d '' file; do
    checked=$((checked + 1))
    while IFS=: read -r line target; do
      used=$(rank "${target%%/*}")
      if [ -n "$used" ] && [ "$used" -gt "$own" ]; then
        echo "${file#"$root"/}:$line: includes \"$target\"," \
          "a layer above $layer" >&2
        status=1
      elif [ -n "$used" ] && [ "$used" = 5 ] && [ "${target%%/*}" != "$layer" ]; then
        # The program and the tool stand side by side on the engine.
        echo "${file#"$root"/}:$line: includes \"$target\"," \
          "beside $layer" >&2
        status=1
      fi
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
      sed -E 's/^([0-9]+):[^"]*"([^"]*)".*/\1:\2/' || true)
  done < <(find "$root/$layer" -type f \( -name '*.h' -o -name '*.cc' -o -name '*.rc' -o -name '*.def' \) -print0)
done

# A check that read nothing would pass by accident.
if [ "$checked" -eq 0 ]; then
  echo "check_layers: no source files under $root" >&2
  exit 1
fi
exit $status
