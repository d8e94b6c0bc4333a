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

program=$demo
label="the demo"
prefix=""
. "$(dirname "$0")/case-common.sh"

start_demo() {
	start_program . "$@"
}

# Waits for a line of the demo's output that matches the pattern.
wait_line() {
	local pattern=$1
	for _ in $(seq 1 $((patience * 20))); do
		grep -qE -- "$pattern" "$output" 2>/dev/null && return 0
		kill -0 "$program_pid" 2>/dev/null || \
			{ grep -qE -- "$pattern" "$output" && return 0; break; }
		sleep 0.05
	done
	fail "no line matching \"$pattern\""
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

wait_menus_closed() {
	wait_until "a menu stayed open" menu_open none
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
	# Keys of their own for the letters: xdotool would otherwise remap a
	# spare key for each and take it back at once, racing the demo's
	# reading of the keyboard map.
	xmodmap -e 'keycode 200 = eacute Eacute' -e 'keycode 201 = EuroSign' \
		|| fail "xmodmap failed"
	start_demo
	window=$(find_window '^Demo 1$')
	wait_line '^ready 1$'
	focus_window "$window" 1
	xdotool key eacute EuroSign shift+eacute
	# xdotool matches names in the X server's legacy encoding; the
	# demo's own line tells the UTF-8 it got.
	wait_line '^typed 1 é€É$'
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

# The Clear button under the text, clicked with the mouse.
case_button() {
	start_demo
	window=$(find_window '^Demo 1$')
	wait_line '^ready 1$'
	focus_window "$window" 1
	xdotool type 'abc'
	wait_line '^typed 1 abc$'
	# The button sits at the right end of the strip below the text.
	xdotool mousemove --window "$window" 280 141 click 1
	wait_line '^cleared 1$'
	wait_line '^typed 1 $'
}

# Edit > Upper case through the menu bar with clicks, Lower case
# through its shortcut; a menu opened and dismissed with Escape leaves
# the keyboard with the window.
case_menu() {
	start_demo
	window=$(find_window '^Demo 1$')
	wait_line '^ready 1$'
	focus_window "$window" 1
	xdotool type 'MiXed'
	wait_line '^typed 1 MiXed$'

	xdotool mousemove --window "$window" 18 8 click 1
	menu=$(find_window '^menu$')
	# The first item, a little inside the menu's window.
	xdotool mousemove --window "$menu" 20 8 click 1
	wait_line '^upper 1$'
	wait_line '^typed 1 MIXED$'
	wait_menus_closed

	xdotool key ctrl+l
	wait_line '^lower 1$'
	wait_line '^typed 1 mixed$'

	xdotool mousemove --window "$window" 18 8 click 1
	find_window '^menu$' >/dev/null
	xdotool key Escape
	wait_menus_closed
	xdotool type '!'
	wait_line '^typed 1 (mixed!|!mixed)$'
}

# A menu taller than the screen: it fits the screen, the wheel scrolls
# it, End and Enter choose its last item, typed letters find one.
case_tall_menu() {
	start_demo
	window=$(find_window '^Demo 1$')
	wait_line '^ready 1$'
	focus_window "$window" 1

	# The "Lines" title, after "Edit".
	xdotool mousemove --window "$window" 60 8 click 1
	menu=$(find_window '^menu$')
	eval "$(xdotool getwindowgeometry --shell "$menu")"
	[ "$HEIGHT" -le 768 ] || fail "the menu is $HEIGHT high, more than the screen"
	# Below the up arrow, two turns of the wheel down: six items on.
	xdotool mousemove --window "$menu" 30 22
	xdotool click 5 click 5
	xdotool mousemove --window "$menu" 30 23 click 1
	wait_line '^line 1 7$'
	wait_menus_closed

	xdotool mousemove --window "$window" 60 8 click 1
	find_window '^menu$' >/dev/null
	xdotool key End Return
	wait_line '^line 1 200$'
	wait_menus_closed

	xdotool mousemove --window "$window" 60 8 click 1
	find_window '^menu$' >/dev/null
	xdotool type 'line 15'
	xdotool key Return
	wait_line '^line 1 150$'
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

# How many pixels of the screenshot are ink (darker than mid grey) and
# how many are neither paper nor ink (the antialiased edges).
count_pixels() {
	local image=$1 test=$2
	convert "$image" -colorspace Gray -fx "$test" \
		-format '%[fx:round(mean*w*h)]' info:
}

# A line of text in the demo at 1:1, then with Xft.dpi 192 in the X
# resources: the window is twice as many pixels each way, the text has
# four times the ink but only about twice the edge pixels (drawn at the
# device's size, not enlarged, which would make four times as many), and
# clicks, the menu and the button land where they are drawn.
case_hidpi() {
	local scale width1 height1 ink1 edges1
	for scale in 1 2; do
		[ "$scale" = 2 ] && { echo 'Xft.dpi: 192' | xrdb -nocpp -merge ||
			fail "xrdb failed"; }
		start_demo
		window=$(find_window '^Demo 1$')
		wait_line '^ready 1$'
		focus_window "$window" 1
		xdotool type --delay 20 'Hamburgefonts_gjpq'
		find_window '^Demo 1: Hamburgefonts_gjpq$' >/dev/null
		eval "$(xdotool getwindowgeometry --shell "$window")"
		# The first line of text, below the menu bar; the caret off.
		xdotool mousemove --window "$window" $((WIDTH - 4)) $((HEIGHT - 4))
		import -window "$window" -crop "$((WIDTH / 2))x$((20 * scale))+0+$((22 * scale))" \
			+repage "$work/text$scale.png" || fail "no screenshot"
		local ink edges
		ink=$(count_pixels "$work/text$scale.png" 'u<0.5')
		edges=$(count_pixels "$work/text$scale.png" 'u>0.15&&u<0.85')
		echo "scale $scale: ${WIDTH}x$HEIGHT, ink $ink, edges $edges"
		if [ "$scale" = 1 ]; then
			width1=$WIDTH height1=$HEIGHT ink1=$ink edges1=$edges
			[ "$ink" -gt 100 ] || fail "no text at 1:1 ($ink pixels)"
			xdotool key ctrl+q
			wait_exit 0
			continue
		fi
		[ "$WIDTH" -eq $((2 * width1)) ] && [ "$HEIGHT" -eq $((2 * height1)) ] ||
			fail "the window is ${WIDTH}x$HEIGHT, not twice ${width1}x$height1"
		[ "$ink" -ge $((3 * ink1)) ] && [ "$ink" -le $((5 * ink1)) ] ||
			fail "the text has $ink pixels of ink, not four times $ink1"
		[ "$edges" -le $((3 * edges1)) ] ||
			fail "the text is blurred: $edges edge pixels against $edges1"

		# Pixels are half as many units.
		xdotool mousemove --window "$window" 100 120 click 1
		wait_line '^clicked 1 50 60 1$'
		xdotool mousemove --window "$window" 36 16 click 1
		menu=$(find_window '^menu$')
		xdotool mousemove --window "$menu" 40 16 click 1
		wait_line '^upper 1$'
		wait_line '^typed 1 HAMBURGEFONTS_GJPQ$'
		wait_menus_closed
		xdotool mousemove --window "$window" $((WIDTH - 40)) $((HEIGHT - 18)) click 1
		wait_line '^cleared 1$'
	done
}

start_x
"case_$case_name" || fail "the case failed"
echo "PASS ($case_name)"
