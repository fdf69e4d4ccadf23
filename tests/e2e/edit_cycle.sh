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

[ -f "$sample" ] || { echo "FAIL: no sample file $sample" >&2; exit 1; }
new_text="Edited by the end-to-end test: %s, every %d changes"
. "$(dirname "$0")/e2e_lib.sh"

file=$work/interbase.msg
cp "$sample" "$file" || exit 1
start_program "$file"

wait_for_main_window 'interbase\.msg'

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
wait_for_exit

# --- The files ---------------------------------------------------------------

step "checking the files"
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
