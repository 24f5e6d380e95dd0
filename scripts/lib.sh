# Shared by the scripts: installs missing Debian packages and builds.
# Sourced, not run.

# Packages the build needs on a fresh Debian or Ubuntu machine.
TARVINE_BUILD_PACKAGES=(cmake make g++ qtbase5-dev qtbase5-dev-tools libqt5serialport5-dev)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# ensure_packages PKG... : installs those that are not installed yet.
ensure_packages() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# build DIR [cmake args...] : configures (once) and builds the project.
build() {
    local dir=$1
    shift
    cmake -S "$TARVINE_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}
