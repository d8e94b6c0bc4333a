#!/usr/bin/env bash
# Runs one end-to-end case of the editor with a real input method: the
# IBus daemon and its pinyin engine in a private D-Bus session, which
# SDL reaches over D-Bus (SDL_IM_MODULE=ibus), on a private Xvfb, typed
# into with xdotool as a person would.
#
#   input-method-case.sh ORVANE ARTIFACTS CASE
#
# What the document window shows is read from screenshots of the window;
# what the text holds, from the file the editor saves and from whether
# it took the text for a change at all.
set -uo pipefail

orvane=$1
artifacts=$2
case_name=$3

program=$orvane
label=orvane
prefix="orvane-ime-"
. "$(dirname "$0")/case-common.sh"

export HOME="$work/home"
export XDG_CONFIG_HOME="$work/config"
export XDG_CACHE_HOME="$work/cache"
export XDG_STATE_HOME="$work/state"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$work/files"
mkdir -m 0700 "$XDG_RUNTIME_DIR"

printed() { grep -qE -- "$1" "$output" 2>/dev/null; }

# A session bus of the case's own, and the IBus daemon on it, without a
# panel (nothing shows the candidates) and without its X input method
# server: SDL speaks to IBus over D-Bus.
start_ibus() {
	local address
	dbus-daemon --session --fork --nopidfile --print-address=3 \
		--print-pid=4 3>"$work/bus-address" 4>"$work/bus-pid" \
		|| fail "no session bus"
	address=$(head -n1 "$work/bus-address")
	other_pids+=("$(head -n1 "$work/bus-pid")")
	export DBUS_SESSION_BUS_ADDRESS=$address
	ibus-daemon --replace --panel=disable --cache=none \
		>"$work/ibus.log" 2>&1 &
	other_pids+=("$!")
	wait_until "IBus did not start" ibus_knows_pinyin
	# The engine is chosen once a window has the keyboard.
	export SDL_IM_MODULE=ibus
}
ibus_knows_pinyin() {
	ibus list-engine 2>/dev/null | grep -q '^ *libpinyin '
}

# The engine takes its first keys only once it has started: until then
# they are typed as they are. A first Orvane of its own, on a scratch
# file with its own state, is typed into until the engine composes, and
# is then killed; the case's own instance finds the engine ready.
warm_up_engine() {
	local scratch="$work/scratch"
	mkdir -p "$scratch/files" "$scratch/state"
	mkdir -m 0700 "$scratch/runtime"
	: >"$scratch/files/scratch.txt"
	(cd "$scratch/files" && XDG_STATE_HOME="$scratch/state" \
		XDG_RUNTIME_DIR="$scratch/runtime" exec "$program" scratch.txt) \
		>"$scratch/output" 2>&1 &
	local scratch_pid=$!
	other_pids+=("$scratch_pid")
	window=$(find_window '^scratch.txt$')
	xdotool windowfocus --sync "$window"
	wait_until "IBus did not take the pinyin engine" engine_is libpinyin
	wait_until "the engine never composed" composes_in "$scratch/output"
	kill -9 "$scratch_pid"
	wait "$scratch_pid" 2>/dev/null
}
composes_in() {
	xdotool key a
	grep -q '^BMessage(.IMEV.)' "$1"
}

# Starts Orvane on the file and gives it the keyboard, with the pinyin
# engine switched on for it; the window id is in $window.
open_document() {
	warm_up_engine
	start_program "$work/files" "$1"
	window=$(find_window "^$1\$")
	wait_until "the file was not loaded" printed '^ZELTextView LoadFile$'
	xdotool windowfocus --sync "$window"
	wait_until "IBus did not take the pinyin engine for the window" \
		engine_is libpinyin
}
engine_is() {
	ibus engine "$1" 2>/dev/null
	[ "$(ibus engine 2>/dev/null)" = "$1" ]
}

# How dark the first line of text is from the column on, up to the
# width, as a fraction from 0 (white) to 1 (black).
ink_from() {
	import -window "$window" "$work/shot.png" 2>/dev/null || { echo 0; return; }
	convert "$work/shot.png" -crop "$2x14+$1+$text_top" +repage \
		-colorspace gray -format '%[fx:1-mean]' info: 2>/dev/null || echo 0
}
inked() { awk -v ink="$(ink_from "$1" "$2")" 'BEGIN { exit !(ink > 0.03) }'; }
blank() { awk -v ink="$(ink_from "$1" "$2")" 'BEGIN { exit !(ink < 0.005) }'; }

# As wait_until, for checks that take a screenshot each: bounded by the
# time they take, not by how often they are tried.
wait_shown() {
	local what=$1
	shift
	local deadline=$((SECONDS + patience))
	while [ "$SECONDS" -le "$deadline" ]; do
		"$@" && return 0
		sleep 0.1
	done
	fail "$what"
}

# The line under the menu bar, past "hello" in the fixed font.
text_top=24
after_hello=38

same_bytes() { cmp -s "$1" "$2"; }
changed() { printed "^BMessage\('FMsn'\)"; }

# "nihao" is composed, shown where it goes while the text stays as it
# was, and typed once by the space that picks the first candidate.
case_compose_and_commit() {
	printf 'hello\nsecond\n' >"$work/files/notes.txt"
	start_ibus
	open_document notes.txt
	xdotool key End
	blank "$after_hello" 40 || fail "something is drawn after hello already"
	xdotool key --delay 150 n i h a o
	wait_shown "the composition is not shown" inked "$after_hello" 28
	mkdir -p "$artifacts"
	import -window "$window" "$artifacts/$prefix$case_name-composing.png" \
		2>/dev/null
	changed && fail "the composition reached the text before its commit"
	xdotool key space
	wait_until "the commit did not change the text" changed
	xdotool key ctrl+s
	printf 'hello\xe4\xbd\xa0\xe5\xa5\xbd\nsecond\n' >"$work/expected"
	wait_until "the saved bytes are not the commit's, once" \
		same_bytes "$work/files/notes.txt" "$work/expected"
	inked "$after_hello" 28 || fail "the committed text is not shown"
}

# Escape drops the composition: nothing shows and the document is
# unchanged, so that it closes without asking.
case_cancel() {
	printf 'hello\n' >"$work/files/notes.txt"
	start_ibus
	open_document notes.txt
	xdotool key End
	xdotool key --delay 150 n i h a o
	wait_shown "the composition is not shown" inked "$after_hello" 28
	xdotool key Escape
	wait_shown "the cancelled composition is still shown" \
		blank "$after_hello" 40
	changed && fail "the cancelled composition changed the text"
	xdotool key ctrl+q
	wait_exit
	printf 'hello\n' >"$work/expected"
	same_bytes "$work/files/notes.txt" "$work/expected" \
		|| fail "the file changed"
}

# A click on the next line while composing types the composition where
# it is shown, once: the input method forgets it and types nothing more.
case_click_commits() {
	printf 'hello\nsecond\n' >"$work/files/notes.txt"
	start_ibus
	open_document notes.txt
	xdotool key End
	xdotool key --delay 150 n i h a o
	wait_shown "the composition is not shown" inked "$after_hello" 28
	# Past the end of "second".
	xdotool mousemove --window "$window" 200 $((text_top + 20)) click 1
	wait_until "the click did not keep the composition" changed
	xdotool key ctrl+s
	printf 'hello\xe4\xbd\xa0\xe5\xa5\xbd\nsecond\n' >"$work/expected"
	wait_until "the saved bytes are not the composition's, once" \
		same_bytes "$work/files/notes.txt" "$work/expected"
	# Typing goes on where the click put the caret.
	xdotool key --delay 150 n i h a o space
	printf 'hello\xe4\xbd\xa0\xe5\xa5\xbd\nsecond\xe4\xbd\xa0\xe5\xa5\xbd\n' \
		>"$work/expected"
	wait_until "the next word did not go where the click put the caret" \
		saved_as "$work/expected"
}
# Saves and tells whether the file then holds the expected bytes.
saved_as() {
	xdotool key ctrl+s
	same_bytes "$work/files/notes.txt" "$1"
}

start_x
start_wm
"case_$case_name" || fail "the case failed"
echo "PASS ($case_name)"
