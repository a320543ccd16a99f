#!/usr/bin/env bash
# Writes pictures of the main window and three dialogs (communication settings, list of gateways, about) in
# Czech and in Hungarian to build/screenshots/, offscreen, for a person to look at. Builds what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build/build.ninja ]; then
    cmake -S . -B build -G Ninja
fi
cmake --build build --target test_ui
rm -rf build/screenshots
QT_QPA_PLATFORM=offscreen build/tests/test_ui --gtest_also_run_disabled_tests \
    --gtest_filter='ScreenshotTest.DISABLED_WindowsInCzechAndHungarian'
ls -1 build/screenshots
