#!/bin/sh
# Runs a test program on a private virtual X server under a small window
# manager, so that its windows get real frames and placement rules. The
# program starts once the window manager runs, as a desktop session's would.
# Usage: under_window_manager.sh PROGRAM [ARGS...]
set -eu
for tool in xvfb-run openbox; do
    command -v "$tool" >/dev/null 2>&1 || { echo "$tool is missing (scripts/test installs it)" >&2; exit 1; }
done
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
{
    printf '%s ' "$(printf '%s' "$1" | sed "s/'/'\\\\''/g; s/^/'/; s/\$/'/")"
    shift
    for arg in "$@"; do printf "'%s' " "$(printf '%s' "$arg" | sed "s/'/'\\\\''/g")"; done
    printf -- '-platform xcb\necho $? > "%s/status"\nopenbox --exit\n' "$work"
} > "$work/session"
echo 1 > "$work/status"
# Display numbers are tried from one that depends on the process, so that test
# runs started side by side do not race for the same free number.
xvfb-run -a -n "$((100 + $$ % 800))" -s "-screen 0 1280x1024x24 -nolisten tcp" \
    openbox --sm-disable --startup "sh $work/session" 2>&1 |
    grep -v '^Openbox-Message' || true
exit "$(cat "$work/status")"
