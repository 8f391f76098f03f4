# shellcheck shell=bash disable=SC2034  # the lists are used by the scripts that source this
# Shared set-up for the scripts: the Debian packages each one needs, installing those that are
# missing (as root, or through sudo), and configuring and building a preset.
# Sourced, not run.

cronalba_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Debian 12 packages, one list per purpose; each script installs the lists it needs.
# Building and running the program (scripts/run), and what every other script builds on.
cronalba_program_packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-serialport-dev fonts-dejavu-extra
)
# The test suite (scripts/test, scripts/sanitize): GoogleTest (its CMake files name GoogleMock
# too), a private D-Bus, the time zone one test sets, and the validators of the install check
# (packaging.install). The user namespace test calls unshare(2) itself.
cronalba_test_packages=(
    libgtest-dev libgmock-dev dbus-daemon tzdata
    desktop-file-utils appstream
)
# scripts/fuzz: clang and its libFuzzer runtime.
cronalba_fuzz_packages=(clang libclang-rt-14-dev)
# scripts/package-check: cpack's Debian package (dpkg-shlibdeps, file) and its validators.
cronalba_package_packages=(dpkg-dev file desktop-file-utils appstream)
# scripts/check-windows: the mingw-w64 cross compilers for 64 and 32 bits, wine for both (the
# 32-bit one after cronalba_add_i386), an X server of its own and socat, which plays the GPS
# receiver on a pseudo-terminal.
cronalba_windows_packages=(g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine wine64 wine32:i386 xvfb socat)
# scripts/benchmark: Google Benchmark, and an X server of its own for the start-up figures.
cronalba_benchmark_packages=(libbenchmark-dev xvfb xauth)

cronalba_install_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null; then
            sudo=(sudo)
        else
            echo "Faltan paquetes y no hay permisos para instalarlos: ${missing[*]}" >&2
            echo "Instálelos como root: apt-get install ${missing[*]}" >&2
            return 1
        fi
    fi
    echo "Instalando: ${missing[*]}"
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
        "${missing[@]}" ||
        { "${sudo[@]}" apt-get update && "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
            apt-get install -y --no-install-recommends "${missing[@]}"; }
}

# Lets apt install i386 packages (32-bit wine) beside the machine's own.
cronalba_add_i386() {
    dpkg --print-foreign-architectures | grep -qx i386 && return 0
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" dpkg --add-architecture i386 && "${sudo[@]}" apt-get update
}

# Configures and builds one preset of CMakePresets.json.
cronalba_build() {
    local preset=$1
    cmake --preset "$preset" -S "$cronalba_root" &&
        cmake --build --preset "$preset" --parallel "$(nproc 2>/dev/null || echo 2)"
}
