#!/usr/bin/env bash
# The widget-free core (src/device, src/transfer, src/counter) lies beneath
# every front end and is built without Qt, the 32-bit Windows build included:
# it includes no Qt header and nothing of the window (src/app), the command
# line (src/cli) or the library host (src/libhost). Fails, naming each
# offending line, when it does.
set -euo pipefail
cd "$(dirname "$0")/.."

core=(src/device src/transfer src/counter)
for folder in "${core[@]}"; do
  [ -d "$folder" ] || { echo "layer check: $folder is missing" >&2; exit 1; }
done

# <QString>, <QtCore/...>, <qglobal.h>; "app/...", "src/cli/...", "../libhost/...".
qt='<(Q|qt)[^>]*>'
front_end='"(\.\./)*(src/)?(app|cli|libhost)/[^"]*"'
status=0
found=$(grep -rnE --include='*.h' --include='*.cpp' --include='*.c' \
          "^[[:space:]]*#[[:space:]]*include[[:space:]]*($qt|$front_end)" "${core[@]}") || status=$?
if [ "$status" -gt 1 ]; then
  echo "layer check: grep failed" >&2
  exit 1
fi
if [ -n "$found" ]; then
  echo "layer check FAILED: the core includes Qt or a front end's header:" >&2
  echo "$found" >&2
  exit 1
fi
echo "layer check: ${core[*]} include no Qt and no front end"
