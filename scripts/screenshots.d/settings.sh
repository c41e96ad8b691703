# The settings page's boxes and the help viewer (sourced by scripts/screenshots.sh).
ui tab 5 >/dev/null
# The alternative boost detection on, as a user sets it.
ui click 610 >/dev/null
ui set-text 611 15 >/dev/null
shot settings-page
ui click 610 >/dev/null

# The calibration's question, answered No.
ui click 609 >/dev/null
sleep 1
shot calibration-question "Внимание!"
answer_box 7 || true

# A voltage that is no number, refused by "Применить".
ui set-text 607 "10..5" >/dev/null
ui click 612 >/dev/null
sleep 1
shot settings-not-a-number "Ошибка"
close_box || true
ui set-text 607 "0.00" >/dev/null

# F1 on the settings page: the viewer, or (without an HTML engine in Wine) its messages.
[ -d "$KOVRIN_DIST/DOC" ] && cp -r "$KOVRIN_DIST/DOC" "$KOVRIN_WORK/"
ui key 600 112 >/dev/null
sleep 4
if [ -n "$(wine "$KOVRIN_UI" rect "Справка (минибраузер)" 2>/dev/null)" ]; then
    shot help-viewer "Справка (минибраузер)"
    wine "$KOVRIN_UI" key 1410 27 >/dev/null 2>&1 || true
else
    for n in 1 2; do
        find_box || break
        shot "help-message-$n" "Ошибка"
        close_box || true
        sleep 1
    done
fi

# The viewer itself as it is laid out, with a stand-in page where Wine has no HTML engine.
# It runs in a test program of its own, which prints where its window is.
glue_tests="$(dirname "$KOVRIN_DIST")/tests/kovrin_dialog_glue_tests.exe"
if [ -f "$glue_tests" ]; then
    look_out="$KOVRIN_WORK/viewer-look.txt"
    wine "$glue_tests" --gtest_also_run_disabled_tests --gtest_filter='HelpViewerLook.*' \
        >"$look_out" 2>&1 &
    look=$!
    rect=
    for _ in $(seq 1 60); do
        rect=$(tr -d '\r' <"$look_out" | awk '$1 == "RECT" { print $2, $3, $4, $5 }')
        [ -n "$rect" ] && break
        sleep 0.25
    done
    if [ -n "$rect" ]; then
        read -r x y w h <<<"$rect"
        sleep 1
        import -window root -crop "${w}x${h}+${x}+${y}" +repage "$OUT/help-viewer-layout.png" &&
            echo "$OUT/help-viewer-layout.png"
    fi
    wait "$look" 2>/dev/null || true
fi
ui tab 0 >/dev/null
