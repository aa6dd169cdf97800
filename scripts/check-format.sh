#!/usr/bin/env bash
# Checks that the C and C++ sources (src, tests, bench, sim, fuzz) are laid
# out as .clang-format describes; fails naming the files that are not.
#   scripts/check-format.sh [--fix]   --fix: reformats those files instead
set -euo pipefail
cd "$(dirname "$0")/.."

fix=false
case "${1:-}" in
  '') ;;
  --fix) fix=true ;;
  *) echo "usage: $0 [--fix]" >&2; exit 2 ;;
esac

# Version 14, which scripts/install-deps.sh installs (Debian 12's
# clang-format): another version lays some code out differently.
format=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$format" ] || ! "$format" --version | grep -qE 'version 14\.'; then
  echo "format check: clang-format 14 is missing; scripts/install-deps.sh installs it." >&2
  exit 1
fi
[ -f .clang-format ] || { echo "format check: .clang-format is missing" >&2; exit 1; }

mapfile -t files < <(git ls-files --cached --others --exclude-standard -- \
  'src/*.h' 'src/*.cpp' 'src/*.c' 'tests/*.h' 'tests/*.cpp' 'tests/*.c' 'bench/*.h' 'bench/*.cpp' 'bench/*.c' \
  'sim/*.h' 'sim/*.cpp' 'sim/*.c' 'fuzz/*.h' 'fuzz/*.cpp' 'fuzz/*.c')
[ "${#files[@]}" -gt 0 ] || { echo "format check: no sources found" >&2; exit 1; }

unformatted=()
for file in "${files[@]}"; do
  [ -f "$file" ] || continue  # deleted but not yet committed
  if ! "$format" --dry-run -Werror "$file" >/dev/null 2>&1; then unformatted+=("$file"); fi
done
if [ "${#unformatted[@]}" -eq 0 ]; then
  echo "format check: ${#files[@]} files laid out as .clang-format says"
  exit 0
fi
if "$fix"; then
  "$format" -i "${unformatted[@]}"
  printf 'reformatted %s\n' "${unformatted[@]}"
  exit 0
fi
echo "format check FAILED: ${#unformatted[@]} files differ from .clang-format (scripts/check-format.sh --fix):" >&2
printf '  %s\n' "${unformatted[@]}" >&2
exit 1
