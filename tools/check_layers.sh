#!/usr/bin/env bash
# Fails on any include in src/ that runs up the layers: a file includes only from its own folder's
# layer or below. Bottom to top: platform audio rules scores play menus app.
set -euo pipefail
src="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/src"
order=(platform audio rules scores play menus app)
rank() {
    local i
    for i in "${!order[@]}"; do [ "${order[$i]}" = "$1" ] && { echo "$i"; return; }; done
    echo -1
}
bad=0
while IFS=: read -r file line text; do
    from=${file#"$src"/}
    from=${from%%/*}
    to=$(sed -E 's/^#include "([a-z_]+)\/.*/\1/' <<<"$text")
    from_rank=$(rank "$from")
    to_rank=$(rank "$to")
    if ((from_rank >= 0 && to_rank > from_rank)); then
        echo "${file#"$src"/}:$line: $from includes $to, a layer above it"
        bad=1
    fi
done < <(grep -rn -E '^#include "[a-z_]+/' "$src" --include='*.h' --include='*.cpp')
if ((bad)); then
    echo "layers: includes run up the order ${order[*]}"
    exit 1
fi
echo "layers: every include looks down (${order[*]})"
