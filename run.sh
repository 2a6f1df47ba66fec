#!/usr/bin/env bash
# Sets up what is missing, builds everything and runs the engine.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
if [ -x build/default/main/app/editor/uzengine ]; then
    exec build/default/main/app/editor/uzengine "$@"
fi
echo "Build finished. The engine program is not part of the build yet: the libraries and their tests are."
