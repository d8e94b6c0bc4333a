#!/usr/bin/env bash
# Runs one end-to-end case of the kits' demo on a private Xvfb, driven by
# xdotool as a person would drive it.
#
#   run-case.sh DEMO HELPER ARTIFACTS CASE
#
# Each case starts its own X server on a free display, starts the demo,
# waits for what it expects (window names through xdotool, lines the demo
# prints), never for a fixed time. When a case fails, a screenshot of the
# screen and the demo's output are kept under ARTIFACTS.
set -uo pipefail

demo=$1
helper=$2
artifacts=$3
case_name=$4
patience=${E2E_PATIENCE:-20}

work=$(mktemp -d)
output="$work/output"
xvfb_pid=""
demo_pid=""

cleanup() {
	[ -n "$demo_pid" ] && kill "$demo_pid" 2>/dev/null
	[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
	wait 2>/dev/null
	rm -rf "$work"
}
trap cleanup EXIT

fail() {
	echo "FAIL ($case_name): $*" >&2
	mkdir -p "$artifacts"
	import -display "$DISPLAY" -window root "$artifacts/$case_name.png" \
		2>/dev/null && echo "screenshot: $artifacts/$case_name.png" >&2
	if [ -f "$output" ]; then
		cp "$output" "$artifacts/$case_name.out"
		echo "--- what the demo printed:" >&2
		cat "$output" >&2
	fi
	exit 1
}

# Starts Xvfb on the first free display; it writes the number it took.
start_x() {
	Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset \
		>"$work/xvfb.log" 2>&1 3>"$work/display" &
	xvfb_pid=$!
	for _ in $(seq 1 $((patience * 20))); do
		if [ -s "$work/display" ]; then
			export DISPLAY=":$(head -n1 "$work/display")"
			return 0
		fi
		kill -0 "$xvfb_pid" 2>/dev/null || break
		sleep 0.05
	done
	cat "$work/xvfb.log" >&2
	echo "FAIL ($case_name): Xvfb did not start" >&2
	exit 1
}

start_demo() {
	unset KITS_DISPLAY
	"$demo" "$@" >"$output" 2>&1 &
	demo_pid=$!
}

# Waits for a line of the demo's output that matches the pattern.
wait_line() {
	local pattern=$1
	for _ in $(seq 1 $((patience * 20))); do
		grep -qE -- "$pattern" "$output" 2>/dev/null && return 0
		kill -0 "$demo_pid" 2>/dev/null || \
			{ grep -qE -- "$pattern" "$output" && return 0; break; }
		sleep 0.05
	done
	fail "no line matching \"$pattern\""
}

# Prints the id of the window whose name matches, waiting for it.
find_window() {
	local id
	id=$(timeout "$patience" xdotool search --sync --onlyvisible \
		--name "$1" 2>/dev/null | head -n1)
	[ -n "$id" ] || fail "no window named \"$1\""
	echo "$id"
}

# Gives the window the keyboard and waits until the demo says the
# window has it: SDL hands the focus over a moment after X does.
focus_window() {
	local window=$1 number=$2
	xdotool windowfocus --sync "$window"
	for _ in $(seq 1 $((patience * 20))); do
		[ "$(grep -E '^activated ' "$output" | tail -n1)" = \
			"activated $number" ] && return 0
		sleep 0.05
	done
	fail "window $number did not get the keyboard"
}

wait_exit() {
	local expected=$1
	for _ in $(seq 1 $((patience * 20))); do
		if ! kill -0 "$demo_pid" 2>/dev/null; then
			wait "$demo_pid"
			local status=$?
			demo_pid=""
			[ "$status" -eq "$expected" ] || \
				fail "the demo exited with $status, not $expected"
			return 0
		fi
		sleep 0.05
	done
	fail "the demo did not exit"
}

case_title() {
	start_demo
	window=$(find_window '^Demo 1$')
	wait_line '^ready 1$'
	[ "$(xdotool getwindowname "$window")" = "Demo 1" ] || \
		fail "the title is \"$(xdotool getwindowname "$window")\""
}

case_typing() {
	start_demo
	window=$(find_window '^Demo 1$')
	wait_line '^ready 1$'
	focus_window "$window" 1
	xdotool type --delay 20 'Hello, kits'
	find_window '^Demo 1: Hello, kits$' >/dev/null
	xdotool key BackSpace BackSpace BackSpace BackSpace BackSpace
	find_window '^Demo 1: Hello,$' >/dev/null
	# Text typed with Ctrl held is a shortcut: Ctrl+A selects all and
	# types nothing, so the next key replaces everything.
	xdotool key ctrl+a
	xdotool type '!'
	find_window '^Demo 1: !$' >/dev/null
	wait_line '^typed 1 !$'
}

# Copy in one window, paste in the other; then between the demo and
# another X client (xclip), both ways.
case_clipboard() {
	start_demo --windows 2
	first=$(find_window '^Demo 1$')
	second=$(find_window '^Demo 2$')
	wait_line '^ready 2$'
	# The window shown last has the keyboard first.
	wait_line '^activated 2$'
	focus_window "$first" 1
	xdotool type --delay 20 'round trip ü'
	wait_line '^typed 1 round trip ü$'
	xdotool key ctrl+a ctrl+c
	local copied=""
	for _ in $(seq 1 $((patience * 20))); do
		copied=$(timeout 5 xclip -o -selection clipboard 2>/dev/null)
		[ "$copied" = 'round trip ü' ] && break
		sleep 0.05
	done
	[ "$copied" = 'round trip ü' ] || fail "xclip read \"$copied\""

	focus_window "$second" 2
	xdotool key ctrl+v
	wait_line '^typed 2 round trip ü$'
	find_window '^Demo 2: round trip' >/dev/null

	printf 'from outside' | xclip -selection clipboard -i
	focus_window "$first" 1
	xdotool key ctrl+a ctrl+v
	wait_line '^typed 1 from outside$'
}

case_unicode() {
	start_demo
	window=$(find_window '^Demo 1$')
	wait_line '^ready 1$'
	focus_window "$window" 1
	xdotool type --delay 30 'é€'
	# xdotool matches names in the X server's legacy encoding; the
	# demo's own line tells the UTF-8 it got.
	wait_line '^typed 1 é€$'
}

case_mouse() {
	start_demo
	window=$(find_window '^Demo 1$')
	wait_line '^ready 1$'
	xdotool mousemove --window "$window" 50 60 click 1
	wait_line '^clicked 1 50 60 1$'
	xdotool mousemove --window "$window" 70 30 click --repeat 2 --delay 60 1
	wait_line '^clicked 1 70 30 2$'
	xdotool click 5
	wait_line '^wheel 1 0 1$'
	xdotool click 4
	wait_line '^wheel 1 0 -1$'
}

case_close() {
	start_demo
	window=$(find_window '^Demo 1$')
	wait_line '^ready 1$'
	"$helper" close "$window" || fail "the close request failed"
	wait_line '^closing 1$'
	wait_exit 0
}

case_resize() {
	start_demo
	window=$(find_window '^Demo 1$')
	wait_line '^ready 1$'
	xdotool windowsize --sync "$window" 400 200
	wait_line '^resized 1 399 199$'
	geometry=$(xdotool getwindowgeometry "$window" | grep Geometry)
	[[ "$geometry" == *"400x200"* ]] || fail "the window is $geometry"
}

# Files dropped from another program arrive as refs at the pointer.
case_drop() {
	start_demo --windows 2
	find_window '^Demo 2$' >/dev/null
	window=$(find_window '^Demo 1$')
	wait_line '^ready 2$'
	mkdir -p "$work/dropped here"
	printf 'one' >"$work/dropped here/a file.txt"
	printf 'two' >"$work/b.txt"
	"$helper" drop "$window" 20 30 "$work/dropped here/a file.txt" \
		"$work/b.txt" || fail "the drop failed"
	wait_line "^dropped 1 $work/dropped here/a file.txt\$"
	wait_line "^dropped 1 $work/b.txt\$"
}

case_many_windows_quit() {
	start_demo --windows 12
	find_window '^Demo 12$' >/dev/null
	wait_line '^ready 12$'
	window=$(find_window '^Demo 5$')
	wait_line '^activated 12$'
	focus_window "$window" 5
	xdotool key ctrl+q
	wait_line '^closing 12$'
	wait_exit 0
	grep -qiE 'error|abort|signal' "$output" && fail "the demo complained"
	return 0
}

start_x
"case_$case_name" || fail "the case failed"
echo "PASS ($case_name)"
