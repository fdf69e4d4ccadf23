# The end-to-end tests' shared part, sourced by each of them: a temporary
# folder for the run (kept when the run fails), the virtual X display, the
# program started on it with every location pointed into the folder, and
# the steps that wait for windows and press keys. The sourcing script sets
# lexivane and lexivane_msg first, and checks its own arguments.

for tool in Xvfb xdotool timeout; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed (tools/install-deps installs it)"
        exit 77
    fi
done
for program in "$lexivane" "$lexivane_msg"; do
    [ -x "$program" ] || { echo "FAIL: $program is not an executable program" >&2; exit 1; }
done
# Nothing may reach the display of whoever runs the tests.
unset DISPLAY

# Seconds to wait for each step; the whole run stays well inside the CTest
# timeout even when every wait runs out.
start_timeout=30
step_timeout=15
exit_timeout=20
# The program quits by itself this long after start-up, so that it cannot
# outlive the test even if this script is killed.
safety_net_ms=60000

tmp=$(mktemp -d "${TMPDIR:-/tmp}/lexivane-e2e.XXXXXX") || exit 1
work=$tmp/files
mkdir -p "$work" "$tmp/user" "$tmp/system" "$tmp/home/.config" "$tmp/cache" "$tmp/runtime"
chmod 700 "$tmp/runtime"

xvfb_pid=""
program_pid=""
program_status=""
failed=0
# The program logs failures to its own path with the extension .LOG.
case ${lexivane##*/} in
    *.*) log_file=${lexivane%.*}.LOG ;;
    *) log_file=$lexivane.LOG ;;
esac
log_size=0
[ -f "$log_file" ] && log_size=$(wc -c <"$log_file")

cleanup() {
    if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then
        kill "$program_pid" 2>/dev/null
        wait "$program_pid" 2>/dev/null
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    if [ "$failed" -eq 0 ]; then
        rm -rf "$tmp"
    else
        echo "The files of this run are kept in $tmp" >&2
    fi
}
trap cleanup EXIT
trap 'failed=1; exit 1' INT TERM HUP

step() {
    echo "--- $*"
}

# Everything that tells what went wrong: while the program runs, the windows
# on the display, where the focus is and a picture of the screen; what the
# program printed and logged.
diagnostics() {
    if [ -n "${DISPLAY:-}" ] && program_running; then
        echo "Visible windows (id, title):" >&2
        for id in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
            echo "  $id \"$(xdotool getwindowname "$id" 2>/dev/null)\"" >&2
        done
        focus=$(xdotool getwindowfocus 2>/dev/null) || focus="none"
        echo "Input focus: $focus" >&2
        screenshot
    fi
    if [ -s "$tmp/program.out" ]; then
        echo "The program's output:" >&2
        sed 's/^/  /' "$tmp/program.out" >&2
    fi
    if [ -f "$log_file" ] && [ "$(wc -c <"$log_file")" -gt "$log_size" ]; then
        echo "The program's log ($log_file), this run:" >&2
        tail -c +"$((log_size + 1))" "$log_file" | sed 's/^/  /' >&2
    fi
}

screenshot() {
    if command -v xwd >/dev/null 2>&1 && xwd -root -silent -out "$tmp/screen.xwd" 2>/dev/null; then
        if command -v convert >/dev/null 2>&1 && convert "$tmp/screen.xwd" "$tmp/screen.png" 2>/dev/null; then
            echo "Screenshot: $tmp/screen.png" >&2
        else
            echo "Screenshot: $tmp/screen.xwd" >&2
        fi
    elif command -v import >/dev/null 2>&1 && import -window root "$tmp/screen.png" 2>/dev/null; then
        echo "Screenshot: $tmp/screen.png" >&2
    fi
}

fail() {
    echo "FAIL: $*" >&2
    failed=1
    diagnostics
    exit 1
}

program_running() {
    [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null
}

# The program must still be there while a step waits for it.
require_program() {
    program_running && return 0
    wait "$program_pid" 2>/dev/null
    status=$?
    program_pid=""
    fail "the program ended (status $status) while waiting for $1"
}

# True until $1 seconds after the call of start_clock.
start_clock() {
    deadline=$(($(date +%s) + $1))
}
in_time() {
    [ "$(date +%s)" -le "$deadline" ]
}

# Sets window to the id of the first visible window whose title matches
# the extended regular expression $1; waits at most $2 seconds.
wait_for_window() {
    start_clock "$2"
    while in_time; do
        require_program "a window titled /$1/"
        window=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
        [ -n "$window" ] && return 0
        sleep 0.1
    done
    fail "no visible window titled /$1/ after $2 seconds"
}

# Waits at most $2 seconds until no visible window's title matches $1.
wait_for_window_gone() {
    start_clock "$2"
    while in_time; do
        require_program "the window titled /$1/ to close"
        [ -z "$(xdotool search --onlyvisible --name "$1" 2>/dev/null)" ] && return 0
        sleep 0.1
    done
    fail "the window titled /$1/ is still open after $2 seconds"
}

# Waits at most $2 seconds until the file $1 is there and not empty: the
# program writes it after the dialog that named it has closed, under a
# temporary name that it renames when the file is whole.
wait_for_file() {
    start_clock "$2"
    while in_time; do
        [ -s "$1" ] && return 0
        require_program "the file $1"
        sleep 0.1
    done
    fail "no file $1 was written after $2 seconds"
}

# Gives the window the input focus (there is no window manager to do it) and
# waits until the X server has moved it there.
focus_window() {
    require_program "the focus to reach window $1"
    timeout "$step_timeout" xdotool windowfocus --sync "$1" \
        || fail "window $1 did not get the input focus"
}

keys() {
    require_program "keys $*"
    xdotool key --delay 50 "$@" || fail "xdotool could not press $*"
    sleep 0.2
}

# --- The display -------------------------------------------------------------

step "starting Xvfb"
# Xvfb picks a free display number itself and writes it to descriptor 3 once
# it accepts connections; the display is there once a client can talk to
# it. Another X server starting at the same moment may take the number
# first: then Xvfb ends, and it is started again.
display_ready() {
    : >"$tmp/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" >"$tmp/xvfb.out" 2>&1 &
    xvfb_pid=$!
    start_clock "$step_timeout"
    until grep -q '^[0-9][0-9]*$' "$tmp/display" 2>/dev/null; do
        kill -0 "$xvfb_pid" 2>/dev/null || return 1
        in_time || fail "Xvfb gave no display number after $step_timeout seconds"
        sleep 0.1
    done
    DISPLAY=:$(head -n 1 "$tmp/display")
    export DISPLAY
    until xdotool getdisplaygeometry >/dev/null 2>&1; do
        kill -0 "$xvfb_pid" 2>/dev/null || return 1
        in_time || fail "no client can reach the display $DISPLAY after $step_timeout seconds"
        sleep 0.1
    done
}
attempt=1
until display_ready; do
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
    unset DISPLAY
    if [ "$attempt" -ge 3 ]; then
        sed 's/^/  /' "$tmp/xvfb.out" >&2
        fail "Xvfb did not start"
    fi
    echo "Xvfb ended at once (attempt $attempt); starting it again"
    attempt=$((attempt + 1))
    sleep 0.5
done
echo "display $DISPLAY"

# --- The program -------------------------------------------------------------

# The program must draw on the X display, not offscreen, and must touch no
# setting of the real user.
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
export LC_ALL=C.UTF-8
export LEXIVANE_USER_DIR="$tmp/user"
export LEXIVANE_SYSTEM_DIR="$tmp/system"
export HOME="$tmp/home"
export XDG_CONFIG_HOME="$tmp/home/.config"
export XDG_CACHE_HOME="$tmp/cache"
export XDG_RUNTIME_DIR="$tmp/runtime"
export LEXIVANE_ANSI_CODEPAGE=windows-1252
export LEXIVANE_OEM_CODEPAGE=IBM437
export LEXIVANE_EXIT_AFTER_START=$safety_net_ms

# Starts the program on the file $1.
start_program() {
    step "starting $lexivane $1"
    "$lexivane" "$1" </dev/null >"$tmp/program.out" 2>&1 &
    program_pid=$!
}


# Waits until the program has ended by itself (after Alt+X) with status 0.
wait_for_exit() {
    start_clock "$exit_timeout"
    while program_running; do
        in_time || fail "the program is still running $exit_timeout seconds after Alt+X"
        sleep 0.1
    done
    wait "$program_pid"
    program_status=$?
    program_pid=""
    [ "$program_status" -eq 0 ] || fail "the program ended with status $program_status"
}

dump() {
    "$lexivane_msg" dump "$1" "$2" || fail "lexivane-msg could not dump $1"
}

# Waits for the main window with the file $1 (a regular expression for its
# name) loaded, keeps the pointer over it and gives it the focus; sets
# main_window.
wait_for_main_window() {
    # The title names the file once it is loaded into the grid.
    wait_for_window "^Lexivane - .*/$1\$" "$start_timeout"
    main_window=$window
    echo "main window $main_window: $(xdotool getwindowname "$main_window")"
    # With no window manager the keyboard follows the pointer where no window
    # holds the focus (after a dialog closes): keep the pointer over the window.
    xdotool mousemove --window "$main_window" 100 100 || fail "could not move the pointer"
    focus_window "$main_window"
}
