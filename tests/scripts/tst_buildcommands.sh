#!/usr/bin/env bash
# What the set-up commands build: scripts/run only the program (and the demo
# data when it is missing), scripts/test everything. Each runs from a copy of
# the scripts over a pretend build folder, with cmake, ctest and the program
# replaced by stand-ins that write down how they were called.
# Usage: tst_buildcommands.sh SOURCE_DIR
set -euo pipefail
source_dir="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

# A stand-in on PATH that appends its name and arguments to the log.
stand_in() {
    printf '#!/bin/sh\necho "%s $*" >> "%s/log"\n' "$1" "$work" > "$work/path/$1"
    chmod +x "$work/path/$1"
}

# check NAME SCRIPT DEMO_DATA(yes|no) EXPECTED_LOG: runs the script on a fresh
# copy and compares the calls made with those expected.
check() {
    local name="$1" script="$2" demo="$3" expected="$4" tree="$work/tree"
    rm -rf "$tree" "$work/path" "$work/log"
    mkdir -p "$tree/scripts" "$tree/build/bin/DATA" "$work/path"
    cp "$source_dir/scripts/lib.sh" "$source_dir/scripts/$script" "$tree/scripts/"
    touch "$tree/build/CMakeCache.txt" "$tree/build/build.ninja" "$work/log"
    [[ $demo == yes ]] && touch "$tree/build/bin/DATA/ordat.mdb"
    printf '#!/bin/sh\necho "ordana $*" >> "%s/log"\n' "$work" > "$tree/build/bin/ordana"
    chmod +x "$tree/build/bin/ordana"
    stand_in cmake
    stand_in ctest
    # Every package counts as installed.
    printf '#!/bin/sh\necho "install ok installed"\n' > "$work/path/dpkg-query"
    chmod +x "$work/path/dpkg-query"

    if ! (cd "$tree" && PATH="$work/path:$PATH" DISPLAY=:0 "scripts/$script" --given) 2> "$work/err"; then
        echo "FAIL $name: scripts/$script failed: $(cat "$work/err")"
        failures=$((failures + 1))
        return
    fi
    local actual
    actual="$(sed "s|$tree|TREE|g" "$work/log")"
    if [[ $actual == "$expected" ]]; then
        echo "PASS $name"
    else
        printf 'FAIL %s\n  expected:\n%s\n  actual:\n%s\n' "$name" "$expected" "$actual"
        failures=$((failures + 1))
    fi
}

check "run builds only the program" run yes \
    "cmake --build TREE/build --target ordana
ordana --given"
check "run makes the demo data when it is missing" run no \
    "cmake --build TREE/build --target ordana
cmake --build TREE/build --target demo-data
ordana --given"
check "test builds everything" test yes \
    "cmake --build TREE/build
ctest --test-dir TREE/build --output-on-failure --no-tests=error --given"

exit $((failures > 0))
