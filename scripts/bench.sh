#!/usr/bin/env bash
# Builds the Release preset, runs the benchmarks and prints two tables: this program against
# curl and lftp (peer_bench), and the other benchmarks' figures. Each benchmark's whole output
# stays in build/release/bench-logs. Exits non-zero when a run failed or bytes came wrong;
# a figure below its goal does not fail it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

benches=(ftp_transfer_bench listing_bench latency_bench service_load_bench service_soak_bench
  tls_transfer_bench)
# curl and lftp are the peers peer_bench runs; install-deps.sh installs them.
echo "== release: configure and build" >&2
cmake --preset release >/dev/null
cmake --build --preset release -j2 --target "${benches[@]}" peer_bench stowbox stowbox-service \
  >/dev/null

logs=build/release/bench-logs
mkdir -p "$logs"
status=0
run() {
  local name=$1
  shift
  echo "== $name" >&2
  if ! "build/release/bin/$name" "$@" >"$logs/$name.txt" 2>&1; then
    echo "$name failed; see $logs/$name.txt" >&2
    status=1
  fi
}
run peer_bench
run ftp_transfer_bench
run listing_bench --benchmark_filter='BM_ListLocalFolder/(1000|10000)$'
run latency_bench
run service_load_bench
run service_soak_bench
run tls_transfer_bench

grep -h -v '^peer bench: ' "$logs/peer_bench.txt" || true
echo
echo "| measure | figure | note |"
echo "|---|---|---|"
for name in "${benches[@]}"; do
  grep -h '^| ' "$logs/$name.txt" || true
done
exit "$status"
