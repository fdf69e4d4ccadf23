#!/bin/sh
# Exchange with a CAT tool through the real program on a virtual X display,
# by the keyboard: File > Export translation... writes a PO file, a script
# translates one message in it as a translation tool would, File > Import
# translation... reads it back, Ctrl+S saves, Alt+X exits. Then the bytes on
# disk are checked with lexivane-msg: that message holds its translation and
# nothing else changed; msgfmt -c accepts the exported file.
#
# Usage: exchange_cycle.sh LEXIVANE LEXIVANE_MSG SAMPLE
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
. "$(dirname "$0")/e2e_lib.sh"
command -v msgfmt >/dev/null 2>&1 || fail "msgfmt is not installed (tools/install-deps installs gettext)"

code=00000007
translation="conflicto de bloqueo en una transaccion sin espera"

# The file and its initial backup: the sample, nothing translated yet.
file=$work/interbase.msg
cp "$sample" "$file" || exit 1
cp "$sample" "$file.OrigBAK" || exit 1
po=$work/interbase.po
dump "$file" "$tmp/before.dump"

start_program "$file"
wait_for_main_window 'interbase\.msg'

step "File > Export translation...: $po"
keys alt+f
keys e
wait_for_window '^Export the translation$' "$step_timeout"
focus_window "$window"
require_program "typing"
xdotool type --delay 10 "$po" || fail "xdotool could not type"
sleep 0.2
keys Return
wait_for_window_gone '^Export the translation$' "$step_timeout"
wait_for_file "$po" "$step_timeout"
msgfmt -c -o /dev/null "$po" 2>"$tmp/msgfmt.out" || fail "msgfmt -c refuses the exported file: $(cat "$tmp/msgfmt.out")"

step "a translation tool translates message $code in the PO file"
awk -v context="msgctxt \"$code\"" -v text="$translation" '
    $0 == context { found = 1 }
    found && /^msgstr ""$/ { print "msgstr \"" text "\""; found = 0; next }
    { print }' "$po" >"$tmp/translated.po" && mv "$tmp/translated.po" "$po" || fail "could not change the PO file"
grep -q "^msgstr \"$translation\"$" "$po" || fail "the script did not translate message $code"

step "File > Import translation...: $po, then OK to the report"
focus_window "$main_window"
keys alt+f
keys i
wait_for_window '^Import a translation$' "$step_timeout"
focus_window "$window"
require_program "typing"
xdotool type --delay 10 "$po" || fail "xdotool could not type"
sleep 0.2
keys Return
wait_for_window_gone '^Import a translation$' "$step_timeout"
wait_for_window '^Information$' "$step_timeout"
focus_window "$window"
keys Return
wait_for_window_gone '^Information$' "$step_timeout"

step "Ctrl+S: save (the initial backup is there: no question); Alt+X: exit"
focus_window "$main_window"
keys ctrl+s
sleep 0.5
focus_window "$main_window"
keys alt+x
wait_for_exit

step "checking the files"
dump "$file" "$tmp/after.dump"
sed -e "s/^$code .*\$/$code $translation\r/" "$tmp/before.dump" >"$tmp/expected.dump"
if ! cmp -s "$tmp/expected.dump" "$tmp/after.dump"; then
    diff "$tmp/expected.dump" "$tmp/after.dump" | cat -v | head -n 40 >&2
    fail "the saved file does not hold the sample with message $code translated"
fi
echo "message $code holds its translation, every other message is the sample's"
"$lexivane_msg" lint "$file" >"$tmp/lint.out" 2>&1
grep -q "translated: 1, untranslated: 204" "$tmp/lint.out" || fail "lint does not count one translation: $(cat "$tmp/lint.out")"

echo "PASS"
exit 0
