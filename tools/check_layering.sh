#!/usr/bin/env bash
# Fails when a folder includes a header of a folder that comes after it.
# Folders in link order: model, device, skin, app, librarian; inside device
# the wire comes before the link, and the link before the request engines.
set -uo pipefail
root="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
cd "$root" || exit 2

order=(model device/wire device/link device/engines skin app librarian)
status=0
for i in "${!order[@]}"; do
    folder="${order[$i]}"
    [ -d "$folder" ] || continue
    for later in "${order[@]:$((i + 1))}"; do
        hits=$(grep -rn --include='*.h' --include='*.cpp' "#include \"$later/" "$folder" || true)
        if [ -n "$hits" ]; then
            echo "$folder must not include $later:"
            echo "$hits"
            status=1
        fi
    done
done
exit $status
