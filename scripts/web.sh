#!/usr/bin/env bash
# Builds the browser page, build/web/tavu-flex-editor.html: the core as WebAssembly and the
# page in one file that works opened from disk, offline; beside it, the tests of the core's
# WebAssembly SIMD paths, which `ctest --test-dir build/web` runs under node. Installs
# emscripten (and, for the page's tests, Chromium, its driver and Selenium) when missing. With --serve, serves build/web/
# on 127.0.0.1 as well.
set -euo pipefail
cd "$(dirname "$0")/.."

serve=0
case "${1:-}" in
  --serve) serve=1 ;;
  "") ;;
  *) echo "usage: scripts/web.sh [--serve]" >&2; exit 2 ;;
esac

# googletest: its sources, built as WebAssembly for the core's tests under node.
required=(emscripten node-acorn cmake ninja-build googletest chromium chromium-driver
          python3-selenium)
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
missing=()
for p in "${required[@]}"; do installed "$p" || missing+=("$p"); done
if [ ${#missing[@]} -gt 0 ]; then
  as_root=()
  if [ "$(id -u)" -ne 0 ]; then as_root=(sudo); fi
  "${as_root[@]}" apt-get update
  echo "Installing: ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y "${missing[@]}"
fi

# Emscripten's tools need Debian's acorn, which another node first in PATH does not find.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
launcher=()
if command -v ccache > /dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
# The page carries no paths (no debug information), so the cache may take paths below the tree
# as relative ones: a build of the same sources in another folder finds what this one compiled.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}"
emcmake cmake --preset web "${launcher[@]}" > /dev/null
cmake --build --preset web -j "$(nproc)"
page="$PWD/build/web/tavu-flex-editor.html"
echo "$page"

if [ "$serve" -eq 1 ]; then
  echo "Serving build/web/ at http://127.0.0.1:8000/tavu-flex-editor.html (Ctrl+C stops)"
  exec python3 -m http.server 8000 --bind 127.0.0.1 --directory build/web
fi
