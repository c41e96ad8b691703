#!/usr/bin/env bash
# Refreshes the user manual's pictures (doc/manual/IMAGES) from a folder of screenshots
# made by scripts/screenshots.sh:   scripts/manual-images.sh [SHOTS_DIR]
# The pages and windows the manual names get their manual names; every other picture
# (the editors and the diagram as they come) is copied under its own name.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
SHOTS=${1:-$ROOT/build/screenshots}
IMAGES=$ROOT/doc/manual/IMAGES
[ -d "$SHOTS" ] || { echo "no screenshots in $SHOTS (run scripts/screenshots.sh first)" >&2; exit 1; }
mkdir -p "$IMAGES"
declare -A names=(
    [page-0-state]=state [page-1-extra]=extra [page-2-events]=events
    [page-3-journal]=journal [page-4-terminal]=terminal [settings-page]=settings
    [page-6-about]=about [calibration-question]=calibration-question
    [help-viewer-layout]=help-viewer
)
copied=0
for shot in "$SHOTS"/*.png; do
    [ -e "$shot" ] || continue
    base=$(basename "$shot" .png)
    case $base in page-5-settings | help-message-*) continue ;; esac # covered by others
    target=${names[$base]:-$base}
    cp "$shot" "$IMAGES/$target.png"
    copied=$((copied + 1))
done
# A viewer that really showed the manual beats the stand-in.
[ -f "$SHOTS/help-viewer.png" ] && cp "$SHOTS/help-viewer.png" "$IMAGES/help-viewer.png"
echo "$copied pictures in $IMAGES"
