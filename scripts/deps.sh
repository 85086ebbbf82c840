# Sourced by the other scripts: installs the Debian packages that are missing.
# Usage: install_missing PACKAGE...
install_missing() {
    local missing=()
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# What building and running the game needs.
GAME_PACKAGES=(build-essential cmake pkg-config freeglut3-dev libglew-dev libglm-dev libstb-dev libx11-dev
               libgl1-mesa-dri)
