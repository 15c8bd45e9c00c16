#!/usr/bin/env bash
# Installs the Debian 12 packages the module, its tests and its benchmarks need.
# Only missing packages are fetched; the package lists are refreshed first.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libsnmp-dev snmp libcurl4-openssl-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  curl tftp-hpa atftp tftpd-hpa
  xvfb xdotool imagemagick libcap2-bin fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

# tftpd-hpa is only a benchmark yardstick started on loopback by the benchmark
# itself: keep its package scripts from starting a system-wide server on port 69.
policy=/usr/sbin/policy-rc.d
added_policy=0
if [ ! -e "$policy" ]; then
  printf '#!/bin/sh\nexit 101\n' | $SUDO tee "$policy" >/dev/null
  $SUDO chmod +x "$policy"
  added_policy=1
fi
cleanup() { [ "$added_policy" -eq 1 ] && $SUDO rm -f "$policy"; true; }
trap cleanup EXIT

echo "Installing: ${missing[*]}" >&2
$SUDO apt-get update -qq
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
