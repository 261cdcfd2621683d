#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages that building, running and testing need.
set -euo pipefail

# dpkg-dev and file: the Debian package's dependencies are computed with them. qt6-tools-dev
# and qt6-l10n-tools: Qt's CMake support for catalogues, lupdate and lrelease;
# qt6-translations-l10n: Qt's own dialogs in the window's languages.
required=(build-essential cmake ninja-build pkg-config libgtest-dev libgmock-dev
          libbenchmark-dev nlohmann-json3-dev qt6-base-dev qt6-base-dev-tools libgl-dev libqt6svg6
          qt6-tools-dev qt6-l10n-tools qt6-translations-l10n srecord dpkg-dev file)
# Wanted where the release has them: the SVG icon plugins (a package of their own on some
# releases), clang with its fuzzer runtime for the readers' fuzz targets, hyperfine for
# bench/peers.sh, and the checkers of what an install holds (desktop entry, AppStream data,
# manual pages, completion in bash, zsh and fish, the package).
optional=(qt6-svg-plugins clang clang-format libclang-rt-dev hyperfine
          desktop-file-utils appstream shared-mime-info xdg-utils libfile-mimeinfo-perl man-db
          bash-completion zsh fish lintian)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

as_root=()
if [ "$(id -u)" -ne 0 ]; then as_root=(sudo); fi

available() { apt-cache show "$1" > /dev/null 2>&1; }
optional_missing() {
  for p in "${optional[@]}"; do
    if ! installed "$p" && available "$p"; then echo "$p"; fi
  done
}

missing=()
for p in "${required[@]}"; do installed "$p" || missing+=("$p"); done
if [ ${#missing[@]} -eq 0 ] && [ -z "$(optional_missing)" ]; then
  exit 0
fi

"${as_root[@]}" apt-get update
mapfile -t extra < <(optional_missing)
wanted=("${missing[@]}" "${extra[@]}")
if [ ${#wanted[@]} -gt 0 ]; then
  echo "Installing: ${wanted[*]}"
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y "${wanted[@]}"
fi
