#!/usr/bin/env bash
# Runs one end-to-end case of the editor on a real Wayland compositor:
# Debian's weston, headless, with no X server anywhere (DISPLAY unset,
# no Xwayland). The shell weston runs is the test shell beside this
# script (tools/weston-test-shell.c): it places, stacks and focuses the
# toplevels as a desktop's shell does, drives a seat of its own (keys go
# through the compositor's keyboard and SDL's Wayland input like a
# person's), and reports the toplevels as the compositor sees them:
# title, app id, client pid, parent, keyboard focus.
#
#   wayland-case.sh ORVANE SHELL_MODULE ARTIFACTS CASE
#
# Each case has its own compositor, runtime directory (0700), settings
# and state, waits for what it expects, never for a fixed time, and keeps
# a screenshot of the compositor's output and what the editor printed
# when it fails.
set -uo pipefail

orvane=$(realpath "$1")
shell_module=$(realpath "$2")
artifacts=$3
case_name=$4
resources="$(cd "$(dirname "$0")/../../resources" && pwd)"

program=$orvane
label=orvane
prefix="wayland-"
. "$(dirname "$0")/case-common.sh"

unset DISPLAY
export XDG_CONFIG_HOME="$work/config"
export XDG_STATE_HOME="$work/state"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$work/files"
mkdir -m 0700 "$XDG_RUNTIME_DIR"

control="$work/shell-control"
report_file="$work/shell-report"
report_seq=0
socket_name="wayland-orvane-test"

fail() {
	echo "FAIL ($case_name): $*" >&2
	mkdir -p "$artifacts"
	local base="$artifacts/$prefix$case_name"
	if [ -p "$control" ]; then
		echo "screenshot $base.png" >&7
		for _ in $(seq 1 40); do
			[ -s "$base.png" ] && break
			sleep 0.05
		done
		[ -s "$base.png" ] && echo "screenshot: $base.png" >&2
		report >/dev/null 2>&1 && cat "$report_file" >&2
	fi
	[ -f "$work/weston.log" ] && cp "$work/weston.log" "$base.weston.log"
	if [ -f "$output" ]; then
		cp "$output" "$base.out"
		echo "--- what $label printed:" >&2
		tail -n 80 "$output" >&2
	fi
	exit 1
}

# Starts weston without a screen on a socket of the case's own, with the
# test shell, and waits until the shell answers.
start_weston() {
	mkfifo "$control"
	# Held open for writing (and reading, so that opening never waits),
	# so that a command never blocks the case.
	exec 7<>"$control"
	TEST_SHELL_CONTROL="$control" TEST_SHELL_REPORT="$report_file" \
		weston --backend=headless-backend.so --use-pixman --no-config \
			--socket="$socket_name" --idle-time=0 --width=1024 --height=768 \
			--shell="$shell_module" >"$work/weston.log" 2>&1 &
	weston_pid=$!
	other_pids+=("$weston_pid")
	wait_until "weston did not start: $(tail -n 5 "$work/weston.log")" \
		test -S "$XDG_RUNTIME_DIR/$socket_name"
	report >/dev/null || fail "the test shell does not answer"
	export WAYLAND_DISPLAY="$socket_name"
}

# Asks the shell for its report and waits until it is written; the
# report is then in $report_file.
report() {
	report_seq=$((report_seq + 1))
	echo "report $report_seq" >&7
	for _ in $(seq 1 $((patience * 20))); do
		[ "$(head -n1 "$report_file" 2>/dev/null)" = "seq $report_seq" ] \
			&& return 0
		sleep 0.05
	done
	return 1
}

# The field (pid, parent, focus, app_id, ...) of the toplevel with the
# id, from the last report.
field_of() {
	awk -v id="$1" -v key="$2=" '
		$1 == "toplevel" && $2 == id {
			for (i = 3; i <= NF; i++)
				if (index($i, key) == 1) { print substr($i, length(key) + 1); exit }
		}' "$report_file"
}

# The id of the mapped toplevel titled exactly so, from a new report;
# empty when there is none.
toplevel_titled() {
	report || return 1
	awk -v title="$1" '
		$1 == "toplevel" {
			at = index($0, " title=")
			if (substr($0, at + 7) == title) print $2
		}' "$report_file" | tail -n1
}

# Waits for a toplevel with the title and puts its id in $found.
find_toplevel() {
	for _ in $(seq 1 $((patience * 20))); do
		found=$(toplevel_titled "$1")
		[ -n "$found" ] && return 0
		sleep 0.05
	done
	fail "no toplevel titled \"$1\""
}

gone() { [ -z "$(toplevel_titled "$1")" ]; }
focused() { report && [ "$(field_of "$1" focus)" = 1 ]; }
printed() { grep -qE -- "$1" "$output" 2>/dev/null; }
holds() { [ "$(cat "$1" 2>/dev/null)" = "$2" ]; }
same_bytes() { cmp -s "$1" "$2"; }
# Whether the compositor's selection, read by another client, holds
# exactly the file's bytes. The reading client maps a toplevel of its
# own for a moment, which takes the keyboard.
clipboard_holds() {
	timeout 5 wl-paste --no-newline >"$work/pasted" 2>/dev/null &&
		cmp -s "$work/pasted" "$1"
}

# Key codes are Linux's (linux/input-event-codes.h).
declare -A kKeyCodes=(
	[1]=2 [2]=3 [3]=4 [4]=5 [5]=6 [6]=7 [7]=8 [8]=9 [9]=10 [0]=11
	[q]=16 [w]=17 [e]=18 [r]=19 [t]=20 [y]=21 [u]=22 [i]=23 [o]=24 [p]=25
	[a]=30 [s]=31 [d]=32 [f]=33 [g]=34 [h]=35 [j]=36 [k]=37 [l]=38
	[z]=44 [x]=45 [c]=46 [v]=47 [b]=48 [n]=49 [m]=50
	[" "]=57 [.]=52 [,]=51 [-]=12
)
kShift=42
kControl=29
kEnter=28
kEscape=1
kF10=68

keys() { echo "key $*" >&7; }
ctrl() { keys "+$kControl" "${kKeyCodes[$1]}" "-$kControl"; }

# Types the text (letters, digits, space and a little punctuation)
# through the seat's keyboard.
type_text() {
	local text=$1 i char lower codes=()
	for ((i = 0; i < ${#text}; i++)); do
		char=${text:i:1}
		lower=${char,,}
		[ -n "${kKeyCodes[$lower]:-}" ] || fail "no key for \"$char\""
		if [ "$char" != "$lower" ]; then
			codes+=("+$kShift" "${kKeyCodes[$lower]}" "-$kShift")
		else
			codes+=("${kKeyCodes[$lower]}")
		fi
	done
	keys "${codes[@]}"
}

# Starts the editor on the file of the files folder and waits until the
# document's toplevel has the keyboard; its id is in $document.
open_document() {
	start_program "$work/files" "$1"
	find_toplevel "$1"
	document=$found
	wait_until "the file was not loaded" printed '^ZELTextView LoadFile$'
	wait_until "the document did not get the keyboard" focused "$document"
}

# The editor's windows are native toplevels of the editor's own process,
# with the app id the desktop entry is found by, and the process talks
# to no X server.
expect_native() {
	local toplevel=$1 entry app
	report || fail "no report"
	[ "$(field_of "$toplevel" pid)" = "$program_pid" ] ||
		fail "toplevel $toplevel is not the editor's: $(cat "$report_file")"
	entry=$(basename "$resources/orvane.desktop" .desktop)
	app=$(field_of "$toplevel" app_id)
	[ "$app" = "$entry" ] ||
		fail "the app id is \"$app\", not the desktop entry's \"$entry\""
	[ "$app" = "$(sed -n 's/^StartupWMClass=//p' "$resources/orvane.desktop")" ] ||
		fail "the app id is not the desktop entry's StartupWMClass"
	! tr '\0' '\n' <"/proc/$program_pid/environ" | grep -q '^DISPLAY=' ||
		fail "the editor has a DISPLAY"
	local peers
	peers=$(socket_peers "$program_pid")
	grep -qxF "$XDG_RUNTIME_DIR/$socket_name" <<<"$peers" ||
		fail "the editor is not connected to the compositor: $peers"
	! grep -q 'X11-unix' <<<"$peers" ||
		fail "the editor is connected to an X server: $peers"
}

# The paths of the sockets the process's Unix sockets are connected to,
# one a line.
socket_peers() {
	local inodes
	inodes=$(ls -l "/proc/$1/fd" 2>/dev/null |
		sed -n 's/.*socket:\[\([0-9]*\)\]$/\1/p' | tr '\n' ' ')
	ss -xa | awk -v mine=" $inodes" '
		NR > 1 { path[$6] = $5; peer[$6] = $8 }
		END {
			for (inode in peer)
				if (index(mine, " " inode " ") && (peer[inode] in path))
					print path[peer[inode]]
		}'
}

# Starts from the command line on the compositor alone: the document's
# window maps as a native toplevel with the keyboard; typed keys reach
# the text, Ctrl+S writes the exact bytes, and the close box after the
# save ends the program without a question.
case_edit_and_save() {
	printf 'first line\nsecond line\n' >"$work/files/notes.txt"
	open_document notes.txt
	expect_native "$document"
	type_text 'Hi '
	wait_until "the first change was not reported" printed "^BMessage\('FMsn'\)"
	ctrl s
	wait_until "Ctrl+S did not save" holds "$work/files/notes.txt" \
		"$(printf 'Hi first line\nsecond line')"
	[ "$(od -An -c "$work/files/notes.txt" | tr -d ' \n')" = \
		"Hifirstline\nsecondline\n" ] || fail "the file's bytes changed"
	echo "close $document" >&7
	wait_exit
}

# Closing a changed document asks its question in a toplevel that is the
# document's child, with the keyboard; Enter saves, and the program ends.
case_close_question() {
	printf 'kept\n' >"$work/files/draft.txt"
	open_document draft.txt
	type_text 'New '
	wait_until "the first change was not reported" printed "^BMessage\('FMsn'\)"
	echo "close $document" >&7
	local question
	for _ in $(seq 1 $((patience * 20))); do
		report || break
		question=$(awk -v doc="$document" '$1 == "toplevel" && $2 != doc \
			{ print $2 }' "$report_file" | tail -n1)
		[ -n "$question" ] && break
		sleep 0.05
	done
	[ -n "$question" ] || fail "no question came up"
	expect_native "$question"
	[ "$(field_of "$question" parent)" = "$document" ] ||
		fail "the question is not the document's child: $(cat "$report_file")"
	wait_until "the question did not get the keyboard" focused "$question"
	keys "$kEnter"
	wait_until "Save in the question did not save" holds \
		"$work/files/draft.txt" "New kept"
	wait_exit
}

# Every dialog is the child of the document it serves, each time it is
# shown, with two documents open: Find from the second document, closed
# with Escape and shown again; the Open panel from the first.
case_dialogs() {
	printf 'one\n' >"$work/files/one.txt"
	printf 'two\n' >"$work/files/two.txt"
	start_program "$work/files" one.txt two.txt
	find_toplevel one.txt
	local one=$found
	find_toplevel two.txt
	local two=$found
	expect_native "$one"
	expect_native "$two"
	echo "activate $two" >&7
	wait_until "two.txt did not get the keyboard" focused "$two"
	local round find
	for round in first second; do
		ctrl f
		find_toplevel Search
		find=$found
		report
		[ "$(field_of "$find" parent)" = "$two" ] ||
			fail "Find, the $round time, is not two.txt's child: $(cat "$report_file")"
		wait_until "Find did not get the keyboard" focused "$find"
		keys "$kEscape"
		wait_until "Escape did not close Find" gone Search
		wait_until "the keyboard did not go back to two.txt" focused "$two"
	done
	echo "activate $one" >&7
	wait_until "one.txt did not get the keyboard" focused "$one"
	ctrl o
	find_toplevel Open
	local panel=$found
	report
	[ "$(field_of "$panel" parent)" = "$one" ] ||
		fail "the Open panel is not one.txt's child: $(cat "$report_file")"
	keys "$kEscape"
	wait_until "Escape did not close the Open panel" gone Open
}

# Copy puts the document's exact bytes in the compositor's selection,
# where another client reads them; what another client puts there,
# Paste writes into a document, byte for byte.
case_clipboard() {
	printf 'copied words\n\ttabbed\n' >"$work/files/from.txt"
	printf '' >"$work/files/to.txt"
	start_program "$work/files" from.txt to.txt
	find_toplevel from.txt
	local from=$found
	find_toplevel to.txt
	local to=$found
	echo "activate $from" >&7
	wait_until "from.txt did not get the keyboard" focused "$from"
	ctrl a
	ctrl c
	wait_until "Copy was not handled" printed "^BMessage\('COPY'\)"
	# SDL 2.26 offers the selection with the serial of a click in one of
	# the program's windows, so a copy from the keyboard reaches other
	# programs at the next click.
	echo "click $from 200 200" >&7
	wait_until "Copy did not reach the compositor" \
		clipboard_holds "$work/files/from.txt"

	printf 'from another client\n' >"$work/other"
	# wl-copy serves the selection until another takes it; it is the
	# case's to end.
	wl-copy --foreground <"$work/other" >"$work/wl-copy.log" 2>&1 &
	other_pids+=("$!")
	wait_until "wl-copy did not take the selection" \
		clipboard_holds "$work/other"
	echo "activate $to" >&7
	wait_until "to.txt did not get the keyboard" focused "$to"
	ctrl v
	wait_until "the paste was not reported" printed "^BMessage\('FMsn'\)"
	ctrl s
	wait_until "Paste did not give back the other client's bytes" \
		same_bytes "$work/files/to.txt" "$work/other"
}

# The toplevels other than the document, from the last report.
others_than() {
	awk -v doc="$1" '$1 == "toplevel" && $2 != doc { print $2 }' \
		"$report_file"
}
menu_shown() { report && [ -n "$(others_than "$document")" ]; }
menu_gone() { report && [ -z "$(others_than "$document")" ]; }

# A menu opens from the keyboard in a toplevel that is the document's
# child, and the keys reach it: F10 opens File, "s" walks to Save (the
# first of two items with the letter), Enter chooses it. The pointer
# reaches it too.
case_menu() {
	printf 'menu\n' >"$work/files/menu.txt"
	open_document menu.txt
	type_text 'x'
	wait_until "the first change was not reported" printed "^BMessage\('FMsn'\)"
	keys "$kF10"
	wait_until "F10 opened no menu" menu_shown
	local menu
	menu=$(others_than "$document" | tail -n1)
	[ "$(field_of "$menu" parent)" = "$document" ] ||
		fail "the menu is not the document's child: $(cat "$report_file")"
	expect_native "$menu"
	keys "${kKeyCodes[s]}" "$kEnter"
	wait_until "Save in the menu did not save" holds "$work/files/menu.txt" \
		"xmenu"
	wait_until "the menu did not close" menu_gone
	expect_native "$document"

	# With the pointer: a click on File, then on Quit, the menu's last
	# item, ends the program, whose document is saved.
	echo "click $document 20 10" >&7
	wait_until "a click on File opened no menu" menu_shown
	menu=$(others_than "$document" | tail -n1)
	local height
	height=$(field_of "$menu" h)
	echo "click $menu 30 $((height - 10))" >&7
	wait_exit
}

no_journals() { [ -z "$(ls "$XDG_STATE_HOME/Orvane/recovery")" ]; }

# When the compositor goes, the editor ends with status 1 and its
# journal synced; the next start on a new compositor gives the text
# back, and a save writes it.
case_display_lost() {
	printf 'first line\n' >"$work/files/notes.txt"
	open_document notes.txt
	type_text 'lost words '
	# Keys are handled in order: once Find Again has been answered,
	# every letter before it is in the text.
	ctrl g
	wait_until "Find Again was not handled" printed "^BMessage\('FEfa'\)"
	kill -KILL "$weston_pid"
	wait "$weston_pid" 2>/dev/null
	wait_exit 1
	printed '^Lost the connection to the Wayland display' ||
		fail "the loss of the display was not said"
	local journal
	for journal in "$XDG_STATE_HOME"/Orvane/recovery/journal-*; do
		[ -s "$journal" ] || fail "no journal was kept"
	done

	rm -f "$control" "$report_file" "$XDG_RUNTIME_DIR/$socket_name"*
	exec 7>&-
	start_weston
	start_program "$work/files" notes.txt
	wait_until "nothing was recovered" printed '^Recovered: notes.txt$'
	find_toplevel Orvane
	wait_until "the notice did not get the keyboard" focused "$found"
	keys "$kEnter"
	find_toplevel notes.txt
	document=$found
	wait_until "the document did not get the keyboard" focused "$document"
	ctrl s
	wait_until "the recovered text was not saved" holds \
		"$work/files/notes.txt" "lost words first line"
	wait_until "the journal stayed after the save" no_journals
}

start_weston
"case_$case_name" || fail "the case failed"
echo "PASS ($case_name)"
