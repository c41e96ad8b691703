#!/usr/bin/env bash
# Refreshes the user manual's pictures (doc/manual/IMAGES) from a folder of screenshots
# made by scripts/screenshots.sh:   scripts/manual-images.sh [SHOTS_DIR]
# Every picture the manual shows (IMAGES/NAME.png in tarvo.htm) is taken from the shot of
# that name, or from the shot the table below gives it; pictures without a shot are named.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
SHOTS=${1:-$ROOT/build/screenshots}
MANUAL=$ROOT/doc/manual
[ -d "$SHOTS" ] || { echo "no screenshots in $SHOTS (run scripts/screenshots.sh first)" >&2; exit 1; }
mkdir -p "$MANUAL/IMAGES"
# Manual picture <- screenshots, the first that exists.
declare -A sources=(
    [state]="page-0-state" [extra]="page-1-extra" [events]="page-2-events"
    [journal]="page-3-journal" [terminal]="terminal-executed terminal page-4-terminal"
    [settings]="settings-page page-5-settings" [about]="page-6-about"
    [help-viewer]="help-viewer help-viewer-layout"
)
copied=0 missing=0
for name in $(grep -o 'src="IMAGES/[^"]*\.png"' "$MANUAL/tarvo.htm" | sed 's/.*IMAGES\///; s/\.png"//' | sort -u); do
    found=
    for shot in ${sources[$name]:-} "$name"; do
        [ -f "$SHOTS/$shot.png" ] && { found=$SHOTS/$shot.png; break; }
    done
    if [ -n "$found" ]; then
        cp "$found" "$MANUAL/IMAGES/$name.png"
        copied=$((copied + 1))
    else
        echo "no screenshot for IMAGES/$name.png" >&2
        missing=$((missing + 1))
    fi
done
echo "$copied pictures refreshed in $MANUAL/IMAGES, $missing without a screenshot"
