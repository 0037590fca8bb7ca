#!/usr/bin/env bash
# Everything CI runs: install what is needed, build, run every test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset linux
cmake --build --preset linux
ctest --preset linux
