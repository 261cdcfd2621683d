#!/usr/bin/env bash
# Installs what is missing, builds the programs for release and makes the Debian package
# (tavu-flex-editor_VERSION_ARCH.deb) in the repository's root.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

# Debian's hardening flags, where dpkg-buildflags is there to give them. CMake reads no
# CPPFLAGS, so the preprocessor's share goes with the compiler's.
cxxflags=""
ldflags=""
if command -v dpkg-buildflags > /dev/null; then
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
  ldflags="$(dpkg-buildflags --get LDFLAGS)"
fi

cmake -S . -B build/pkg -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVUFE_SANITIZE=OFF \
      -DTAVUFE_BUILD_APP=ON -DTAVUFE_BUILD_TESTS=OFF -DTAVUFE_BUILD_BENCH=OFF \
      -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags"
cmake --build build/pkg -j "$(nproc)"

rm -f build/pkg/tavu-flex-editor_*.deb
(cd build/pkg && cpack -G DEB)
package="$(ls build/pkg/tavu-flex-editor_*.deb)"
cp "$package" .
echo "Package: $PWD/$(basename "$package")"
