# Shared set-up of scripts/run and scripts/test: installs the Debian packages the build needs
# (apt-get, through sudo when not root) and configures + builds one configuration.
# Sourced, not run.

TESSOR_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Every package the build, the tests, the screenshots and the Debian package use.
TESSOR_PACKAGES=(
    g++ cmake make pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-tools-dev qt6-tools-dev-tools
    libqt6uitools6 libqt6opengl6-dev libgl-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    xvfb xauth x11-apps
    dpkg-dev desktop-file-utils appstream shared-mime-info xdg-utils libfile-mimeinfo-perl
    hicolor-icon-theme poppler-utils fonts-dejavu-core fonts-droid-fallback
)

tessor_install_packages() {
    local missing=()
    local pkg
    for pkg in "${TESSOR_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# tessor_build DIR [cmake options...]: configures DIR when needed and builds it.
tessor_build() {
    local dir="$1"
    shift
    local jobs
    jobs="$(nproc 2>/dev/null || echo 2)"
    # Configuring every time is cheap and picks up subsystem folders added since the last build.
    cmake -S "$TESSOR_ROOT" -B "$dir" "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
}
