# shellcheck shell=bash
# Sourced by the other scripts: makes sure the Debian packages a step needs
# are installed, installing them when run as root and saying exactly what to
# install otherwise.

# need_packages PACKAGE...
need_packages() {
    command -v dpkg-query >/dev/null 2>&1 || return 0  # not Debian: trust the machine
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed"; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing ${missing[*]}" >&2
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq >&2 || return 1
        apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2 || return 1
    else
        echo "Missing packages. Install them with:" >&2
        echo "  sudo apt-get install ${missing[*]}" >&2
        exit 1
    fi
}

# Build tools for the game itself.
need_build_tools() {
    need_packages cmake ninja-build g++ make
}
