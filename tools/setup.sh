#!/usr/bin/env bash
# Installs the packages, builds both programs and opens the example model.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/packages.sh
ov_install_packages
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
if [ -x build/modelviewer/Ostrel ]; then
  exec build/modelviewer/Ostrel examples/frame.dat
fi
