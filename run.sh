#!/usr/bin/env bash
# Builds the program (installing what is missing) and starts it.
set -euo pipefail
cd "$(dirname "$0")"
. tools/ensure-packages.sh
ensure_packages cmake g++ make qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev \
    fonts-dejavu-core qt6-translations-l10n

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build --parallel "$(nproc)"
exec ./build/src/JorLivaronMng "$@"
