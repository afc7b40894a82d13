# Shared by scripts/run and scripts/test: install what is missing, then configure and build.
# Sourced, not run; expects ROOT to be the project folder.

# What building and running the program needs; doctest (one header) because the build tree
# configures its tests too.
RUN_PACKAGES=(
    cmake g++ ninja-build pkg-config libxcb1-dev libwayland-dev qt6-base-dev
    qt6-qpa-plugins zlib1g-dev fonts-comic-neue fonts-liberation2 culmus doctest-dev
)
# What the test suite needs besides.
TEST_PACKAGES=(
    clang-format clang-tidy valgrind
    xvfb xauth python3-xlib openbox kwin-x11 kwin-style-breeze
    weston xwayland kwin-wayland qt6-wayland libwayland-server0
    dbus-daemon at-spi2-core libglib2.0-bin python3-gi gir1.2-atspi-2.0
    desktop-file-utils appstream lintian dpkg-dev python3-pil binutils-mingw-w64-x86-64
)
# What cross-building the Windows program and its installer, and testing them under Wine, needs.
# make_icon is built for the building machine (g++, zlib); wixl writes the installer and msitools'
# msibuild adds its dialogs; Wine runs in Xvfb; the static checks of the Windows sources use
# clang-tidy; the executable checks are in Python, as the icon checks; the installer's dialogs
# are answered by keys sent through X (xdotool). Wine draws the title bar's buttons in its own
# Marlett font (fonts-wine).
WINDOWS_PACKAGES=(
    cmake ninja-build g++ zlib1g-dev g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wixl
    doctest-dev msitools wine64 fonts-wine xvfb xauth xdotool clang-tidy python3 python3-pil
)
# What building the web page needs: emscripten with Node.js, which runs its tests too, the host's
# compiler for the icon tool, woff2 and the fonts it compresses, doctest; and what testing it
# needs: headless Chromium driven through Selenium.
WEB_PACKAGES=(
    cmake ninja-build g++ zlib1g-dev emscripten nodejs woff2
    fonts-comic-neue culmus fonts-liberation2 doctest-dev
)
WEB_TEST_PACKAGES=(chromium chromium-driver python3-selenium python3-pil clang-tidy)
PACKAGES=("${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}")

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# build DIR [cmake options...]
build() {
    local dir=$1
    shift
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    fi
    cmake --build "$dir" --parallel "$(nproc)"
}
