#!/usr/bin/env bash
# Builds the two .debs, stowbox (the client) and stowbox-service (the stand-in service), from
# a Release build of the executables alone (no tests, no benchmarks) into build/package:
#   scripts/package.sh && apt-get install ./build/package/*.deb
# `scripts/package.sh PRESET OUT [CMAKE OPTION]...` packages another preset's build into OUT;
# the package check packages the tests' own build this way.
set -euo pipefail
cd "$(dirname "$0")/.."

preset=${1:-package}
out=${2:-build/package}
shift $(($# < 2 ? $# : 2))
case "$preset" in
  package) build=build/package-build ;;
  *) build=build/$preset ;;
esac

scripts/install-deps.sh
echo "== package: build ($preset)"
cmake --preset "$preset" "$@" >/dev/null
cmake --build --preset "$preset" -j2 --target stowbox stowbox-service stowbox_man_pages >/dev/null

echo "== package: make the .debs"
mkdir -p "$out"
rm -f "$out"/stowbox_*.deb "$out"/stowbox-service_*.deb
log=$(mktemp /tmp/stowbox-cpack-XXXXXX.log)
if ! cpack --config "$build/CPackConfig.cmake" -B "$out" >"$log" 2>&1; then
  cat "$log" >&2
  rm -f "$log"
  echo "package: cpack failed" >&2
  exit 1
fi
rm -rf "$log" "$out/_CPack_Packages"
ls "$out"/*.deb
