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
  share/zsh/vendor-completions/_tavufe
  share/fish/vendor_completions.d/tavufe.fish
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

# Every command and option that --help names is in the manual page and in each shell's
# completion, written as that shell names it.
help="$("$usr/bin/tavufe" --help)"
page="$(gzip -dc "$usr/share/man/man1/tavufe.1.gz" | sed 's/\\-/-/g')"
bash_completion="$(cat "$usr/share/bash-completion/completions/tavufe")"
zsh_completion="$(cat "$usr/share/zsh/vendor-completions/_tavufe")"
fish_completion="$(cat "$usr/share/fish/vendor_completions.d/tavufe.fish")"
for word in info folders save verify diff help \
  $(grep -o -E -- '(^| )--?[a-z][a-z-]*' <<< "$help" | sort -u); do
  grep -q -F -- "$word" <<< "$page" || fail "the manual page lacks '$word'"
  grep -q -E -- "(^|[ '])$word([ ')]|$)" <<< "$bash_completion" ||
    fail "the bash completion lacks '$word'"
  grep -q -E -- "(^|[ '{,*)])$word([]:=,}[' ]|$)" <<< "$zsh_completion" ||
    fail "the zsh completion lacks '$word'"
  case $word in
    --*) fish_word="-l ${word#--}" ;;
    -*) fish_word="-s ${word#-}" ;;
    *) fish_word="-a '?$word" ;;
  esac
  grep -q -E -- "$fish_word( |'|$)" <<< "$fish_completion" ||
    fail "the fish completion lacks '$word'"
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

# Completion in each shell: commands, each command's options, the values of --type and
# --input-type, and FILE names filtered by type, superfiles first. Each line's offers, sorted.
mkdir -p "$scratch/files/folder"
touch "$scratch/files/"{a.sbf,B.SHX,c.txt,d.smg,e.bin}
lines=(
  "tavufe "
  "tavufe f"
  "tavufe info "
  "tavufe info --"
  "tavufe save a.sbf --"
  "tavufe save a.sbf --type "
  "tavufe save a.sbf -o "
  "tavufe folders --input-type "
  "tavufe verify a.sbf --"
  "tavufe save a.sbf --type=s"
  "tavufe info --input-type=shx "
  "tavufe save a.sbf --force --delete-row 1 -o x.shx --"
  "tavufe save a.sbf --delete-folder Skins --delete-folder "
  "tavufe help "
  "tavufe diff a.sbf "
)
# bash and zsh differ only in the two lines between these.
head="--help --version -h diff folders help info save verify
folders
B.SHX a.sbf folder
--help --input-type --json --rescue
--all-matches --delete-folder --delete-row --force --help --input-type --keep-repeated --rescue --type
bin sbf shx smg
B.SHX a.sbf d.smg e.bin folder
sbf shx
--help --input-type --json"
tail="--all-matches --delete-folder --delete-row --help --input-type --keep-repeated --rescue --type

diff folders info save verify
B.SHX a.sbf d.smg e.bin folder"
expect_completion() {
  [ "$2" = "$3" ] || fail "$1 completion offered:"$'\n'"$2"$'\n'"instead of:"$'\n'"$3"
  echo "Completion in $1: as expected"
}

helpers=/usr/share/bash-completion/bash_completion
if [ -r "$helpers" ]; then
  completions="$(
    cd "$scratch/files"
    bash -c '
      source "$1"
      source "$2"
      shift 2
      for line in "$@"; do
        read -ra COMP_WORDS <<< "$line"
        [[ $line == *" " ]] && COMP_WORDS+=("")
        COMP_LINE="$line" COMP_POINT=${#line} COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        COMPREPLY=()
        _tavufe tavufe "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        printf "%s\n" "${COMPREPLY[@]}" | sort | paste -sd " "
      done
    ' completion "$helpers" "$usr/share/bash-completion/completions/tavufe" "${lines[@]}"
  )"
  expect_completion bash "$completions" "$head
sbf shx smg
B.SHX a.sbf c.txt d.smg e.bin folder
$tail"
else
  echo "Completion in bash: not checked, bash-completion is not installed"
fi

# zsh completes only in its line editor: an interactive zsh in a pseudo-terminal gets each line
# and a Tab, with compadd wrapped to note what it offers.
if command -v zsh > /dev/null; then
  cat > "$scratch/complete.zsh" << 'EOF'
zmodload zsh/zpty
dir=$1 out=$2
shift 2
: > $out
# Each step ends with a marker and finishes before the next is typed: the line editor drops
# what was typed ahead of it.
markers() {
  local i
  local -a ends
  for i in {1..200}; do
    ends=(${(M)${(f)"$(<$out)"}:#--end--})
    (($#ends >= $1)) && return 0
    sleep 0.05
  done
  return 1
}
zpty -b z zsh -f -i
zpty -w z "PS1=''; fpath=(${(q)dir} \$fpath); autoload -Uz compinit; compinit -u -D"
zpty -w z "compadd() { if [[ \${@[1,(i)(-|--)]} == *-(O|A|D)\\ * ]]; then builtin compadd \"\$@\"; return; fi; local -a hits; builtin compadd -A hits \"\$@\"; ((\$#hits)) && print -rl -- \$hits >> ${(q)out}; builtin compadd \"\$@\"; }"
zpty -w z "print -r -- --end-- >> ${(q)out}"
markers 1 || exit 1
: > $out
integer n=0
for line in "$@"; do
  zpty -w -n z "$line"$'\t'
  zpty -w -n z $'\C-u'
  zpty -w z "print -r -- --end-- >> ${(q)out}"
  markers $((++n)) || exit 1
done
zpty -d z
local -a offered
for row in "${(@f)$(<$out)}"; do
  if [[ $row == --end-- ]]; then
    print -r -- ${(j: :)${(ou)offered}}
    offered=()
  else
    offered+=($row)
  fi
done
EOF
  completions="$(
    cd "$scratch/files"
    zsh -f "$scratch/complete.zsh" "$usr/share/zsh/vendor-completions" "$scratch/zsh.out" \
      "${lines[@]}"
  )" || fail "zsh did not complete every line"
  # Without --input-type only superfiles are offered while there are any.
  expect_completion zsh "$completions" "$head
sbf shx smg
B.SHX a.sbf folder
$tail"
else
  echo "Completion in zsh: not checked, zsh is not installed"
fi

if command -v fish > /dev/null; then
  completions="$(
    cd "$scratch/files"
    fish -N -c '
      source $argv[1]
      for line in $argv[2..]
        echo (complete -C $line | string split -f1 \t | sort | string join " ")
      end
      # Superfiles first, whatever the names sort as.
      complete -C "tavufe info --input-type=shx " | string split -f1 \t | string join " "
    ' "$usr/share/fish/vendor_completions.d/tavufe.fish" "${lines[@]}"
  )"
  # fish offers options only for a word that starts with a dash, and every file, superfiles
  # first.
  expect_completion fish "$completions" "diff folders help info save verify
folders
B.SHX a.sbf c.txt d.smg e.bin folder/
--help --input-type --json --rescue
--all-matches --delete-folder --delete-row --force --help --input-type --keep-repeated --rescue --type
bin sbf shx smg
B.SHX a.sbf c.txt d.smg e.bin folder/
sbf shx
--help --input-type --json
--type=sbf --type=shx --type=smg
B.SHX a.sbf c.txt d.smg e.bin folder/
--all-matches --delete-folder --delete-row --help --input-type --keep-repeated --rescue --type

diff folders info save verify
B.SHX a.sbf c.txt d.smg e.bin folder/
B.SHX a.sbf folder/ c.txt d.smg e.bin"
else
  echo "Completion in fish: not checked, fish is not installed"
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
