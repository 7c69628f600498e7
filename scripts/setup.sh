# Shared set-up of scripts/run and scripts/test: installs the Debian packages the build needs
# (apt-get, through sudo when not root) and configures + builds one configuration.
# Sourced, not run.

TESSOR_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Every package the build, the tests, the benchmarks, the screenshots and the Debian package use:
# scripts/screenshots runs under xvfb-run (xvfb, xauth); a window is driven with xdotool and
# grabbed with ImageMagick's import. scripts/check-packages (run by .ci/run) fails when a build
# uses a package this list neither names nor pulls in through Depends.
TESSOR_PACKAGES=(
    g++ cmake make pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-svg-dev qt6-tools-dev qt6-tools-dev-tools
    libqt6uitools6 libqt6opengl6-dev libgl-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    xvfb xauth x11-apps xdotool imagemagick
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
        # A fresh Debian has no sudo when the installer was given a root password.
        if ! command -v sudo >/dev/null 2>&1; then
            echo "sudo is not installed; as root, run:" >&2
            echo "  apt-get update && apt-get install --no-install-recommends ${missing[*]}" >&2
            return 1
        fi
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
