#!/bin/sh
# The translator's round through the real program on a virtual X display, by
# the keyboard: a translation of the sample where one message is left to
# translate and one has lost a placeholder. Ctrl+J goes to the untranslated
# one, which is translated; Ctrl+J goes on to the one with the dropped
# placeholder, which is edited and still keeps a problem: the question is
# answered Yes. Ctrl+S saves, Alt+X exits. Then the bytes on disk are checked
# with lexivane-msg: exactly those two texts changed, and lint reports the
# problem that was kept.
#
# Usage: translate_cycle.sh LEXIVANE LEXIVANE_MSG BUILDSAMPLE LISTING
# Exit status: 0 passed, 1 failed, 77 skipped (no Xvfb or xdotool).
set -u

if [ $# -ne 4 ]; then
    echo "usage: $0 LEXIVANE LEXIVANE_MSG BUILDSAMPLE LISTING" >&2
    exit 1
fi
lexivane=$1
lexivane_msg=$2
buildsample=$3
listing=$4
[ -x "$buildsample" ] || { echo "FAIL: $buildsample is not an executable program" >&2; exit 1; }
[ -f "$listing" ] || { echo "FAIL: no listing $listing" >&2; exit 1; }
. "$(dirname "$0")/e2e_lib.sh"

untranslated_code=00000006
problem_code=0000C362
first_text="desbordamiento aritmetico"
second_text="replicacion: el destino %s va con retraso"

# The original: the sample. The translation: every text with "ES: " before
# it, but the untranslated message as it is and the message whose "%d" was
# dropped.
file=$work/interbase.msg
"$buildsample" "$listing" "$file.OrigBAK" >/dev/null || fail "could not build the original"
awk -v keep="$untranslated_code" -v broken="$problem_code" 'BEGIN { FS = OFS = "\t" }
    /^[0-9A-F]+\t/ {
        if ($1 == broken) $2 = "replicacion: el destino %s esta atrasado"
        else if ($1 != keep) $2 = "ES: " $2
    }
    { print }' "$listing" >"$tmp/translation.listing"
"$buildsample" "$tmp/translation.listing" "$file" >/dev/null || fail "could not build the translation"
"$lexivane_msg" lint "$file" >"$tmp/lint-before.out" 2>&1
[ $? -eq 1 ] || fail "lint does not report the prepared problem: $(cat "$tmp/lint-before.out")"
dump "$file" "$tmp/before.dump"

start_program "$file"
wait_for_main_window 'interbase\.msg'

step "Ctrl+J: the untranslated message; Return, Ctrl+A, its translation, Return"
keys ctrl+j
keys Return
wait_for_window '^Change text$' "$step_timeout"
focus_window "$window"
keys ctrl+a
require_program "typing"
xdotool type --delay 20 "$first_text" || fail "xdotool could not type"
sleep 0.2
keys Return
wait_for_window_gone '^Change text$' "$step_timeout"

step "Ctrl+J: the dropped placeholder; Return, a text still without it, Return"
focus_window "$main_window"
keys ctrl+j
keys Return
wait_for_window '^Change text$' "$step_timeout"
edit_window=$window
focus_window "$edit_window"
keys ctrl+a
require_program "typing"
xdotool type --delay 20 "$second_text" || fail "xdotool could not type"
sleep 0.2
keys Return

step "the question about the placeholders: Yes"
wait_for_window '^Confirm$' "$step_timeout"
focus_window "$window"
keys y
wait_for_window_gone '^Confirm$' "$step_timeout"
wait_for_window_gone '^Change text$' "$step_timeout"

step "Ctrl+S: save (the initial backup is there: no question)"
focus_window "$main_window"
keys ctrl+s
sleep 0.5
step "Alt+X: exit"
focus_window "$main_window"
keys alt+x
wait_for_exit

step "checking the files"
dump "$file" "$tmp/after.dump"
# The expected dump: the two messages' texts replaced (one line each).
sed -e "s/^$untranslated_code .*\$/$untranslated_code $first_text\r/" \
    -e "s/^$problem_code .*\$/$problem_code $second_text\r/" "$tmp/before.dump" >"$tmp/expected.dump"
if ! cmp -s "$tmp/expected.dump" "$tmp/after.dump"; then
    diff "$tmp/expected.dump" "$tmp/after.dump" | cat -v | head -n 40 >&2
    fail "the saved file does not hold the translation with exactly the two texts changed"
fi
echo "the two messages hold their new texts, every other message is as it was"

"$lexivane_msg" lint "$file" >"$tmp/lint.out" 2>&1
lint_status=$?
sed 's/^/  /' "$tmp/lint.out"
[ "$lint_status" -eq 1 ] || fail "lint ended with status $lint_status, not 1"
grep -qx "$problem_code: Placeholders %s %d became %s" "$tmp/lint.out" || fail "lint does not name the kept problem"
grep -qx "messages: 205, translated: 205, untranslated: 0, placeholder problems: 1, needs review: 0" "$tmp/lint.out" \
    || fail "lint's counts are not those of the translation"

echo "PASS"
exit 0
