#!/usr/bin/env bash
# Sets up what is missing, builds everything and runs the engine from its own folder, with the
# settings shipped beside it; options (key=value) are handed on. Ctrl-C ends it in order.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
cd build/default/main/app/editor
# Headless: the engine never reads standard input.
exec ./uzengine "$@" </dev/null
