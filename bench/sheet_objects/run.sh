#!/bin/sh
# Builds the object layer benchmark in release mode and runs it.
#   bench/sheet_objects/run.sh [workbooks]
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-"$root/build-bench"}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTABRINEL_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target object_layer_bench >/dev/null
"$build/bin/object_layer_bench" "${1:-1000}"
