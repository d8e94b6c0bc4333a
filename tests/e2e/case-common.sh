# What every end-to-end case needs, sourced by the case scripts: a work
# directory, a private Xvfb on the first free display, the program under
# test started on it, waiting for what a case expects (never for a fixed
# time), and, when a case fails, a screenshot and the program's output
# kept under the artifacts directory.
#
# The sourcing script sets: program (the executable), label (how failure
# messages name it), prefix (put before the case's name on artifacts),
# artifacts and case_name.

patience=${E2E_PATIENCE:-20}
work=$(mktemp -d)
output="$work/output"
xvfb_pid=""
wm_pid=""
program_pid=""
# Further instances of the program and X servers a case started.
other_pids=()

# Waits for a process that was sent SIGTERM to end. One that outlives
# the patience has its threads' stacks printed and is killed, and the
# case fails: a program must end when its screen and its session go.
await_end() {
	local pid=$1 what=$2
	for _ in $(seq 1 $((patience * 20))); do
		kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null; return 0; }
		# A zombie has ended; only its parent's wait is missing.
		[ "$(awk '{ print $3 }' "/proc/$pid/stat" 2>/dev/null)" = Z ] &&
			{ wait "$pid" 2>/dev/null; return 0; }
		sleep 0.05
	done
	echo "FAIL ($case_name): $what did not end; its threads:" >&2
	timeout 60 gdb -p "$pid" -batch -nx -ex "thread apply all bt" 2>&1 |
		grep -E '^(Thread|#)' >&2
	kill -KILL "$pid" 2>/dev/null
	wait "$pid" 2>/dev/null
	return 1
}

# Everything a case started is told to end at once, as a desktop's
# logout ends the session: a program with a question still to ask ends
# when its display goes.
cleanup() {
	local status=$? hung=0 pid
	local -A names=()
	# A case may have stopped the program; a stopped one would not end.
	if [ -n "$program_pid" ]; then
		kill -CONT "$program_pid" 2>/dev/null
		names[$program_pid]=$label
	fi
	for pid in "${other_pids[@]}"; do
		names[$pid]="process $pid"
	done
	[ -n "$wm_pid" ] && names[$wm_pid]="the window manager"
	[ -n "$xvfb_pid" ] && names[$xvfb_pid]="the X server"
	for pid in "${!names[@]}"; do
		kill "$pid" 2>/dev/null
	done
	for pid in "${!names[@]}"; do
		await_end "$pid" "${names[$pid]}" || hung=1
	done
	wait 2>/dev/null
	rm -rf "$work"
	[ "$hung" -eq 0 ] || exit 1
	exit "$status"
}
trap cleanup EXIT

fail() {
	echo "FAIL ($case_name): $*" >&2
	mkdir -p "$artifacts"
	local base="$artifacts/$prefix$case_name"
	import -display "$DISPLAY" -window root "$base.png" 2>/dev/null \
		&& echo "screenshot: $base.png" >&2
	if [ -f "$output" ]; then
		cp "$output" "$base.out"
		echo "--- what $label printed:" >&2
		tail -n 80 "$output" >&2
	fi
	exit 1
}

# Starts Xvfb on the first free display and puts its name (":n") in
# $started_display and its pid in $started_pid; the number it took is
# written to $work/<name>, what it prints to $work/<name>.log.
start_xvfb() {
	local name=$1
	Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset \
		>"$work/$name.log" 2>&1 3>"$work/$name" &
	started_pid=$!
	for _ in $(seq 1 $((patience * 20))); do
		if [ -s "$work/$name" ]; then
			started_display=":$(head -n1 "$work/$name")"
			return 0
		fi
		kill -0 "$started_pid" 2>/dev/null || break
		sleep 0.05
	done
	cat "$work/$name.log" >&2
	echo "FAIL ($case_name): Xvfb did not start" >&2
	exit 1
}

# The case's X server, which $DISPLAY names from here on.
start_x() {
	start_xvfb display
	xvfb_pid=$started_pid
	export DISPLAY=$started_display
}

# Another X server beside the case's; its name goes in $other_display.
start_other_x() {
	start_xvfb other-display
	other_pids+=("$started_pid")
	other_display=$started_display
}

# Starts openbox on the X server with its stock settings and waits until
# it manages the screen (it names itself on the root window).
start_wm() {
	openbox --sm-disable >"$work/wm.log" 2>&1 &
	wm_pid=$!
	for _ in $(seq 1 $((patience * 20))); do
		xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' \
			&& return 0
		kill -0 "$wm_pid" 2>/dev/null || break
		sleep 0.05
	done
	cat "$work/wm.log" >&2
	echo "FAIL ($case_name): openbox did not start" >&2
	exit 1
}

# Starts the program on the X server, in the directory, with the
# arguments; what it prints goes to $output.
start_program() {
	local directory=$1
	shift
	unset KITS_DISPLAY
	(cd "$directory" && exec "$program" "$@") >"$output" 2>&1 &
	program_pid=$!
}

# Waits until the command holds; fails with the description if it never
# does.
wait_until() {
	local what=$1
	shift
	for _ in $(seq 1 $((patience * 20))); do
		"$@" && return 0
		sleep 0.05
	done
	fail "$what"
}

# Whether a menu is open, or (with "none") whether none is.
menu_open() {
	local open
	open=$(xdotool search --onlyvisible --name '^menu$')
	if [ "${1:-}" = none ]; then
		[ -z "$open" ]
	else
		[ -n "$open" ]
	fi
}

# Prints the id of the window whose name matches, waiting for it. A
# search that meets a window going away gives up at once, so it is asked
# again until the time is up.
find_window() {
	local id
	for _ in $(seq 1 $((patience * 20))); do
		id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1)
		if [ -n "$id" ]; then
			echo "$id"
			return 0
		fi
		sleep 0.05
	done
	fail "no window named \"$1\""
}

# Waits until the program has ended with the status (0 by default).
wait_exit() {
	local expected=${1:-0}
	for _ in $(seq 1 $((patience * 20))); do
		if ! kill -0 "$program_pid" 2>/dev/null; then
			wait "$program_pid"
			local status=$?
			program_pid=""
			[ "$status" -eq "$expected" ] || \
				fail "$label exited with $status, not $expected"
			return 0
		fi
		sleep 0.05
	done
	fail "$label did not exit"
}
