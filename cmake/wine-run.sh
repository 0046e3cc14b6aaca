#!/bin/sh
# Runs one Windows test exe under Wine for ctest.  Its output goes to a file
# and is shown when the exe has ended: Wine's helper processes (the desktop,
# services started on demand) inherit the exe's output, and ctest would wait
# for them to close a pipe long after the test itself is done.
log=$(mktemp "${TMPDIR:-/tmp}/kelvar-wine.XXXXXX")
# The loader comes from scripts/windows.sh, which knows which one runs here.
"${KELVAR_WINE:-wine}" "$@" >"$log" 2>&1
rc=$?
cat "$log"
rm -f "$log"
exit $rc
