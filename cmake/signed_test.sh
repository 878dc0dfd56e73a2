#!/bin/bash
# Signs a copy of the program with a throwaway self-signed certificate
# (scripts/sign verifies the signature), then runs the end-to-end install
# scenario with the signed program.
#
# usage: signed_test.sh SOURCE_DIR WORK PROGRAM DRIVER PREFIXES
set -euo pipefail

src=$1 work=$2 program=$3 driver=$4 prefixes=$5

rm -rf "$work"
mkdir -p "$work"
openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=Packwright test" \
  -addext extendedKeyUsage=codeSigning -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/cert.p12" \
  -passout pass:throwaway
cp "$program" "$work/Packwright.exe"
PACKWRIGHT_SIGN_PKCS12="$work/cert.p12" PACKWRIGHT_SIGN_PASSWORD=throwaway \
  "$src/scripts/sign" "$work/Packwright.exe"
"$src/scripts/e2e" --program "$work/Packwright.exe" --driver "$driver" \
  --prefixes "$prefixes" --artifacts "$work/artifacts" --only "install-en"
