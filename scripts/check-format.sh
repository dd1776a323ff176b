#!/usr/bin/env bash
# Fails when a C++ file of the project differs from what the project's .clang-format makes of it, naming
# each such file. `bash scripts/check-format.sh --fix` formats them instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
fix=0
[ "${1:-}" = "--fix" ] && fix=1
bad=()
while IFS= read -r -d '' f; do
  if ! clang-format --style=file "$f" | cmp -s - "$f"; then
    if [ "$fix" -eq 1 ]; then clang-format --style=file -i "$f"; else bad+=("$f"); fi
  fi
done < <(git ls-files -z -- '*.cpp' '*.h')
if [ ${#bad[@]} -gt 0 ]; then
  echo "Not formatted with .clang-format (run: bash scripts/check-format.sh --fix):"
  printf '  %s\n' "${bad[@]}"
  exit 1
fi
