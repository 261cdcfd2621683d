#!/usr/bin/env bash
# Builds the Debian package twice from this tree's files, copied into two folders whose files
# carry different times, and fails unless the two packages are the same byte for byte. Where
# emcmake is installed, the browser page is built twice and compared too. diffoscope, where
# installed, says what differs; otherwise the packages' file lists and differing files are
# shown.
#
# Both builds share the compiler cache, each with its own folder as the cache's base, so the
# second compiles nothing; everything after the compiler (resources, links, strip, archive)
# runs twice. CCACHE_DISABLE=1 compiles everything twice.
set -euo pipefail
cd "$(dirname "$0")/.."

# One date for both builds, as package.sh takes it; only the files' own times differ.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH="$(git log -1 --format=%ct)"
fi
export SOURCE_DATE_EPOCH
if command -v ccache > /dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}"
fi

scratch="$(mktemp -d)"
keep=0
trap '[ "$keep" -eq 1 ] || rm -rf "$scratch"' EXIT
fail() {
  keep=1
  echo "check-reproducible: $*" >&2
  echo "check-reproducible: the two builds are kept in $scratch" >&2
  exit 1
}

# The tree as it is, committed or not: tracked and new files, without what .gitignore leaves out.
copy_tree() {
  mkdir -p "$1"
  git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' file; do
      if [ -e "$file" ]; then printf '%s\0' "$file"; fi
    done |
    tar --null -T - -cf - | tar -xf - -C "$1"
}
one="$scratch/one"
two="$scratch/two"
copy_tree "$one"
find "$one" -exec touch -h -d '2000-01-01 00:00:00 UTC' {} +
copy_tree "$two"
find "$two" -exec touch -h -d 'now' {} +

# Shows what differs between two files.
explain() {
  if command -v diffoscope > /dev/null; then
    diffoscope --text - "$1" "$2" | head -n 200 || true
    return
  fi
  cmp "$1" "$2" || true
  echo "(diffoscope is not installed; it would say more)"
}

# The package of each tree.
packages=()
for tree in "$one" "$two"; do
  (cd "$tree" && CCACHE_BASEDIR="$tree" scripts/package.sh) > "$tree.package.log" 2>&1 ||
    { cat "$tree.package.log"; fail "scripts/package.sh failed in $tree"; }
  packages+=("$(compgen -G "$tree/tavu-flex-editor_*.deb")")
done
if ! cmp -s "${packages[0]}" "${packages[1]}"; then
  explain "${packages[0]}" "${packages[1]}"
  if ! command -v diffoscope > /dev/null; then
    for i in 0 1; do
      mkdir -p "$scratch/unpacked$i"
      dpkg-deb -R "${packages[i]}" "$scratch/unpacked$i"
    done
    diff <(dpkg-deb -c "${packages[0]}") <(dpkg-deb -c "${packages[1]}") || true
    diff -r -q "$scratch/unpacked0" "$scratch/unpacked1" || true
  fi
  fail "two builds of the same sources gave different packages"
fi
echo "Reproducible: two builds in two folders gave the same $(basename "${packages[0]}")" \
     "($(sha256sum < "${packages[0]}" | cut -c1-16)...)"

# The page, where emscripten is installed (scripts/web.sh installs it).
if ! command -v emcmake > /dev/null; then
  echo "Reproducible page: not checked, emscripten is not installed"
  exit 0
fi
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
pages=()
for tree in "$one" "$two"; do
  (
    cd "$tree"
    export CCACHE_BASEDIR="$tree"
    emcmake cmake --preset web -DTAVUFE_BUILD_TESTS=OFF
    cmake --build --preset web -j "$(nproc)" --target tavu-flex-editor
  ) > "$tree.web.log" 2>&1 || { cat "$tree.web.log"; fail "the page did not build in $tree"; }
  pages+=("$tree/build/web/tavu-flex-editor.html")
done
if ! cmp -s "${pages[0]}" "${pages[1]}"; then
  explain "${pages[0]}" "${pages[1]}"
  fail "two builds of the same sources gave different pages"
fi
echo "Reproducible: two builds in two folders gave the same tavu-flex-editor.html"
