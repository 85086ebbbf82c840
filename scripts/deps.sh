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
GAME_PACKAGES=(build-essential cmake pkg-config freeglut3-dev libglew-dev libglm-dev libstb-dev libx11-dev libxft-dev
               libgl1-mesa-dri)
# The Linux message box finds the monitors through RandR.
GAME_PACKAGES+=(libxrandr-dev)

# What building the Windows executable and playing it under Wine needs: the cross compiler,
# apt's source client with dpkg-dev to unpack Debian's freeglut and GLEW sources, and Wine.
WINDOWS_PACKAGES=(mingw-w64 dpkg-dev wine wine64 debian-archive-keyring)

# What building the web page and playing it in a browser here needs: Emscripten (with Debian's
# glm and stb headers) and Chromium.
WEB_PACKAGES=(cmake emscripten libglm-dev libstb-dev chromium)

# The other two engines the web tests play the page in, from Debian: Firefox ESR, and WebKitGTK's
# MiniBrowser (in libwebkit2gtk-4.1-0) with its WebDriver.
WEB_TEST_BROWSERS=(firefox-esr webkit2gtk-driver libwebkit2gtk-4.1-0)
