#pragma once

// `ordana --lookup NUMBER [--json]`: who a number belongs to, for a softphone's
// incoming-call script. Runs without a window, a display or the check for a
// running copy, and leaves no working file behind. Prints a line per match
// (kind, name, address, number, separated by tabs; with --json a JSON object
// per line) to standard output. Exit status 0 when something was found, 1 when
// nothing was, 2 on an error, whose message goes to standard error.
namespace lookup_command {

// Whether the arguments ask for a lookup rather than the window.
bool isRequested(int argc, char** argv);
// Runs the lookup and returns the exit status.
int run(int argc, char** argv);

} // namespace lookup_command
