#!/usr/bin/env bash
# Installs what is missing, builds the program (and the simulated gateway to try it with), and starts it.
# The tests and benchmarks are left to scripts/run-tests.sh; a second run finds everything built.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
if [ ! -f build/build.ninja ]; then
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build build --target mesk-config mesk-gatewaysim
exec build/mesk-config "$@"
