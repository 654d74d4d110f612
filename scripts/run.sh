#!/usr/bin/env bash
# Sets everything up and starts OhmSift.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
exec ./build/src/app/ohmsift
