#!/usr/bin/env bash
# Installs what is missing, builds the programs for release and makes the Debian package
# (tavu-flex-editor_VERSION_ARCH.deb) in the repository's root. The package depends only on the
# sources and SOURCE_DATE_EPOCH (the last commit's time unless set), never on when or in which
# folder it was built: scripts/check-reproducible.sh holds it to that.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

# The resource compiler stores this date for every icon, and the package's archive for every
# file, instead of the files' times, which a checkout sets to the moment it was made.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH="$(git log -1 --format=%ct 2> /dev/null || true)"
  if [ -z "$SOURCE_DATE_EPOCH" ]; then
    echo "package.sh: no commit to take the package's date from; set SOURCE_DATE_EPOCH" >&2
    exit 2
  fi
fi
export SOURCE_DATE_EPOCH
# Where the compiler cache is used, it takes paths below the tree as relative ones, so that a
# build of the same sources in another folder finds what this one compiled.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}"

# Debian's hardening flags, where dpkg-buildflags is there to give them. CMake reads no
# CPPFLAGS, so the preprocessor's share goes with the compiler's.
cxxflags=""
ldflags=""
if command -v dpkg-buildflags > /dev/null; then
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
  ldflags="$(dpkg-buildflags --get LDFLAGS)"
fi

cmake --preset package -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags"
# The resource compiler reads the date when it runs, and nothing tells the build to run it
# again when the date changes: a build folder made for another date is built from clean.
stamp=build/pkg/source-date-epoch
clean=()
if [ "$(cat "$stamp" 2> /dev/null)" != "$SOURCE_DATE_EPOCH" ]; then clean=(--clean-first); fi
cmake --build --preset package -j "$(nproc)" "${clean[@]}"
echo "$SOURCE_DATE_EPOCH" > "$stamp"

rm -f build/pkg/tavu-flex-editor_*.deb
(cd build/pkg && cpack -G DEB)
package="$(ls build/pkg/tavu-flex-editor_*.deb)"
cp "$package" .
echo "Package: $PWD/$(basename "$package")"
