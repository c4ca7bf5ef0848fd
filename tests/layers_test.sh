#!/usr/bin/env bash
# tests/layers_test.sh SOURCE_DIR: the layers' include rules. Each folder may include only the
# folders listed for it (quoted includes, from the repository root), and only the window layer
# (ui/) and the painting without widgets (render/) may include Qt headers. Prints every include
# that breaks a rule; fails if there is one.
set -euo pipefail
cd "$1"

declare -A allowed=(
    [base]="base"
    [model]="base model"
    [counter_link]="base counter_link"
    [storage]="base model storage"
    [engine]="base model counter_link storage engine"
    [simulator]="base counter_link simulator"
    [cli]="base model counter_link storage engine cli render"
    [render]="base model storage render"
)
# Folders that may include Qt: the window layer and the painting without widgets.
qt_allowed=" ui render "

broken=0
for folder in "${!allowed[@]}"; do
    [ -d "$folder" ] || continue
    while IFS=: read -r file line text; do
        target=${text#*\"}
        target=${target%%/*}
        case " ${allowed[$folder]} " in
        *" $target "*) ;;
        *)
            echo "$file:$line: $folder/ may not include $target/: $text"
            broken=1
            ;;
        esac
    done < <(grep -Hn '^#include "[a-z_]*/' "$folder"/*.cpp "$folder"/*.h 2>/dev/null || true)
    [[ $qt_allowed == *" $folder "* ]] && continue
    if qt=$(grep -Hn -E '^#include [<"]Q' "$folder"/*.cpp "$folder"/*.h 2>/dev/null); then
        echo "$qt" | sed 's/$/   (Qt below the window layer)/'
        broken=1
    fi
done
[ "$broken" -eq 0 ] && echo "layers: every include follows the rules"
exit "$broken"
