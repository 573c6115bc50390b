#!/usr/bin/env bash
# The README's demo command: installs what is needed, builds, and runs the program's main job on the
# bundled demo database.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)"

echo "demo: the command line without its values stops with the parameters message:"
PPR_MESSAGES=stderr ./build/bin/ppr-schedule || true
