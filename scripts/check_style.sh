#!/usr/bin/env bash
# The house style, checked: every C++ file as the committed .clang-format writes it, and the rules of
# .clang-tidy (braces on every statement, one naming rule for private members and constants) over every
# file the build compiles. Usage: scripts/check_style.sh <build dir with compile_commands.json>
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:?usage: check_style.sh <build dir>}
cd "$root"

git ls-files '*.cpp' '*.h' '*.c' | xargs clang-format --dry-run --Werror

# Sources of ours only: not the generated files the build writes beside them.
build=$(cd "$build" && pwd)
mapfile -t sources < <(python3 -c '
import json, sys
db = json.load(open(sys.argv[1] + "/compile_commands.json"))
print("\n".join(sorted({e["file"] for e in db if not e["file"].startswith(sys.argv[1] + "/")})))
' "$build")
report=$(run-clang-tidy -p "$build" -j "$(nproc)" -quiet "${sources[@]}" 2>/dev/null | sed 's/\x1b\[[0-9;]*m//g' |
    grep -E 'warning:|error:' | sort -u || true)
if [ -n "$report" ]; then
    echo "$report"
    echo "clang-tidy: the house rules above are broken (scripts/check_style.sh)" >&2
    exit 1
fi
echo "Style checked: clang-format and clang-tidy have nothing to say."
