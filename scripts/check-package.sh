#!/usr/bin/env bash
# Checks what an installed system gets: installs the build folder BUILD into a scratch
# folder and runs the installed programs, validates the desktop entry, AppStream data, file
# types, manual pages and shell completion with the tools that are present, then builds the
# Debian package and checks what it holds.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:?usage: scripts/check-package.sh BUILD}"

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
fail() {
  echo "check-package: $*" >&2
  exit 1
}

# Every entry both an install and the package must hold, below the prefix.
expected=(
  bin/tavu-flex-editor
  bin/tavufe
  bin/tavufe-sample
  share/applications/tavu-flex-editor.desktop
  share/icons/hicolor/scalable/apps/tavu-flex-editor.svg
  share/icons/hicolor/256x256/apps/tavu-flex-editor.png
  share/mime/packages/tavu-flex-editor.xml
  "share/metainfo/*.metainfo.xml"
  share/man/man1/tavufe.1.gz
  share/man/man1/tavu-flex-editor.1.gz
  share/man/man1/tavufe-sample.1.gz
  share/bash-completion/completions/tavufe
  share/doc/tavu-flex-editor/copyright
)

version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
[ -n "$version" ] || fail "no project version in $build"

# The install, into a scratch root.
root="$scratch/root"
DESTDIR="$root" cmake --install "$build" --prefix /usr > /dev/null
usr="$root/usr"
for entry in "${expected[@]}"; do
  compgen -G "$usr/$entry" > /dev/null || fail "the install lacks $entry"
done
shown="$("$usr/bin/tavufe" --version)"
[ "$shown" = "tavufe $version" ] || fail "installed tavufe --version printed '$shown'"
"$usr/bin/tavufe-sample" --format shx --output "$scratch/sample.shx"
"$usr/bin/tavufe" info "$scratch/sample.shx" > /dev/null ||
  fail "the installed tavufe could not read the installed tavufe-sample's superfile"
echo "Install: ${#expected[@]} entries in place; the installed tavufe says '$shown'"

# Every command and option that --help names is in the manual page and the completion.
help="$("$usr/bin/tavufe" --help)"
page="$(gzip -dc "$usr/share/man/man1/tavufe.1.gz" | sed 's/\\-/-/g')"
completion="$(cat "$usr/share/bash-completion/completions/tavufe")"
for word in info folders save verify $(grep -o -E -- '(^| )--?[a-z][a-z-]*' <<< "$help" | sort -u); do
  grep -q -F -- "$word" <<< "$page" || fail "the manual page lacks '$word'"
  grep -q -E -- "(^|[ '])$word([ ')]|$)" <<< "$completion" || fail "the completion lacks '$word'"
done

# The freedesktop files, with whichever validators are installed.
if command -v desktop-file-validate > /dev/null; then
  desktop-file-validate "$usr/share/applications/tavu-flex-editor.desktop"
  echo "Desktop entry: valid"
else
  echo "Desktop entry: not validated, desktop-file-validate is not installed"
fi
metainfo="$(compgen -G "$usr/share/metainfo/*.metainfo.xml")"
if command -v appstreamcli > /dev/null; then
  appstreamcli validate --no-net "$metainfo" > "$scratch/appstream.log" 2>&1 ||
    { cat "$scratch/appstream.log"; fail "AppStream data not valid"; }
  grep -q "<release version=\"$version\"" "$metainfo" || fail "AppStream data lacks $version"
  echo "AppStream data: valid"
else
  echo "AppStream data: not validated, appstreamcli is not installed"
fi
if command -v update-mime-database > /dev/null; then
  mkdir -p "$scratch/mime/packages"
  cp "$usr/share/mime/packages/tavu-flex-editor.xml" "$scratch/mime/packages/"
  XDG_DATA_DIRS="$scratch" update-mime-database "$scratch/mime" 2> "$scratch/mime.log"
  [ ! -s "$scratch/mime.log" ] || { cat "$scratch/mime.log"; fail "file types not valid"; }
  for type in application/x-sbf-superfile application/x-shx-superfile; do
    grep -q "^50:$type:" "$scratch/mime/globs2" || fail "no glob for $type"
  done
  # Without an extension the contents decide: an S-record file must not be taken as binary.
  if command -v xdg-mime > /dev/null && command -v mimetype > /dev/null; then
    for format in shx sbf; do
      "$usr/bin/tavufe-sample" --format "$format" --output "$scratch/unnamed-$format"
      type="$(XDG_DATA_DIRS="$scratch" xdg-mime query filetype "$scratch/unnamed-$format")"
      [ "$type" = "application/x-$format-superfile" ] ||
        fail "an extensionless $format file is typed as $type"
    done
  fi
  echo "File types: valid"
fi

# Manual pages render without a warning.
if command -v man > /dev/null; then
  for page in "$usr"/share/man/man1/*.1.gz; do
    MANWIDTH=80 man --warnings -l "$page" 2> "$scratch/man.log" > /dev/null
    [ ! -s "$scratch/man.log" ] || { cat "$scratch/man.log"; fail "$page has warnings"; }
  done
  echo "Manual pages: render without warnings"
else
  echo "Manual pages: not checked, man is not installed"
fi

# Completion: commands, each command's options, and FILE names filtered by type.
helpers=/usr/share/bash-completion/bash_completion
if [ -r "$helpers" ]; then
  mkdir -p "$scratch/files/folder"
  touch "$scratch/files/"{a.sbf,B.SHX,c.txt,d.smg}
  completions="$(
    cd "$scratch/files"
    bash -c '
      source "$1"
      source "$2"
      complete_line() {
        local line="$1"
        read -ra COMP_WORDS <<< "$line"
        [[ $line == *" " ]] && COMP_WORDS+=("")
        COMP_LINE="$line" COMP_POINT=${#line} COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        COMPREPLY=()
        _tavufe tavufe "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        printf "%s\n" "${COMPREPLY[@]}" | sort | paste -sd " "
      }
      complete_line "tavufe "
      complete_line "tavufe f"
      complete_line "tavufe info "
      complete_line "tavufe info --"
      complete_line "tavufe save a.sbf --"
      complete_line "tavufe save a.sbf --type "
      complete_line "tavufe save a.sbf -o "
      complete_line "tavufe folders --input-type "
      complete_line "tavufe verify a.sbf --"
      complete_line "tavufe save a.sbf --type=s"
      complete_line "tavufe info --input-type=shx "
      complete_line "tavufe save a.sbf --force --delete-row 1 -o x.shx --"
    ' completion "$helpers" "$usr/share/bash-completion/completions/tavufe"
  )"
  wanted="--help --version -h diff folders info save verify
folders
B.SHX a.sbf folder
--input-type --json
--delete-row --force --input-type --keep-repeated --type
bin sbf shx smg
B.SHX a.sbf d.smg folder
sbf shx
--input-type --json
sbf shx smg
B.SHX a.sbf c.txt d.smg folder
--delete-row --input-type --keep-repeated --type"
  [ "$completions" = "$wanted" ] ||
    fail "completion offered:"$'\n'"$completions"$'\n'"instead of:"$'\n'"$wanted"
  echo "Completion: as expected"
else
  echo "Completion: not checked, bash-completion is not installed"
fi

# The package: built, then its control fields and contents checked.
scripts/package.sh > "$scratch/package.log" 2>&1 || { cat "$scratch/package.log"; exit 1; }
deb="$(sed -n 's/^Package: //p' "$scratch/package.log")"
[ -f "$deb" ] || fail "scripts/package.sh made no package"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package's version is not $version"
[ "$(dpkg-deb -f "$deb" Section)" = utils ] || fail "the package's section is not utils"
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "the package's Depends lacks Qt"
dpkg-deb -c "$deb" | awk '{ print $6 }' > "$scratch/contents"
for entry in "${expected[@]}"; do
  grep -q -x "\./usr/${entry//\*/.*}" "$scratch/contents" || fail "the package lacks $entry"
done
echo "Package: $deb holds all ${#expected[@]} entries"
if command -v lintian > /dev/null; then
  status=0
  lintian --fail-on error "$deb" > "$scratch/lintian.log" 2>&1 || status=$?
  grep -v "running with root privileges" "$scratch/lintian.log" || true
  [ "$status" -eq 0 ] || fail "lintian found errors in $deb"
  echo "Package: no lintian errors"
fi
