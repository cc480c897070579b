#!/bin/sh
# Fails when a C++ file of the repository is not formatted with .clang-format.
set -eu
cd "$(dirname "$0")/.."
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror
