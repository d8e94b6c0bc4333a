#!/usr/bin/env bash
# Runs one accessibility case: the editor on a private Xvfb with a private
# D-Bus session, the desktop's accessibility bus and registry on it, and
# an AT-SPI client (accessibility/client.py) that checks what a screen
# reader finds.
#
#   accessibility-case.sh ORVANE HELPER ARTIFACTS CASE
set -uo pipefail

orvane=$1
helper=$2
artifacts=$3
case_name=$4
client="$(cd "$(dirname "$0")" && pwd)/accessibility/client.py"

program=$orvane
label=orvane
prefix="accessibility-"
. "$(dirname "$0")/case-common.sh"

export XDG_CONFIG_HOME="$work/config"
export XDG_STATE_HOME="$work/state"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$work/files"
mkdir -m 0700 "$XDG_RUNTIME_DIR"

# A session bus of the case's own, and the accessibility bus that the
# launcher starts beside it (with the registry) and names on the X root
# window, as a desktop session does.
start_accessibility_bus() {
	dbus-daemon --session --fork --print-address=3 --print-pid=4 \
		3>"$work/bus-address" 4>"$work/bus-pid"
	other_pids+=("$(cat "$work/bus-pid")")
	export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus-address")
	/usr/libexec/at-spi-bus-launcher --launch-immediately \
		>"$work/launcher.log" 2>&1 &
	other_pids+=("$!")
	wait_until "the accessibility bus was not named on the display" \
		bus_named
}

bus_named() { xprop -root AT_SPI_BUS 2>/dev/null | grep -q unix:; }

run_client() {
	/usr/bin/python3 "$client" "$1" >>"$output.client" 2>&1 \
		|| { cat "$output.client" >&2; fail "the client's $1 check failed"; }
	cat "$output.client"
}

start_x
start_wm
start_accessibility_bus
printf 'first line\nsecond line here\nthird\n' >"$work/files/notes.txt"
start_program "$work/files" notes.txt
window=$(find_window '^notes.txt$')
xdotool windowactivate --sync "$window"
run_client "$case_name"
echo "PASS ($case_name)"
