# Shared by scripts/run and scripts/test; source it, do not run it.
# shellcheck shell=bash

ORDANA_ROOT="$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/.." && pwd -P)"
ORDANA_BUILD="$ORDANA_ROOT/build"

# Debian 12 packages needed to build, test and run the program.
ORDANA_PACKAGES=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-qpa-plugins qt6-translations-l10n
    libsqlite3-dev libicu-dev libfontconfig-dev libbenchmark-dev mdbtools-dev
    xvfb xauth openbox fonts-dejavu-core fonts-liberation2 xdg-utils
    clang-format-14
)

say() {
    printf '%s: %s\n' "$(basename "$0")" "$*" >&2
}

# Run a command as root: directly when we are root, through sudo otherwise.
as_root() {
    if [[ $EUID -eq 0 ]]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        say "need root to run '$*', but this is not root and sudo is not available"
        return 1
    fi
}

# Install whichever of the packages named (all of ORDANA_PACKAGES when none
# is) is missing; touch apt only when something is.
ensure_packages() {
    local missing=() pkg status wanted=("$@")
    ((${#wanted[@]} > 0)) || wanted=("${ORDANA_PACKAGES[@]}")
    for pkg in "${wanted[@]}"; do
        status="$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)"
        if [[ $status != *" ok installed"* ]]; then
            missing+=("$pkg")
        fi
    done
    if ((${#missing[@]} == 0)); then
        return 0
    fi

    say "installing missing packages: ${missing[*]}"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}

# Configure once into build/ (the generated build files re-run CMake by
# themselves when a CMakeLists.txt changes), then build the targets named, or
# everything (tests and benchmarks too) when none is.
configure_and_build() {
    if [[ ! -f $ORDANA_BUILD/CMakeCache.txt || ! -f $ORDANA_BUILD/build.ninja ]]; then
        cmake -S "$ORDANA_ROOT" -B "$ORDANA_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    fi
    if (($# > 0)); then
        cmake --build "$ORDANA_BUILD" --target "$@"
    else
        cmake --build "$ORDANA_BUILD"
    fi
}
