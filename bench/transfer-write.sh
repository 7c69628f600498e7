#!/usr/bin/env bash
# Builds the benchmark configuration into build/bench and times "tessorctl write" of one
# 255-step channel against kdrx-sim at 19200 baud, or with --prologix over GPIB through its
# simulated Prologix-compatible controller at 115200 baud. Usage: bench/transfer-write.sh [--prologix] [RUNS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$root/build/bench"
if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSOR_BUILD_TESTS=OFF \
        -DTESSOR_BUILD_BENCH=ON -DTESSOR_BUILD_GUI=OFF
fi
cmake --build "$dir" -j 2 --target transfer_write_bench
exec "$dir/bin/transfer_write_bench" "$@"
