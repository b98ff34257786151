#!/usr/bin/env bash
# Installs what is missing, builds Daublin and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$(nproc)" --target daublin
exec build/release/bin/daublin "$@"
