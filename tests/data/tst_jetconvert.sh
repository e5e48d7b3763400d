#!/usr/bin/env bash
# jetconvert as a user runs it: the result alone when its output is no
# terminal, a progress line on a terminal, the message and a non-zero exit on
# failure, and nothing left behind.
set -euo pipefail
bin=$1
lists=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

out=$("$bin" "$lists/PSC.mdb" "$work/psc.mdb" 2>"$work/err")
[[ $out =~ ^Převedeno\ do\ „$work/psc.mdb“:\ tabulek\ 1,\ řádků\ [0-9] ]] || fail "result: $out"
[[ ! -s $work/err ]] || fail "stderr without a terminal: $(cat "$work/err")"

# An existing target: the message, exit 1, the file untouched.
before=$(md5sum <"$work/psc.mdb")
if "$bin" "$lists/PSC.mdb" "$work/psc.mdb" >"$work/out" 2>"$work/err"; then fail "replaced a target"; fi
[[ ! -s $work/out ]] || fail "stdout on failure"
grep -q "již existuje" "$work/err" || fail "message: $(cat "$work/err")"
[[ $(md5sum <"$work/psc.mdb") == "$before" ]] || fail "target changed"

# A file that is no Jet database: the message naming it, nothing left.
mkdir "$work/empty"
echo "PSC;Obec" >"$work/text.mdb"
rc=0
"$bin" "$work/text.mdb" "$work/empty/x.mdb" >"$work/out" 2>"$work/err" || rc=$?
((rc == 1)) || fail "exit $rc for a text file"
grep -q "Soubor „$work/text.mdb“ není databáze Jet." "$work/err" || fail "message: $(cat "$work/err")"
[[ -z $(ls -A "$work/empty") ]] || fail "left behind: $(ls -A "$work/empty")"

# Wrong use: exit 2.
rc=0
"$bin" "$lists/PSC.mdb" >/dev/null 2>&1 || rc=$?
((rc == 2)) || fail "exit $rc without a target"

# On a terminal: a progress line redrawn in place, then the result.
if command -v script >/dev/null; then
    shown=$(script -qec "'$bin' '$lists/PSC.mdb' '$work/tty.mdb'" /dev/null)
    [[ $shown == *$'\r'"Tabulka 1/1 PSC: "* ]] || fail "no progress line: $shown"
    [[ $shown == *"Převedeno do"* ]] || fail "no result on a terminal: $shown"
fi
echo "PASS"
