#!/usr/bin/env bash
# Builds Velmora (release) and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_BUILD_TESTS=OFF
cmake --build "$root/build/release"
if [ -x "$root/build/release/src/platform/velmora" ]; then
  exec "$root/build/release/src/platform/velmora" "$@"
fi
echo "Built everything in build/release; the window does not exist yet, so there is nothing to start."
