#!/usr/bin/env bash
# Checks that the core's layers include in one direction only: model/ is the base; superfile/
# and inspect/ build on model/ and not on each other; editor/ may use all three; no core file
# reaches the window, the command-line tool or the browser page. The page's binding (web/) is a
# front end like those two: it may use the whole core, and nothing below may use it. Prints
# each include that breaks the rule.
set -euo pipefail
cd "$(dirname "$0")/.."

allowed() {  # layer -> folders its files may include from
  case "$1" in
    model) echo "model" ;;
    superfile) echo "model superfile" ;;
    inspect) echo "model inspect" ;;
    editor) echo "model superfile inspect editor" ;;
    web) echo "model superfile inspect editor web" ;;
  esac
}

bad=0
for layer in model superfile inspect editor web; do
  ok=" $(allowed "$layer") "
  while IFS= read -r line; do
    file="${line%%:*}"
    target="$(sed -E 's/^[^"]*"([^"]+)".*/\1/' <<< "$line")"
    folder="${target%%/*}"
    # An include without a folder is a system or generated header, not a layer.
    [ "$folder" = "$target" ] && continue
    if [[ "$ok" != *" $folder "* ]]; then
      echo "$file includes \"$target\": $layer/ may include only from: $(allowed "$layer")"
      bad=1
    fi
  done < <(grep -H -E '^[[:space:]]*#[[:space:]]*include[[:space:]]+"' src/"$layer"/*.h src/"$layer"/*.cpp src/"$layer"/*.in 2>/dev/null || true)
done
if [ "$bad" -ne 0 ]; then
  echo "The core's layers include against their direction."
  exit 1
fi
echo "Layers: every include points down (model <- superfile, inspect <- editor <- web)."
