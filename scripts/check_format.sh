#!/usr/bin/env bash
# Fails when a tracked C++ source is not formatted as the repository's .clang-format says.
# Usage: check_format.sh [ROOT]   (ROOT defaults to the repository)
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

mapfile -t sources < <(git ls-files -- '*.h' '*.cpp')
if ((${#sources[@]} == 0)); then
    echo "no tracked sources found under $(pwd)" >&2
    exit 1
fi
clang-format --dry-run -Werror "${sources[@]}"
