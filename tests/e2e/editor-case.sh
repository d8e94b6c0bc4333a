#!/usr/bin/env bash
# Runs one end-to-end case of the editor itself on a private Xvfb, driven
# by xdotool as a person would drive it.
#
#   editor-case.sh ORVANE HELPER ARTIFACTS CASE
#
# Each case has its own X server, settings directory and runtime
# directory (so single launch finds only this case's instance), waits for
# what it expects (window names, printed lines, file contents), never for
# a fixed time, and keeps a screenshot and the output when it fails.
set -uo pipefail

orvane=$1
helper=$2
artifacts=$3
case_name=$4

program=$orvane
label=orvane
prefix="orvane-"
. "$(dirname "$0")/case-common.sh"

export XDG_CONFIG_HOME="$work/config"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$work/files"
mkdir -m 0700 "$XDG_RUNTIME_DIR"

start_orvane() {
	start_program "$work/files" "$@"
}

printed() { grep -qE -- "$1" "$output" 2>/dev/null; }
holds() { [ "$(cat "$1" 2>/dev/null)" = "$2" ]; }

# Open a file from the command line, type, save with Ctrl+S, close.
case_edit_and_save() {
	printf 'first line\nsecond line\n' >"$work/files/notes.txt"
	start_orvane notes.txt
	window=$(find_window '^notes.txt$')
	wait_until "the file was not loaded" printed '^ZELTextView LoadFile$'
	xdotool windowfocus --sync "$window"
	xdotool type --delay 20 'Hi '
	wait_until "the first change was not reported" printed "^BMessage\('FMsn'\)"
	xdotool key ctrl+s
	wait_until "Ctrl+S did not save" holds "$work/files/notes.txt" \
		"$(printf 'Hi first line\nsecond line')"
	# The bytes exactly, the last newline included.
	[ "$(od -An -c "$work/files/notes.txt" | tr -d ' \n')" = \
		"Hifirstline\nsecondline\n" ] || fail "the file's bytes changed"
	"$helper" close "$window" || fail "the close request failed"
	wait_exit
	[ -s "$XDG_CONFIG_HOME/Orvane" ] || fail "no settings file at exit"
}

# A second launch, from another folder, hands its file to the running
# instance, which opens the file in that folder.
case_second_launch() {
	echo one >"$work/files/one.txt"
	mkdir "$work/files/other"
	echo two >"$work/files/other/two.txt"
	start_orvane one.txt
	find_window '^one.txt$' >/dev/null
	(cd "$work/files/other" && "$orvane" two.txt) >"$work/second" 2>&1 ||
		fail "the second launch failed: $(cat "$work/second")"
	find_window '^two.txt$' >/dev/null
	kill -0 "$program_pid" 2>/dev/null || fail "the first instance ended"
	printed '^ARGV\[ 1\]=.*/other/two.txt$' || fail "no ARGV line for two.txt"
	wait_until "two.txt was not loaded" printed '^ZELTextView LoadFile$'
	! printed "^Can't open file: two.txt$" ||
		fail "two.txt was looked for in the first instance's folder"
}

# The FontSize of the settings record that the text view applied last.
applied_size() {
	awk '/^ZELTextView AdjustView$/ { record = 1; next }
		record && /FontSize = int32\(/ {
			sub(/.*int32\(/, ""); sub(/ .*/, ""); size = $0; record = 0 }
		END { print size }' "$output"
}
applied_size_is() { [ "$(applied_size)" = "$1" ]; }

# Ctrl+E, the next size chosen with the keyboard, Apply: the document
# changes at once, and after a restart it still has that size.
case_settings_kept() {
	seq 1 40 | sed 's/^/line /' >"$work/files/lines.txt"
	start_orvane lines.txt
	document=$(find_window '^lines.txt$')
	wait_until "the settings were not applied" printed '^ZELTextView AdjustView$'
	local before
	before=$(applied_size)
	[ -n "$before" ] || fail "no size in the applied record"
	import -window "$document" "$work/before.png" ||
		fail "no screenshot of the document"

	xdotool windowfocus --sync "$document"
	xdotool key ctrl+e
	settings=$(find_window '^Orvane Settings$')
	wait_until "the window did not get in step" printed "^BMessage\('FMdf'\)"
	xdotool windowfocus --sync "$settings"
	# From the line length to the size field, open it, one size down.
	xdotool key Tab Tab Down
	wait_until "the size menu did not open" \
		test "$(xdotool search --onlyvisible --name '^menu$' | wc -l)" -ge 1
	xdotool key Down Return
	wait_until "the size was not chosen" printed "^BMessage\('FMsc'\)"
	# Enter presses the default button, Apply now.
	xdotool key Return
	local after=$((before + 1))
	wait_until "the document did not get size $after" applied_size_is "$after"
	printed '^Apply$' || fail "Enter did not apply"
	import -window "$document" "$work/after.png" ||
		fail "no screenshot of the document"
	cmp -s "$work/before.png" "$work/after.png" &&
		fail "the document looks the same after Apply"
	[ "$(compare -metric AE "$work/before.png" "$work/after.png" null: 2>&1 |
		cut -d' ' -f1)" -gt 500 ] || fail "the text did not visibly change"

	xdotool windowfocus --sync "$document"
	xdotool key ctrl+q
	wait_exit
	[ -s "$XDG_CONFIG_HOME/Orvane" ] || fail "no settings file at exit"

	: >"$output"
	start_orvane lines.txt
	find_window '^lines.txt$' >/dev/null
	wait_until "the size was not kept: $(applied_size)" applied_size_is "$after"
}

# A launch without files while Orvane runs opens a new untitled window in
# the running instance, as File > New does.
case_launch_without_files() {
	start_orvane
	find_window '^Untitled - 1$' >/dev/null
	(cd "$work/files" && "$orvane") >"$work/second" 2>&1 ||
		fail "the second launch failed: $(cat "$work/second")"
	find_window '^Untitled - 2$' >/dev/null
	kill -0 "$program_pid" 2>/dev/null || fail "the first instance ended"
}

# A launch that gives up waiting for a stopped instance opens its file
# itself; the instance, once continued, must not open it as well.
case_stopped_instance() {
	echo two >"$work/files/two.txt"
	start_orvane
	find_window '^Untitled - 1$' >/dev/null
	kill -STOP "$program_pid"
	(cd "$work/files" && exec "$orvane" two.txt) >"$work/second" 2>&1 &
	local second_pid=$!
	wait_until "the launch did not give up on the stopped instance" \
		grep -q "single launch is unavailable" "$work/second"
	find_window '^two.txt$' >/dev/null
	kill -CONT "$program_pid"
	# The instance serves this launch after the abandoned ones.
	(cd "$work/files" && "$orvane") >"$work/third" 2>&1 ||
		fail "the third launch failed: $(cat "$work/third")"
	# Its window's number tells how many windows the instance has made.
	find_window '^Untitled - [2-9]$' >/dev/null
	local count
	count=$(xdotool search --onlyvisible --name '^two.txt$' | wc -l)
	[ "$count" -eq 1 ] || fail "two.txt is open in $count windows"
	! printed 'two.txt' ||
		fail "the instance acted on the launch that gave up on it"
	kill "$second_pid" 2>/dev/null
}

# Ctrl+F, a word and Enter select its next occurrence; Ctrl+G the one
# after; Ctrl+R and Replace All replace them all, and Ctrl+Z gives back
# the file's exact bytes.
case_find_replace() {
	printf 'one cat\ntwo cat\r\nthree cat\n' >"$work/files/notes.txt"
	cp "$work/files/notes.txt" "$work/original"
	start_orvane notes.txt
	window=$(find_window '^notes.txt$')
	wait_until "the file was not loaded" printed '^ZELTextView LoadFile$'
	xdotool windowfocus --sync "$window"
	xdotool key ctrl+f
	dialog=$(find_window '^Search$')
	xdotool windowfocus --sync "$dialog"
	xdotool type --delay 20 'cat'
	xdotool key Return
	wait_until "Enter did not search" printed '^Start=0 Finish=0$'
	# Each search prints the selection it starts from: the match.
	xdotool windowfocus --sync "$window"
	xdotool key ctrl+g
	wait_until "the first match was not selected" printed '^Start=4 Finish=7$'
	xdotool key ctrl+g
	wait_until "Ctrl+G did not find the next" printed '^Start=12 Finish=15$'

	xdotool key ctrl+r
	dialog=$(find_window '^Search$')
	wait_until "the dialog printed no layout" \
		[ "$(grep -c '^W=' "$output")" -ge 2 ]
	xdotool windowfocus --sync "$dialog"
	xdotool key Tab
	xdotool type --delay 20 'dog'
	# The buttons stand at x 280, H high and 5 apart from y 10; the
	# printed height of the replace layout is 3H + 20 - 47.
	local height
	height=$(sed -n 's/^W=[0-9.]* H=\([0-9]*\).*/\1/p' "$output" | tail -n1)
	local button=$(((height + 27) / 3))
	xdotool mousemove --window "$dialog" 300 $((15 + button + button / 2)) \
		click 1
	wait_until "Replace All did nothing" printed '^ReplaceAll$'
	xdotool windowfocus --sync "$window"
	xdotool key ctrl+s
	wait_until "the replacements were not saved" holds \
		"$work/files/notes.txt" "$(printf 'one dog\ntwo dog\r\nthree dog')"
	xdotool key ctrl+z
	xdotool key ctrl+s
	wait_until "Ctrl+Z did not give the text back" cmp -s \
		"$work/files/notes.txt" "$work/original"
}

start_x
"case_$case_name" || fail "the case failed"
echo "PASS ($case_name)"
