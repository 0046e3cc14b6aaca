#!/usr/bin/env bash
# The Wine probe's answers: a loader the kernel refuses (a real ENOEXEC, as
# on a kernel without 32-bit support), one that starts (Wine's own 64-bit
# loader where it is installed), one that is missing, and a probe exe that
# runs or does not.  The simulation switch used to show `make test` on a
# machine that cannot run 32-bit programs gives the refused answer.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/wine-probe.sh"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0

expect() {  # NAME WANT GOT
  if [ "$2" = "$3" ]; then echo "ok: $1"; else echo "FAIL: $1: want [$2], got [$3]"; failures=$((failures + 1)); fi
}

fake() {  # FILE BODY: a loader that is a shell script
  printf '#!/bin/sh\n%s\n' "$2" >"$1"
  chmod +x "$1"
}

probe_refused_loader "$tmp/refused"
expect "refused loader" \
  "this machine cannot run 32-bit programs (the kernel refuses 32-bit executables) 1" \
  "$(KELVAR_WINE_LOADER_I686=$tmp/refused probe_loader i686) $?"

if [ -x /usr/lib/wine/wine64 ]; then starts=/usr/lib/wine/wine64; else
  starts=$tmp/starts
  fake "$starts" 'echo wine-8.0'
fi
expect "loader that starts ($starts)" " 0" "$(KELVAR_WINE_LOADER_X86_64=$starts probe_loader x86_64) $?"

expect "missing loader" \
  "Wine's 64-bit loader $tmp/none is not installed (scripts/setup.sh installs it) 1" \
  "$(KELVAR_WINE_LOADER_X86_64=$tmp/none probe_loader x86_64) $?"

fake "$tmp/failing" 'echo "wine: could not load kernel32.dll" >&2; exit 1'
expect "loader that fails" "Wine's 32-bit loader failed (exit 1): wine: could not load kernel32.dll 1" \
  "$(KELVAR_WINE_LOADER_I686=$tmp/failing probe_loader i686) $?"

fake "$tmp/runs" 'echo "kelvar wine probe: ran"'
expect "probe exe that runs" " 0" "$(KELVAR_WINE_LOADER_I686=$tmp/runs probe_exe i686 x.exe "$tmp/a.log" 5) $?"
expect "probe exe that does not run" \
  "a tiny test exe of the i686 build did not run under Wine (exit 1; log: $tmp/b.log) 1" \
  "$(KELVAR_WINE_LOADER_I686=$tmp/failing probe_exe i686 x.exe "$tmp/b.log" 5) $?"
fake "$tmp/hangs" 'exec sleep 30'
expect "probe exe that hangs" \
  "a tiny test exe of the i686 build did not finish within 1 s under Wine (log: $tmp/c.log) 1" \
  "$(KELVAR_WINE_LOADER_I686=$tmp/hangs probe_exe i686 x.exe "$tmp/c.log" 1) $?"

simulated=$(
  KELVAR_SIMULATE_NO_32BIT=1 probe_apply_simulation "$tmp/sim" >/dev/null
  probe_loader i686
)
expect "simulated machine without 32-bit support" \
  "this machine cannot run 32-bit programs (the kernel refuses 32-bit executables)" "$simulated"

echo "wine probe: $failures failed"
[ "$failures" = 0 ]
