#!/bin/sh
# Builds the workbook reading and writing benchmark in release mode and runs it.
#   bench/sheet_io/run.sh [count]
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-"$root/build-bench"}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTABRINEL_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target sheet_io_bench >/dev/null
"$build/bin/sheet_io_bench" "${1:-200}"
