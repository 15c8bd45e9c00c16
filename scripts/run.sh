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

if [ $# -gt 0 ]; then
  exec build/bin/KSR4710Module "$@"
fi

# No device given: start the simulated access point on a free loopback port
# with a fresh state folder, write the registry file and the device profile
# that point the module at it, run the module, and stop the simulator when
# the module exits.
work=$(mktemp -d "${TMPDIR:-/tmp}/ksr4710-run-XXXXXX")
simpid=""
cleanup() {
  if [ -n "$simpid" ]; then kill "$simpid" 2>/dev/null || true; wait "$simpid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The device fetches and sends files through the module's TFTP server: port
# 69 when this user may bind it, else an unprivileged port for both sides.
if [ -z "${KSR4710_TFTP_PORT:-}" ]; then
  if [ "$(id -u)" -eq 0 ]; then KSR4710_TFTP_PORT=69; else KSR4710_TFTP_PORT=6969; fi
fi
export KSR4710_TFTP_PORT

mkdir -p "$work/profiles" "$work/sim-state"
build/bin/ksr4710-sim --listen 127.0.0.1:0 --control 127.0.0.1:0 --state "$work/sim-state" \
  --tftp-port "$KSR4710_TFTP_PORT" >"$work/sim.out" 2>"$work/sim.err" &
simpid=$!
ready=""
for _ in $(seq 1 100); do
  ready=$(head -n 1 "$work/sim.out" 2>/dev/null || true)
  case "$ready" in ready*) break ;; esac
  if ! kill -0 "$simpid" 2>/dev/null; then break; fi
  sleep 0.1
done
case "$ready" in
  ready*) ;;
  *) echo "run.sh: the simulated access point did not start:" >&2; cat "$work/sim.err" >&2; exit 1 ;;
esac
snmp=${ready#*snmp=}; snmp=${snmp%% *}
control=${ready#*control=}; control=${control%% *}
address=${snmp%:*}
port=${snmp##*:}
echo "Simulated access point: SNMP $address:$port, control $control (state in $work/sim-state)" >&2

# Device profile: SNMPv1 with the default communities at the simulator's
# port; all six numeric keys are present, as the module requires.
cat >"$work/profiles/$address.cfg" <<PROFILE
[Program Information]
AgentPort=$port
Version=0
ContextName=
ContextEngineID=
SecurityModel=1
SecurityLevel=0
SecurityName=
AuthProtocol=0
PrivProtocol=0
AuthPassword=
PrivPassword=
PROFILE

cat >"$work/registry.ini" <<REGISTRY
[SOFTWARE\\Vantrel\\Vistrum5.1\\MibFile]
Path=$work/profiles/
REGISTRY
export VANTREL_REGISTRY="$work/registry.ini"

# The module applies the device profile before each argument after "/I", so
# the communities follow as the management system passes them.
# It runs in the temporary folder, which keeps its engine boot-counter file.
status=0
module="$PWD/build/bin/KSR4710Module"
(cd "$work" && "$module" "/I$address" /Rgondek /Wmardule) || status=$?
exit $status
