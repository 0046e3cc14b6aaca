#!/usr/bin/env bash
# The packages, in dist/:
#   scripts/package.sh       the .deb of the Linux program and one zip per
#                            Windows build (KelvarPM-<version>-win32.zip and
#                            -win64.zip)
#   scripts/package.sh deb   the .deb alone (make test uses it)
# The .deb is made by CPack from the Linux build in build/ (BUILD=... for
# another folder), built first if needed; the zips from dist/<arch>/, which
# scripts/windows.sh fills.  The version is the project's VERSION in
# CMakeLists.txt.  A package whose tools this machine lacks is skipped with a
# line that says which tool (make setup installs them).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))
what=${1:-all}
version=$(sed -n 's/^project(KelvarPM VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

missing_tools() {
  local t out=()
  for t in "$@"; do command -v "$t" >/dev/null || out+=("$t"); done
  echo "${out[*]}"
}

deb() {
  local lack
  lack=$(missing_tools cmake cpack ninja dpkg-deb dpkg-shlibdeps fakeroot)
  if [ -n "$lack" ]; then
    echo "package: .deb skipped: $lack missing here (make setup installs it)"
    return 0
  fi
  [ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" -j "$jobs"
  local out=$PWD/$build/packaging/deb
  rm -rf "$out" && mkdir -p "$out" dist
  (cd "$build" && cpack -G DEB -B "$out" >"$out.log" 2>&1) || {
    echo "package: cpack failed; read $out.log" >&2
    tail -n 20 "$out.log" >&2
    return 1
  }
  rm -f dist/kelvarpm_*.deb
  cp "$out"/kelvarpm_*.deb dist/
  ls dist/kelvarpm_*.deb
}

# One zip per Windows build: the exe, Comment\system.ini (code page 936) and
# a short readme in Chinese (UTF-8 with a byte-order mark and CRLF lines, as
# Notepad of Windows 7 reads it).
zips() {
  local lack
  lack=$(missing_tools zip i686-w64-mingw32-g++-posix x86_64-w64-mingw32-g++-posix)
  if [ -n "$lack" ]; then
    echo "package: Windows zips skipped: $lack missing here (make setup installs it)"
    return 0
  fi
  bash scripts/windows.sh
  local arch name bits stage note
  for arch in i686 x86_64; do
    if [ "$arch" = i686 ]; then
      name=win32 bits=32
      note="32 位版本也能在 64 位 Windows 上运行，并列出 64 位进程。"
    else
      name=win64 bits=64
      note="64 位版本只能在 64 位 Windows 上运行。"
    fi
    stage=build-package/$name
    rm -rf "$stage" && mkdir -p "$stage/Comment"
    cp "dist/$arch/KelvarPM.exe" "$stage/"
    cp "dist/$arch/Comment/system.ini" "$stage/Comment/"
    { printf '\xef\xbb\xbf'
      sed -e "s/@VERSION@/$version/" -e "s/@BUILD@/${bits} 位/" -e "s/@NOTE@/$note/" -e 's/$/\r/' \
        resources/win32/readme.txt.in; } >"$stage/readme.txt"
    local zipfile=$PWD/dist/KelvarPM-$version-$name.zip
    rm -f "$zipfile"
    (cd "$stage" && zip -q -X -r "$zipfile" KelvarPM.exe Comment readme.txt)
    echo "dist/KelvarPM-$version-$name.zip"
  done
}

case "$what" in
  all) deb; zips ;;
  deb) deb ;;
  *) echo "usage: $0 [deb]" >&2; exit 2 ;;
esac
