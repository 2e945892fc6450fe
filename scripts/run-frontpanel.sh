#!/usr/bin/env bash
# Installs what is missing, builds, and starts the front panel in simulated
# mode. Without a display it writes a headless snapshot instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default
cmake --build --preset default --target zrq7010
bin=build/default/bin/zrq7010
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$bin" '/a"sim"' "$@"
else
  QT_QPA_PLATFORM=offscreen "$bin" '/a"sim"' --snapshot build/zrq7010-snapshot.png "$@"
  echo "No display: the window after 10 blocks was written to build/zrq7010-snapshot.png"
fi
