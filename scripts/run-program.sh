#!/usr/bin/env bash
# Installs what is missing, builds, and starts the configuration program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
exec build/mesk-config "$@"
