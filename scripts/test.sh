#!/bin/sh
# Installs what is needed, builds the release preset and runs every test.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake --workflow --preset release
