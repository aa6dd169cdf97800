#!/usr/bin/env bash
# The widget-free core (src/device, src/transfer, src/counter) lies beneath
# every front end and is built without Qt, the 32-bit Windows build included:
# it includes no Qt header and nothing of the window (src/app), the command
# line (src/cli) or the library host (src/libhost). The front ends stand side
# by side on the core: none includes another's files, and only the window
# includes Qt. Fails, naming each offending line, when one of them does.
set -euo pipefail
cd "$(dirname "$0")/.."

for folder in src/device src/transfer src/counter src/app src/cli src/libhost; do
  [ -d "$folder" ] || { echo "layer check: $folder is missing" >&2; exit 1; }
done

# <QString>, <QtCore/...>, <qglobal.h>.
qt='<(Q|qt)[^>]*>'
# "app/...", "src/cli/...", "../libhost/...".
includes_of() { echo '"(\.\./)*(src/)?('"$1"')/[^"]*"'; }

failed=false
# check <what> <pattern> <folder>...: no line of the folders includes pattern.
check() {
  local what=$1 pattern=$2 found status=0
  shift 2
  found=$(grep -rnE --include='*.h' --include='*.cpp' --include='*.c' \
            "^[[:space:]]*#[[:space:]]*include[[:space:]]*($pattern)" "$@") || status=$?
  if [ "$status" -gt 1 ]; then
    echo "layer check: grep failed" >&2
    exit 1
  fi
  if [ -n "$found" ]; then
    echo "layer check FAILED: $what:" >&2
    echo "$found" >&2
    failed=true
  fi
}
check "the core includes Qt or a front end's header" "$qt|$(includes_of 'app|cli|libhost')" \
  src/device src/transfer src/counter
check "the window includes another front end's header" "$(includes_of 'cli|libhost')" src/app
check "the command line includes Qt or another front end's header" "$qt|$(includes_of 'app|libhost')" src/cli
check "the library host includes Qt or another front end's header" "$qt|$(includes_of 'app|cli')" src/libhost
"$failed" && exit 1
echo "layer check: the core includes no Qt and no front end; the window, the command line and the host include no other front end, and only the window includes Qt"
