# Shared set-up for scripts/run and scripts/test: installs the Debian packages that
# are missing (as root, or through sudo), then configures and builds a preset.
# Sourced, not run.

cronalba_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Debian 12 packages to build and run the program.
cronalba_program_packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-serialport-dev fonts-dejavu-extra
)
# ... and everything the tests and checks use besides.
cronalba_packages=(
    "${cronalba_program_packages[@]}"
    libgtest-dev libgmock-dev libbenchmark-dev
    dbus-daemon util-linux tzdata
    clang libclang-rt-14-dev g++-mingw-w64-x86-64
    dpkg-dev file desktop-file-utils appstream
)

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

# Configures and builds one preset of CMakePresets.json.
cronalba_build() {
    local preset=$1
    cmake --preset "$preset" -S "$cronalba_root" &&
        cmake --build --preset "$preset" --parallel "$(nproc 2>/dev/null || echo 2)"
}
