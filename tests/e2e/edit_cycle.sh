#!/bin/sh
# The editing cycle through the real program on a virtual X display, driven
# by the keyboard as a user would: open a copy of the sample message file,
# go to the last message, change its text in the text edit dialog, save
# (answering Yes to the initial backup), exit. Then the files on disk are
# checked with lexivane-msg: the file holds the new text and nothing else
# changed, the last backup holds the sample's messages, the initial backup
# is the sample byte for byte, and the file is sound.
#
# Usage: edit_cycle.sh LEXIVANE LEXIVANE_MSG SAMPLE
# Exit status: 0 passed, 1 failed, 77 skipped (no Xvfb or xdotool).
set -u

if [ $# -ne 3 ]; then
    echo "usage: $0 LEXIVANE LEXIVANE_MSG SAMPLE" >&2
    exit 1
fi
lexivane=$1
lexivane_msg=$2
sample=$3

for tool in Xvfb xdotool timeout; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed (tools/install-deps installs it)"
        exit 77
    fi
done
for file in "$lexivane" "$lexivane_msg"; do
    [ -x "$file" ] || { echo "FAIL: $file is not an executable program" >&2; exit 1; }
done
[ -f "$sample" ] || { echo "FAIL: no sample file $sample" >&2; exit 1; }
# Nothing may reach the display of whoever runs the tests.
unset DISPLAY

new_text="Edited by the end-to-end test: %s, every %d changes"
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
file=$work/interbase.msg
cp "$sample" "$file" || exit 1

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
# it accepts connections.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" >"$tmp/xvfb.out" 2>&1 &
xvfb_pid=$!
start_clock "$step_timeout"
until grep -q '^[0-9][0-9]*$' "$tmp/display" 2>/dev/null; do
    if ! kill -0 "$xvfb_pid" 2>/dev/null; then
        sed 's/^/  /' "$tmp/xvfb.out" >&2
        fail "Xvfb did not start"
    fi
    in_time || fail "Xvfb gave no display number after $step_timeout seconds"
    sleep 0.1
done
DISPLAY=:$(head -n 1 "$tmp/display")
export DISPLAY
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

step "starting $lexivane $file"
"$lexivane" "$file" </dev/null >"$tmp/program.out" 2>&1 &
program_pid=$!

# The title names the file once it is loaded into the grid.
wait_for_window '^Lexivane - .*/interbase\.msg$' "$start_timeout"
main_window=$window
echo "main window $main_window: $(xdotool getwindowname "$main_window")"
# With no window manager the keyboard follows the pointer where no window
# holds the focus (after a dialog closes): keep the pointer over the window.
xdotool mousemove --window "$main_window" 100 100 || fail "could not move the pointer"
focus_window "$main_window"

step "End, Return: edit the last message"
keys End
keys Return
wait_for_window '^Change text$' "$step_timeout"
focus_window "$window"

step "Ctrl+A, typing the new text, Return"
keys ctrl+a
require_program "typing"
xdotool type --delay 20 "$new_text" || fail "xdotool could not type"
sleep 0.2
keys Return
wait_for_window_gone '^Change text$' "$step_timeout"

step "Ctrl+S: save, Yes to the initial backup"
focus_window "$main_window"
keys ctrl+s
wait_for_window '^Confirm$' "$step_timeout"
focus_window "$window"
keys Return
wait_for_window_gone '^Confirm$' "$step_timeout"

step "Alt+X: exit"
focus_window "$main_window"
keys alt+x
start_clock "$exit_timeout"
while program_running; do
    in_time || fail "the program is still running $exit_timeout seconds after Alt+X"
    sleep 0.1
done
wait "$program_pid"
program_status=$?
program_pid=""
[ "$program_status" -eq 0 ] || fail "the program ended with status $program_status"

# --- The files ---------------------------------------------------------------

step "checking the files"
dump() {
    "$lexivane_msg" dump "$1" "$2" || fail "lexivane-msg could not dump $1"
}
dump "$sample" "$tmp/sample.dump"
dump "$file" "$tmp/edited.dump"

# The expected dump: the sample's, with the last message's text replaced.
# A record starts with its code in eight hexadecimal digits and a blank; the
# codes ascend, so the last record starts at the first line with the last
# code.
last_code=$(grep -E '^[0-9A-F]{8} ' "$tmp/sample.dump" | tail -n 1 | cut -c1-8)
[ -n "$last_code" ] || fail "no message found in the dump of the sample"
last_line=$(grep -n -m 1 "^$last_code " "$tmp/sample.dump" | cut -d: -f1)
head -n "$((last_line - 1))" "$tmp/sample.dump" >"$tmp/expected.dump"
printf '%s %s\r\n' "$last_code" "$new_text" >>"$tmp/expected.dump"
if ! cmp -s "$tmp/expected.dump" "$tmp/edited.dump"; then
    echo "Dump of the saved file against the expected one (CR shown as ^M):" >&2
    diff "$tmp/expected.dump" "$tmp/edited.dump" | cat -v | head -n 40 >&2
    fail "the saved file does not hold the sample's messages with the last one's text changed"
fi
echo "the last message ($last_code) holds the new text, every other message is the sample's"

backup=$work/interbase.~ms
[ -f "$backup" ] || fail "no last backup $backup"
dump "$backup" "$tmp/backup.dump"
if ! cmp -s "$tmp/sample.dump" "$tmp/backup.dump"; then
    diff "$tmp/sample.dump" "$tmp/backup.dump" | cat -v | head -n 40 >&2
    fail "the last backup does not hold the sample's messages"
fi
echo "the last backup holds the sample's messages"

original=$work/interbase.msg.OrigBAK
[ -f "$original" ] || fail "no initial backup $original"
cmp "$sample" "$original" >&2 || fail "the initial backup differs from the sample"
echo "the initial backup is the sample byte for byte"

"$lexivane_msg" check "$file" >"$tmp/check.out" 2>&1
check_status=$?
sed 's/^/  /' "$tmp/check.out"
[ "$check_status" -eq 0 ] || fail "lexivane-msg check found the saved file unsound (status $check_status)"

settings=$tmp/user/HKEY_CURRENT_USER.reg
grep -q 'Software\\Tessavel\\Lexivane\\1.0\\Last\]' "$settings" 2>/dev/null \
    || fail "the program kept no settings in the test's user folder $tmp/user"

echo "PASS"
exit 0
