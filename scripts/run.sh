#!/usr/bin/env bash
# Sets up what building and running need, builds the two programs and starts OhmSift.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh run
bash scripts/build.sh run
exec ./build/src/app/ohmsift
