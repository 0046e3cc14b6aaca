#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need.
# Idempotent: when everything is there it does nothing; otherwise it runs
# apt-get update once and installs what is missing.  Packages given as
# arguments are added to the list (the benchmarks ask for their peers so).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libgl-dev libglib2.0-bin dbus-x11 libicu-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-tidy
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine wine32:i386 wine64 fonts-wine
  xvfb xauth x11-utils xdotool imagemagick
  weston xwayland qt6-wayland
  fonts-noto-cjk adwaita-icon-theme
  procps util-linux
  dpkg-dev fakeroot lintian desktop-file-utils appstream zip
  "$@"
)

if [ "$(id -u)" != 0 ]; then SUDO=sudo; else SUDO=; fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then $SUDO dpkg --add-architecture i386; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
