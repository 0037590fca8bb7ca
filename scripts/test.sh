#!/usr/bin/env bash
# Everything CI runs: install what is needed, build, run every test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
# The Windows tools: x64 is run under Wine by the tests, x86 is built only.
for preset in mingw64 mingw32; do
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j2
done
cmake --preset linux -DGLYPH_E2E_WINE=ON
cmake --build --preset linux -j2
ctest --preset linux
