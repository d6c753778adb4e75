#!/usr/bin/env bash
# Builds the project in both presets (plain and with ASan + UBSan), warnings as errors, and runs
# every test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

for preset in default asan; do
  echo "== $preset: configure and build"
  cmake --preset "$preset" -DSTOWBOX_WERROR=ON >/dev/null
  cmake --build --preset "$preset" -j2
  echo "== $preset: test"
  ctest --preset "$preset"
done

echo "== default: package"
scripts/check-package.sh

echo "== fuzz targets: a bounded run of each"
scripts/fuzz.sh --check
