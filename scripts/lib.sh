# Shared by the scripts: installs missing Debian packages and builds.
# Sourced, not run.

# Packages the build needs on a fresh Debian or Ubuntu machine.
# help2man makes the manual pages; the packaging tests load bash-completion
# and validate the desktop entry and the AppStream metadata.
TARVINE_BUILD_PACKAGES=(cmake make g++ qtbase5-dev qtbase5-dev-tools libqt5serialport5-dev
    qttools5-dev-tools qttools5-dev help2man bash-completion desktop-file-utils appstream)
# And for the fuzz targets: clang with libFuzzer and the sanitizer runtimes.
TARVINE_FUZZ_PACKAGES=(clang libclang-rt-14-dev)
TARVINE_FUZZ_TARGETS=(fuzz_reply fuzz_receive fuzz_config fuzz_blocks)

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

# Sanitizer settings for every run of an instrumented program: any report
# ends the run with an error; LeakSanitizer ignores only what the
# suppressions file lists (blocks Qt and system libraries allocated for
# themselves: the file explains why two frames a stack are recorded).
sanitizer_env() {
    export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:malloc_context_size=2:check_initialization_order=1"
    export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
    export LSAN_OPTIONS="suppressions=$TARVINE_ROOT/fuzz/sanitizers/lsan.supp:print_suppressions=0"
}

# build_fuzzers DIR : configures (once) with clang and builds the fuzz targets.
build_fuzzers() {
    local dir=$1
    CC=clang CXX=clang++ cmake -S "$TARVINE_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTARVINE_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
    cmake --build "$dir" -j"$(nproc)" --target "${TARVINE_FUZZ_TARGETS[@]}"
}

# run_fuzzers DIR SECONDS [libFuzzer args...] : runs each target for
# SECONDS on a working copy of its committed seed corpus (the seeds stay
# as they are); a finding is saved under DIR/findings and fails the run.
# Leaks are checked once, when a target exits (one widget serves every
# input, so whatever an input leaks is still there to find); a check after
# every input would slow the targets tenfold.
run_fuzzers() {
    local dir=$1 seconds=$2
    shift 2
    sanitizer_env
    mkdir -p "$dir/findings"
    local target name
    for target in "${TARVINE_FUZZ_TARGETS[@]}"; do
        name=${target#fuzz_}
        mkdir -p "$dir/corpus/$name"
        echo "fuzzing $name for ${seconds}s"
        QT_QPA_PLATFORM=offscreen "$dir/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
            -artifact_prefix="$dir/findings/$name-" -detect_leaks=0 "$@" \
            "$dir/corpus/$name" "$TARVINE_ROOT/fuzz/corpus/$name" 2>"$dir/$name.log" \
            || { tail -n 60 "$dir/$name.log"; echo "fuzz_$name found a fault: see $dir/findings" >&2; return 1; }
        grep -E '^#[0-9]+[[:space:]]+DONE' "$dir/$name.log" || true
    done
}

# For the Debian package (scripts/package): dpkg-shlibdeps finds its dependencies.
# lintian checks the package (scripts/check-package).
TARVINE_PACKAGE_PACKAGES=(dpkg-dev file lintian)

# --- A fresh Debian 12 (scripts/check-package, scripts/check-windows) ----------

# debian12_root ROOT : a minimal Debian 12 in ROOT, made once with debootstrap
# from Debian's mirror (a few minutes); later calls reuse it.
debian12_root() {
    local root=$1
    [ -x "$root/usr/bin/apt-get" ] && return 0
    ensure_packages debootstrap
    # Never remove a tree that still has the host's /dev bound into it.
    if grep -qF " $root/" /proc/mounts; then
        echo "$root still has mounts in it; not removing it" >&2
        return 1
    fi
    as_root rm -rf "$root"
    as_root debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian >/dev/null
}

# chroot_mount ROOT WHAT... : mounts proc or binds the host's WHAT (dev,
# dev/pts, dev/shm) into ROOT, in that order; chroot_unmount undoes them.
CHROOT_ROOT=
CHROOT_MOUNTS=()
chroot_mount() {
    local m
    CHROOT_ROOT=$1
    shift
    for m in "$@"; do
        as_root mkdir -p "$CHROOT_ROOT/$m"
        if [ "$m" = proc ]; then
            as_root mount -t proc proc "$CHROOT_ROOT/proc"
        else
            as_root mount --bind "/$m" "$CHROOT_ROOT/$m"
        fi
        CHROOT_MOUNTS+=("$CHROOT_ROOT/$m")
    done
}

# chroot_unmount : ends what still runs inside the chroot (a wine server, a
# stand-in), then unmounts in reverse order.
chroot_unmount() {
    local i p
    if [ -n "$CHROOT_ROOT" ]; then
        for p in /proc/[0-9]*; do
            [ "$(readlink "$p/root" 2>/dev/null)" = "$CHROOT_ROOT" ] && as_root kill "${p#/proc/}" 2>/dev/null || true
        done
        sleep 0.5
    fi
    for ((i = ${#CHROOT_MOUNTS[@]} - 1; i >= 0; i--)); do
        as_root umount "${CHROOT_MOUNTS[$i]}" 2>/dev/null || as_root umount -l "${CHROOT_MOUNTS[$i]}" || true
    done
    CHROOT_MOUNTS=()
}
