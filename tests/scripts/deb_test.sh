#!/usr/bin/env bash
# The .deb as a packager checks it, without installing it: unpacked with
# dpkg-deb -x into a throw-away root, it holds the program, the link in
# /usr/bin, the remark file beside the program, the desktop entry, the icons
# and the AppStream metadata; desktop-file-validate, appstreamcli and lintian
# (errors) accept it; and the unpacked program, run once, lists its own row
# and a remark it can only have taken from the packaged remark file.
#   tests/scripts/deb_test.sh [dist/kelvarpm_<version>_<arch>.deb]
# A checker this machine lacks is skipped with a line that says so.
set -euo pipefail
cd "$(dirname "$0")/../.."
deb=${1:-$(ls dist/kelvarpm_*.deb 2>/dev/null | head -n 1)}
if [ -z "$deb" ] || [ ! -f "$deb" ]; then
  echo "deb test: skipped: no dist/kelvarpm_*.deb (scripts/package.sh deb makes it, or says why it did not)"
  exit 0
fi

root=$(mktemp -d)
sleeper=
cleanup() {
  [ -z "$sleeper" ] || kill "$sleeper" 2>/dev/null || true
  rm -rf "$root"
}
trap cleanup EXIT
fail() { echo "deb test: FAILED: $*" >&2; exit 1; }

dpkg-deb -x "$deb" "$root"
app=$root/usr/libexec/kelvarpm
for f in usr/bin/kelvarpm usr/libexec/kelvarpm/kelvarpm usr/libexec/kelvarpm/Comment/system.ini \
         usr/share/applications/kelvarpm.desktop usr/share/icons/hicolor/scalable/apps/kelvarpm.svg \
         usr/share/icons/hicolor/16x16/apps/kelvarpm.png usr/share/icons/hicolor/32x32/apps/kelvarpm.png \
         usr/share/icons/hicolor/48x48/apps/kelvarpm.png usr/share/doc/kelvarpm/copyright; do
  [ -e "$root/$f" ] || fail "$f is missing from $deb"
done
[ "$(readlink "$root/usr/bin/kelvarpm")" = ../libexec/kelvarpm/kelvarpm ] ||
  fail "/usr/bin/kelvarpm is not the relative link ../libexec/kelvarpm/kelvarpm"
metainfo=$(ls "$root"/usr/share/metainfo/*.metainfo.xml 2>/dev/null | head -n 1)
[ -n "$metainfo" ] || fail "no AppStream metainfo in /usr/share/metainfo"
grep -q 'xml:lang="zh-CN"' "$metainfo" || fail "the metainfo has no Chinese (zh-CN) text"
grep -q '<screenshot' "$metainfo" || fail "the metainfo names no screenshot"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/usr/share/applications/kelvarpm.desktop" || fail "desktop-file-validate"
  echo "deb test: desktop-file-validate: passed"
else
  echo "deb test: desktop-file-validate skipped: desktop-file-utils is not installed (make setup installs it)"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --pedantic "$metainfo" || fail "appstreamcli validate"
else
  echo "deb test: appstreamcli skipped: appstream is not installed (make setup installs it)"
fi
if command -v lintian >/dev/null; then
  report=$(lintian --allow-root "$deb" 2>&1 || true)
  [ -z "$report" ] || echo "$report" | sed 's/^/  lintian: /'
  ! grep -q '^E: ' <<<"$report" || fail "lintian reports errors"
  echo "deb test: lintian: no errors"
else
  echo "deb test: lintian skipped: lintian is not installed (make setup installs it)"
fi

# A process whose remark the packaged file gives: /usr/bin/sleep, [sysdir] sleep.
/usr/bin/sleep 300 &
sleeper=$!
mkdir -m 0700 "$root/run"
out=$(QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$root/run DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/kelvar-no-bus \
      "$root/usr/bin/kelvarpm" --print-once) || fail "the unpacked kelvarpm --print-once failed"
own=$(awk -v path="$app/kelvarpm" '$1 == "kelvarpm" && index($0, path) { print; exit }' <<<"$out")
[ -n "$own" ] || fail "no row of the program itself (kelvarpm at $app/kelvarpm) in:
$out"
echo "deb test: own row: $own"
row=$(awk -v pid="$sleeper" '$1 == "sleep" && $2 == pid { print; exit }' <<<"$out")
[ -n "$row" ] || fail "no row for sleep (PID $sleeper) in:
$out"
for want in "系统" "一般" "/usr/bin/sleep" "按指定时间暂停的小工具（coreutils）"; do
  [[ $row == *"$want"* ]] || fail "the sleep row lacks \"$want\": $row"
done
echo "deb test: remark from the packaged file: $row"
echo "deb test: passed ($deb)"
