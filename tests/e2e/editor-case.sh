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
resources="$(cd "$(dirname "$0")/../../resources" && pwd)"

program=$orvane
label=orvane
prefix="orvane-"
. "$(dirname "$0")/case-common.sh"

export XDG_CONFIG_HOME="$work/config"
export XDG_STATE_HOME="$work/state"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$work/files"
mkdir -m 0700 "$XDG_RUNTIME_DIR"

start_orvane() {
	start_program "$work/files" "$@"
}

printed() { grep -qE -- "$1" "$output" 2>/dev/null; }

# Starts Orvane on the file of the files folder and gives its loaded
# document the keyboard; the document's window id is in $window.
open_document() {
	start_orvane "$1"
	window=$(find_window "^$1\$")
	wait_until "the file was not loaded" printed '^ZELTextView LoadFile$'
	xdotool windowfocus --sync "$window"
}
holds() { [ "$(cat "$1" 2>/dev/null)" = "$2" ]; }

# Open a file from the command line, type, save with Ctrl+S, close.
case_edit_and_save() {
	printf 'first line\nsecond line\n' >"$work/files/notes.txt"
	open_document notes.txt
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

# Whether a window of that name is shown on the display.
shown_on() { [ -n "$(DISPLAY=$1 xdotool search --onlyvisible --name "$2")" ]; }
# Whether the launch's process still runs.
running() { kill -0 "$1" 2>/dev/null; }
# Whether the instance whose output is the file got the file name as an
# argument, its own or handed over.
got_file() { grep -qE "^ARGV\[ *[0-9]+\]=(.*/)?$2\$" "$1"; }

# Launches hand their files over only to the instance on their own
# display, however the display is written; an offscreen instance is one
# of its own (a launch on another X display once handed its file to the
# first instance and exited, and nothing showed on its display).
case_separate_displays() {
	local name
	for name in a b c d e f; do
		echo "$name" >"$work/files/$name.txt"
	done
	start_orvane a.txt
	find_window '^a.txt$' >/dev/null
	start_other_x

	(cd "$work/files" && DISPLAY=$other_display exec "$orvane" b.txt) \
		>"$work/other.out" 2>&1 &
	local other_pid=$!
	other_pids+=("$other_pid")
	DISPLAY=$other_display find_window '^b.txt$' >/dev/null
	running "$other_pid" ||
		fail "the launch on $other_display ended: $(cat "$work/other.out")"

	# The same displays, written otherwise: these hand over and end.
	(cd "$work/files" && DISPLAY="unix$DISPLAY.0" timeout "$patience" \
		"$orvane" c.txt) >"$work/c.out" 2>&1 ||
		fail "the launch on unix$DISPLAY.0 did not hand over: $(cat "$work/c.out")"
	find_window '^c.txt$' >/dev/null
	(cd "$work/files" && DISPLAY="$other_display.0" timeout "$patience" \
		"$orvane" d.txt) >"$work/d.out" 2>&1 ||
		fail "the launch on $other_display.0 did not hand over: $(cat "$work/d.out")"
	DISPLAY=$other_display find_window '^d.txt$' >/dev/null

	(cd "$work/files" && KITS_DISPLAY=offscreen exec "$orvane" e.txt) \
		>"$work/offscreen.out" 2>&1 &
	local offscreen_pid=$!
	other_pids+=("$offscreen_pid")
	wait_until "the offscreen launch did not open e.txt itself" \
		got_file "$work/offscreen.out" e.txt
	running "$offscreen_pid" || fail "the offscreen launch ended"
	(cd "$work/files" && KITS_DISPLAY=offscreen timeout "$patience" \
		"$orvane" f.txt) >"$work/f.out" 2>&1 ||
		fail "the offscreen launch of f.txt did not hand over: $(cat "$work/f.out")"
	wait_until "the offscreen instance did not get f.txt" \
		got_file "$work/offscreen.out" f.txt

	# Nothing reached an instance on another display.
	for name in b d e f; do
		! got_file "$output" "$name.txt" ||
			fail "$name.txt reached the instance on $DISPLAY"
		! shown_on "$DISPLAY" "^$name.txt\$" || fail "$name.txt shows on $DISPLAY"
	done
	for name in a c e f; do
		! got_file "$work/other.out" "$name.txt" ||
			fail "$name.txt reached the instance on $other_display"
		! shown_on "$other_display" "^$name.txt\$" ||
			fail "$name.txt shows on $other_display"
	done
	for name in a b c d; do
		! got_file "$work/offscreen.out" "$name.txt" ||
			fail "$name.txt reached the offscreen instance"
	done
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
		menu_open
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
	open_document notes.txt
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

# With Xft.dpi 192 in the X resources the editor's windows are twice the
# pixels they are at 1:1, the find and replace dialog prints the same
# layout in units, and a click at twice a button's place presses it.
case_hidpi() {
	printf 'one cat\ntwo cat\n' >"$work/files/notes.txt"
	local scale layout layout1 width1 height1 dialogWidth1
	for scale in 1 2; do
		[ "$scale" = 2 ] && { echo 'Xft.dpi: 192' | xrdb -nocpp -merge ||
			fail "xrdb failed"; }
		open_document notes.txt
		xdotool key ctrl+r
		dialog=$(find_window '^Search$')
		wait_until "the dialog printed no layout" \
			[ "$(grep -c '^W=' "$output")" -ge 1 ]
		layout=$(grep '^W=' "$output")
		eval "$(xdotool getwindowgeometry --shell "$dialog")"
		local dialogWidth=$WIDTH
		eval "$(xdotool getwindowgeometry --shell "$window")"
		if [ "$scale" = 1 ]; then
			layout1=$layout width1=$WIDTH height1=$HEIGHT
			dialogWidth1=$dialogWidth
			xdotool windowfocus --sync "$dialog"
			xdotool key Escape
			xdotool windowfocus --sync "$window"
			xdotool key ctrl+q
			wait_exit
			continue
		fi
		[ "$layout" = "$layout1" ] ||
			fail "the dialog's layout changed: $layout against $layout1"
		[ "$WIDTH" -eq $((2 * width1)) ] && [ "$HEIGHT" -eq $((2 * height1)) ] ||
			fail "the window is ${WIDTH}x$HEIGHT, not twice ${width1}x$height1"
		[ "$dialogWidth" -eq $((2 * dialogWidth1)) ] ||
			fail "the dialog is $dialogWidth wide, not twice $dialogWidth1"
		xdotool windowfocus --sync "$dialog"
		xdotool type --delay 20 'cat'
		xdotool key Tab
		xdotool type --delay 20 'dog'
		# As in find_replace, at twice the place.
		local height button
		height=$(sed -n 's/^W=[0-9.]* H=\([0-9]*\).*/\1/p' "$output" | tail -n1)
		button=$(((height + 27) / 3))
		xdotool mousemove --window "$dialog" 600 $((2 * (15 + button + button / 2))) \
			click 1
		wait_until "Replace All did nothing" printed '^ReplaceAll$'
	done
}

# The window id xprop prints for a window property, in hexadecimal as
# xprop writes it ("0x..."), for the window xdotool named in decimal.
hex_id() { printf '0x%x' "$1"; }
active_is() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }

# Fails unless the window is a dialog of the other: WM_TRANSIENT_FOR
# names it and the type is _NET_WM_WINDOW_TYPE_DIALOG.
expect_dialog_of() {
	local dialog=$1 parent=$2 name=$3
	xprop -id "$dialog" WM_TRANSIENT_FOR | grep -q "# $(hex_id "$parent")\$" ||
		fail "$name is not transient for its document: $(xprop -id "$dialog" WM_TRANSIENT_FOR)"
	xprop -id "$dialog" _NET_WM_WINDOW_TYPE | grep -q '_NET_WM_WINDOW_TYPE_DIALOG' ||
		fail "$name is not a dialog: $(xprop -id "$dialog" _NET_WM_WINDOW_TYPE)"
	# The frame's buttons: the Motif hints ask for neither minimise nor
	# maximise (functions and decorations). openbox reads only some of
	# them, and offers no maximising of a dialog of a fixed size.
	local hints
	hints=$(xprop -id "$dialog" _MOTIF_WM_HINTS | sed 's/.*= //; s/,//g')
	read -r flags functions decorations _ <<<"$hints"
	[ -n "$decorations" ] && [ $((functions & 0x18)) -eq 0 ] &&
		[ $((decorations & 0x60)) -eq 0 ] ||
		fail "$name asks for minimise or maximise: $hints"
	[ "${4:-}" != fixed ] ||
		! xprop -id "$dialog" _NET_WM_ALLOWED_ACTIONS | grep -q MAXIMIZE ||
		fail "$name can be maximised"
}

# Whether the first window is above the second in the window manager's
# stacking order (bottom to top).
stacked_above() {
	local order
	order=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g')
	local upper=-1 lower=-1 index=0
	for id in $order; do
		[ "$id" = "$(hex_id "$1")" ] && upper=$index
		[ "$id" = "$(hex_id "$2")" ] && lower=$index
		index=$((index + 1))
	done
	[ "$upper" -gt "$lower" ] && [ "$lower" -ge 0 ]
}

# Under a window manager, the close question and the Open panel are
# dialogs of their document: a click on the document leaves the modal
# question in front, and the keyboard returns to the document after.
case_dialogs() {
	start_wm
	printf 'one\n' >"$work/files/a.txt"
	start_orvane a.txt
	window=$(find_window '^a.txt$')
	wait_until "the file was not loaded" printed '^ZELTextView LoadFile$'
	xdotool windowactivate --sync "$window"
	xdotool type --delay 20 'x'
	wait_until "the first change was not reported" printed "^BMessage\('FMsn'\)"
	xdotool key ctrl+w
	alert=$(find_window '^Orvane$')
	expect_dialog_of "$alert" "$window" "the close question" fixed
	xprop -id "$alert" _NET_WM_STATE | grep -q _NET_WM_STATE_MODAL ||
		fail "the close question is not modal"
	wait_until "the close question did not get the keyboard" active_is "$alert"

	# The question is centred on the document; its lower left corner is
	# free to click.
	eval "$(xdotool getwindowgeometry --shell "$window")"
	xdotool mousemove --window "$window" 12 $((HEIGHT - 30)) click 1
	sleep 0.5
	wait_until "a click on the document took the keyboard from the question" \
		active_is "$alert"
	stacked_above "$alert" "$window" ||
		fail "the document came in front of its question"

	xdotool key Escape
	wait_until "the keyboard did not return to the document" active_is "$window"
	xdotool key ctrl+o
	panel=$(find_window '^Open$')
	expect_dialog_of "$panel" "$window" "the Open panel"
	xdotool key Escape
	wait_until "the keyboard did not return from the panel" active_is "$window"
}

# The windows the program shows now (a pop-up menu is one more).
shown_windows() {
	xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null | wc -l
}
shows_windows() { [ "$(shown_windows)" -eq "$1" ]; }
primary_is() { [ "$(xclip -o -selection primary 2>/dev/null)" = "$1" ]; }
same_bytes() { cmp -s "$1" "$2"; }

# Text selected with the mouse is the primary selection, and a middle
# click pastes the primary selection another program holds.
case_primary() {
	printf 'alpha beta\n' >"$work/files/s.txt"
	open_document s.txt
	# A double click on the second word of the first line.
	xdotool mousemove --window "$window" 52 30 click --repeat 2 --delay 80 1
	wait_until "the selection did not reach the primary selection" \
		primary_is beta
	printf 'PRIM' | xclip -selection primary
	wait_until "xclip did not take the primary selection" primary_is PRIM
	xdotool mousemove --window "$window" 2 30 click 2
	wait_until "the first change was not reported" printed "^BMessage\('FMsn'\)"
	xdotool key ctrl+s
	wait_until "the middle click did not paste at the start" \
		holds "$work/files/s.txt" 'PRIMalpha beta'
}

# The context menu's Cut and Paste carry the document's exact bytes.
case_context_menu() {
	printf 'one\000two\377\n' >"$work/original"
	cp "$work/original" "$work/files/c.txt"
	open_document c.txt
	xdotool key ctrl+a
	xdotool mousemove --window "$window" 40 30 click 3
	wait_until "no context menu opened" shows_windows 2
	# "c" walks to Cut, the first of two items with the letter; "p"
	# picks Paste, the only one with its letter, at once.
	xdotool key c Return
	wait_until "the context menu did not close" shows_windows 1
	xdotool key ctrl+s
	wait_until "Cut did not empty the document" holds "$work/files/c.txt" ''
	xdotool mousemove --window "$window" 40 30 click 3
	wait_until "no context menu opened again" shows_windows 2
	xdotool key p
	wait_until "the context menu did not close again" shows_windows 1
	xdotool key ctrl+s
	wait_until "Paste did not give back the exact bytes" \
		same_bytes "$work/files/c.txt" "$work/original"
}

# Every window carries the installed icon, and the class that the desktop
# entry's StartupWMClass names.
case_identity() {
	local icons="$work/data/icons/hicolor/32x32/apps"
	mkdir -p "$icons"
	cp "$resources/icons/orvane-32.png" "$icons/orvane.png"
	export XDG_DATA_HOME="$work/data"
	start_orvane
	window=$(find_window '^Untitled - 1$')
	local class
	class=$(sed -n 's/^StartupWMClass=//p' "$resources/orvane.desktop")
	[ -n "$class" ] || fail "the desktop entry names no StartupWMClass"
	xprop -id "$window" WM_CLASS | grep -q "\"$class\"\$" ||
		fail "the window's class is not $class: $(xprop -id "$window" WM_CLASS)"
	xprop -id "$window" _NET_WM_ICON | grep -q 'Icon (32 x 32)' ||
		fail "the window has not the 32-pixel icon"
	xdotool key ctrl+o
	panel=$(find_window '^Open$')
	xprop -id "$panel" _NET_WM_ICON | grep -q 'Icon (32 x 32)' ||
		fail "the Open panel has no icon"
}

# Ctrl+P on a document: page setup confirmed with Enter, the print dialog
# set to "Save as PDF" with the keyboard, a name typed in the save panel;
# the PDF holds the document's lines as text. No print system answers
# here, so the PDF is the way to print. The save panel starts in the
# home folder. Both dialogs are modal dialogs of the document.
case_print_to_pdf() {
	start_wm
	export CUPS_SERVER="$work/no-cups.sock"
	export HOME="$work/home"
	mkdir "$HOME"
	seq 1 30 | sed 's/^/printed line /' >"$work/files/doc.txt"
	open_document doc.txt
	xdotool key ctrl+p
	setup=$(find_window '^Page Setup$')
	expect_dialog_of "$setup" "$window" "page setup" fixed
	wait_until "page setup did not get the keyboard" active_is "$setup"
	xdotool key Return
	dialog=$(find_window '^Print$')
	expect_dialog_of "$dialog" "$window" "the print dialog" fixed
	xprop -id "$dialog" _NET_WM_STATE | grep -q _NET_WM_STATE_MODAL ||
		fail "the print dialog is not modal"
	wait_until "the print dialog did not get the keyboard" active_is "$dialog"
	# Tab walks Cancel, Print, then the destination field; Down opens it,
	# and "s" picks "Save as PDF", the only item with the letter.
	xdotool key Tab Tab Tab Down
	wait_until "the destination menu did not open" \
		menu_open
	xdotool key s
	wait_until "the destination menu did not close" \
		menu_open none
	xdotool key Return
	panel=$(find_window '^Save$')
	wait_until "the save panel did not get the keyboard" active_is "$panel"
	xdotool key ctrl+a
	xdotool type --delay 20 'printed.pdf'
	xdotool key Return
	wait_until "the job did not run" printed '^Pages=1$'
	wait_until "no PDF was written" test -s "$HOME/printed.pdf"
	pdftotext -layout "$HOME/printed.pdf" "$work/printed.txt" ||
		fail "pdftotext could not read the PDF"
	local line
	for line in $(seq 1 30); do
		grep -q "^ *printed line $line\$" "$work/printed.txt" ||
			fail "the PDF lacks \"printed line $line\": $(cat "$work/printed.txt")"
	done
}

no_journals() { [ -z "$(ls "$XDG_STATE_HOME/Orvane/recovery")" ]; }

# The X server dies under a changed document: what was typed is in the
# journal before the program ends, and the next start on a new server
# brings it back, ready to save.
case_display_lost() {
	printf 'first line\n' >"$work/files/notes.txt"
	open_document notes.txt
	xdotool type --delay 20 'lost words '
	# Keys are handled in order: once Find Again has been answered,
	# every letter before it is in the text.
	xdotool key ctrl+g
	wait_until "Find Again was not handled" printed "^BMessage\('FEfa'\)"
	kill -KILL "$xvfb_pid"
	wait "$xvfb_pid" 2>/dev/null
	xvfb_pid=""
	wait_exit 1
	# Records split the typing where the writer happened to take it, so
	# the text is proven by the next start; here only the files.
	local journal
	for journal in "$XDG_STATE_HOME"/Orvane/recovery/journal-*; do
		[ "$(stat -c %a "$journal")" = 600 ] \
			|| fail "no private journal: $(ls -l "$XDG_STATE_HOME/Orvane/recovery")"
	done
	[ "$(stat -c %a "$XDG_STATE_HOME/Orvane/recovery")" = 700 ] \
		|| fail "the journal folder is not private"

	# A new X server, as after logging in again.
	start_xvfb display-again
	xvfb_pid=$started_pid
	export DISPLAY=$started_display
	start_orvane notes.txt
	find_window '^notes.txt$' >/dev/null
	wait_until "nothing was recovered" printed '^Recovered: notes.txt$'
	local notice
	notice=$(find_window '^Orvane$')
	xdotool windowfocus --sync "$notice" key Return
	local window
	window=$(find_window '^notes.txt$')
	xdotool windowfocus --sync "$window" key ctrl+s
	wait_until "the recovered text was not saved" holds \
		"$work/files/notes.txt" "lost words first line"
	wait_until "the journal stayed after the save" no_journals
}

start_x
"case_$case_name" || fail "the case failed"
echo "PASS ($case_name)"
