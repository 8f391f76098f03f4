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
# scripts/check-windows: the mingw-w64 cross compilers for 64 and 32 bits, 64-bit wine, an X
# server of its own and socat, which plays the GPS receiver on a pseudo-terminal; 32-bit wine too
# (cronalba_windows_32bit_packages, after cronalba_add_i386) where cronalba_runs_32bit says yes.
cronalba_windows_packages=(g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine wine64 xvfb socat)
cronalba_windows_32bit_packages=(wine32:i386)
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

# Whether this machine runs 32-bit x86 programs: some kernels don't (some virtual machines,
# WSL 1), and there 32-bit wine breaks the 64-bit one too. Asked of a 96-byte static i386
# program that only exits with status 32, so nothing needs installing first.
# CRONALBA_NO_32BIT=1 answers no, so that this path can be tried on any machine.
cronalba_runs_32bit() {
    [ "${CRONALBA_NO_32BIT:-}" != 1 ] || return 1
    local dir status=0
    # Beside the scripts, which run from there: a temporary folder may forbid running programs.
    mkdir -p "$cronalba_root/build" && dir=$(mktemp -d "$cronalba_root/build/runs-32bit.XXXXXX") ||
        return 1
    # The ELF header, one loadable segment, then: mov eax, 1; mov ebx, 32; int 0x80 (exit(32)).
    local program='\x7fELF\x01\x01\x01\0\0\0\0\0\0\0\0\0\x02\0\x03\0\x01\0\0\0\x54\x80\x04\x08'
    program+='\x34\0\0\0\0\0\0\0\0\0\0\0\x34\0\x20\0\x01\0\0\0\0\0\0\0'
    program+='\x01\0\0\0\0\0\0\0\0\x80\x04\x08\0\x80\x04\x08\x60\0\0\0\x60\0\0\0\x05\0\0\0\0\x10\0\0'
    program+='\xb8\x01\0\0\0\xbb\x20\0\0\0\xcd\x80'
    # shellcheck disable=SC2059 # the escapes are the program
    printf "$program" >"$dir/exit32"
    chmod +x "$dir/exit32"
    "$dir/exit32" 2>/dev/null || status=$?
    rm -rf "$dir"
    [ "$status" -eq 32 ]
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
