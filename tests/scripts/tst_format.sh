#!/usr/bin/env bash
# scripts/format over a small tree: --check lists the C++ files of the five
# source folders that differ from .clang-format and fails, without changing
# them; without options it rewrites exactly those; afterwards --check passes.
# Files elsewhere (the build folder) are left alone.
# Usage: tst_format.sh SOURCE_DIR
set -euo pipefail
source_dir="$1"
if ! command -v clang-format-14 >/dev/null 2>&1; then
    echo "SKIP: clang-format-14 is not installed"
    exit 77
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL $*"
    failures=$((failures + 1))
}

tree="$work/tree"
mkdir -p "$tree/scripts" "$tree/src/a" "$tree/tests" "$tree/bench" "$tree/build" "$work/path"
cp "$source_dir/scripts/lib.sh" "$source_dir/scripts/format" "$source_dir/.clang-format" "$tree/"
mv "$tree/lib.sh" "$tree/format" "$tree/scripts/"
# Every package counts as installed.
printf '#!/bin/sh\necho "install ok installed"\n' > "$work/path/dpkg-query"
chmod +x "$work/path/dpkg-query"

good=$'int f(int* p) {\n    return *p;\n}\n'
bad=$'int  f( int *p ){ return *p; }\n'
printf '%s' "$good" > "$tree/src/a/good.cpp"
printf '%s' "$bad" > "$tree/src/a/bad.cpp"
printf '%s' "$bad" > "$tree/tests/bad.h"
printf '%s' "$bad" > "$tree/bench/notcpp.txt"
printf '%s' "$bad" > "$tree/build/moc.cpp"

run() { (cd "$tree" && PATH="$work/path:$PATH" scripts/format "$@"); }

if listed="$(run --check 2>/dev/null)"; then
    fail "--check passed over files that differ"
fi
expected=$'src/a/bad.cpp\ntests/bad.h'
[[ $listed == "$expected" ]] || fail "--check listed '$listed', expected '$expected'"
[[ $(cat "$tree/src/a/bad.cpp") == "${bad%$'\n'}" ]] || fail "--check changed a file"

run || fail "rewriting failed"
[[ $(cat "$tree/src/a/bad.cpp") == "${good%$'\n'}" ]] || fail "src/a/bad.cpp not rewritten: $(cat "$tree/src/a/bad.cpp")"
[[ $(cat "$tree/tests/bad.h") == "${good%$'\n'}" ]] || fail "tests/bad.h not rewritten"
[[ $(cat "$tree/build/moc.cpp") == "${bad%$'\n'}" ]] || fail "a file of the build folder was rewritten"
[[ $(cat "$tree/bench/notcpp.txt") == "${bad%$'\n'}" ]] || fail "a file that is no C++ source was rewritten"
listed="$(run --check 2>/dev/null)" || fail "--check failed after rewriting: $listed"

# Named files: only those are looked at.
printf '%s' "$bad" > "$tree/src/a/bad.cpp"
printf '%s' "$bad" > "$tree/tests/bad.h"
run tests/bad.h || fail "rewriting a named file failed"
[[ $(cat "$tree/src/a/bad.cpp") == "${bad%$'\n'}" ]] || fail "a file not named was rewritten"
[[ $(cat "$tree/tests/bad.h") == "${good%$'\n'}" ]] || fail "the named file was not rewritten"

if ((failures > 0)); then
    exit 1
fi
echo "PASS"
