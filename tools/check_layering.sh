#!/usr/bin/env bash
# Fails when a folder includes a header of a folder that comes after it.
# Folders in link order: model, device, skin, app, librarian; inside device
# the wire comes before the link, and the link before the request engines.
# Inside skin/ and app/ every file lives in a room, and a room includes only
# the rooms named for it below (and the folders before its own).
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

# The rooms of skin/ and app/, each with the rooms it may include.
#   skin: the engine (the skin document and what is read from it) knows no
#   widget; the widgets come next, the knobs, window parts and lists build
#   on them, and the control templates build the editor's controls of all.
#   app: the host room holds what a pane may know of its host (pane names,
#   command ids, the host and performer interfaces); the update check,
#   dialogs, preset lists, grid and editor are peers that know only the
#   host (PaneHost for commands and menus, ContentHost for sibling panes,
#   dialogs and the bubble); the shell implements those, creates and wires
#   the panes.
declare -A may=(
    [skin/engine]=""
    [skin/widgets]="skin/engine"
    [skin/knobs]="skin/engine skin/widgets"
    [skin/window]="skin/engine skin/widgets"
    [skin/lists]="skin/engine skin/widgets"
    [skin/controls]="skin/engine skin/widgets skin/knobs skin/lists"
    [app/host]=""
    [app/update]="app/host"
    [app/dialogs]="app/host"
    [app/presetlists]="app/host"
    [app/grid]="app/host"
    [app/editor]="app/host"
    [app/shell]="app/host app/update app/dialogs app/presetlists app/grid app/editor"
)

# Written-down exceptions: "file-or-room target-room", each with its reason.
exceptions=(
    # SkinManager builds the widgets its document describes (labels, LEDs,
    # readouts, meters, the splitter); those makers are its own members.
    "skin/engine/SkinManagerReaders.cpp skin/widgets"
    "skin/engine/SkinManagerReaders.cpp skin/knobs"
    "skin/engine/SkinManagerReaders.cpp skin/window"
    # The editor opens the modifier and sequencer dialogs over its controls
    # and relays their edits; both are its own dialogs in all but room.
    "app/editor app/dialogs"
    # The editor follows the grid's selection (and selects a fixed block on
    # the grid) and opens the footswitch grid for a block's switches.
    "app/editor/EffectEditorContentDialogs.cpp app/grid"
    "app/editor/EffectEditorContentLibrary.cpp app/grid"
    # A changed amp has the front panel name the preset's amps again; the
    # front panel is the shell's own pane.
    "app/editor/EffectEditorContentRoad.cpp app/shell"
    # The shown page takes a new knob mode or wheel direction the moment the
    # preferences dialog (a shell pane) changes it.
    "app/editor/EffectEditorContentDialogs.cpp app/shell"
)

allowed() { # file target-room
    local file="$1" target="$2" room
    room=$(dirname "$file")
    case " ${may[$room]} " in *" $target "*) return 0 ;; esac
    local e
    for e in "${exceptions[@]}"; do
        [ "$e" = "$file $target" ] && return 0
        [ "$e" = "$room $target" ] && return 0
    done
    return 1
}

for top in skin app; do
    [ -d "$top" ] || continue
    loose=$(find "$top" -maxdepth 1 -type f \( -name '*.h' -o -name '*.cpp' \) | sort)
    if [ -n "$loose" ]; then
        echo "$top: every file belongs in a room ($(printf '%s ' "${!may[@]}" | tr ' ' '\n' | grep "^$top/" | sort | tr '\n' ' ')):"
        echo "$loose"
        status=1
    fi
    for dir in $(find "$top" -mindepth 1 -maxdepth 1 -type d | sort); do
        if [ -z "${may[$dir]+set}" ]; then
            echo "$dir: a room this check does not know; give it its place in tools/check_layering.sh"
            status=1
        fi
    done
    while IFS=: read -r file line text; do
        [ -n "$file" ] || continue
        target=$(sed -E 's/.*#include "([^/"]+\/[^/"]+)\/.*/\1/' <<<"$text")
        [ "$target" = "$(dirname "$file")" ] && continue
        [[ "$target" == "$top/"* ]] || continue
        if ! allowed "$file" "$target"; then
            echo "$file:$line: $(dirname "$file") must not include $target: $text"
            status=1
        fi
    done < <(grep -rn --include='*.h' --include='*.cpp' "#include \"$top/[^/\"]*/" "$top" | sort)
done
exit $status
