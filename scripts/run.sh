#!/usr/bin/env bash
# Installs what is missing, builds, and runs the module.
#   scripts/run.sh /I<address> [switches...]   manage the device at <address>
#   scripts/run.sh                             manage the simulated access point
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
# The TFTP server listens on port 69, which needs this capability on Linux.
if [ "$(id -u)" -eq 0 ]; then setcap cap_net_bind_service=+ep build/bin/KSR4710Module || true; fi
exec build/bin/KSR4710Module "$@"
