#!/usr/bin/env bash
# The portable zip: one folder "Kovrin" with exactly the program folder; unpacked
# anywhere, the monitor runs from it, polls the UPS and keeps its files there, and
# nothing is written to the registry's uninstall or autorun entries.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/install_lib.sh"
skip_unless_i386

fresh_prefix
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$ZIP" "$WORK/stick"
check "the zip holds the folder Kovrin alone" [ "$(ls -A "$WORK/stick")" = Kovrin ]
unpacked=$WORK/stick/Kovrin
check "with exactly the program files" \
    diff <(program_files) <(cd "$unpacked" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
check "as the build made them" has_program_files "$unpacked"

start_simulator -- "60 quit"
(cd "$unpacked" && exec wine "$unpacked/Kovrin.exe") >"$WORK/wine.out" 2>&1 &
KOVRIN_PID=$!
check "the unpacked monitor links to the UPS" wait_until 40 eval \
    '[ -f "$unpacked/Kovrin.lgb" ] && journal_records "$unpacked/Kovrin.lgb" | grep -qx "1 Связь с UPS успешно установлена."'
polls_before=$(sim_poll_times | wc -l)
sleep 3
check "and keeps polling ($polls_before, then $(sim_poll_times | wc -l) status requests)" \
    [ "$(sim_poll_times | wc -l)" -gt "$polls_before" ]
close_kovrin
check "its journal, in its folder, ends with the end of the run" \
    eval '[ "$(journal_records "$unpacked/Kovrin.lgb" | tail -n 2 | head -n 1)" = "1 Выход." ]'
check "no uninstall entry" not reg_key_exists "$UNINSTALL_KEY"
check "no autorun value" not reg_value "$RUN_KEY" Kovrin
finish
