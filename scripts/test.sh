#!/usr/bin/env bash
# Builds everything and runs every test, headless.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
kr5_ensure_packages
kr5_build
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
