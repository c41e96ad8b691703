#!/usr/bin/env bash
# A silent uninstall while the monitor runs: the monitor ends in order, the program
# files, the Start menu entries, the autorun value and the uninstall entry are gone, and
# every data file stays as it was (the journal plus the end of the run). Installed again
# over those files and uninstalled with the data: they go too, the device log named in the
# settings among them, and the folder stays only for a file of the user's own.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/install_lib.sh"
skip_unless_i386

fresh_prefix
start_simulator -- "120 quit"
run_installer /S
check "the install ends with status 0 (got $INSTALLER_STATUS)" [ "$INSTALLER_STATUS" = 0 ]
default_install_dir
menu=$(start_menu_dir)/Kovrin
check "autorun is on after a silent install" reg_value "$RUN_KEY" Kovrin

write_ini "$INST" "[Main]" "Port=COM1" "Interval=1000" "DevLog=dev.log"
WORK=$INST add_rule 1 0 9 "Сеть пропала"
WORK=$INST add_command 1 0 "Состояние" ""
printf '{\\rtf1 Q1}' >"$INST/Term.ups"
start_installed_kovrin
check "the monitor links to the UPS" wait_until 40 eval \
    '[ -f "$INST/Kovrin.lgb" ] && journal_records "$INST/Kovrin.lgb" | grep -qx "1 Связь с UPS успешно установлена."'
mkdir -p "$WORK/before"
for f in Kovrin.ini Events.ups CustCmds.ups Term.ups Kovrin.lgb dev.log; do cp "$INST/$f" "$WORK/before/$f"; done

# The uninstaller runs on from a copy of itself in the temporary folder: wait for every
# process of the prefix to end.
uninstall() { # options...
    local status=0
    timeout 120 wine "$INST_WIN\\Uninstall.exe" "$@" >"$WORK/uninstall.out" 2>&1 || status=$?
    check "the uninstaller $* starts with status 0 (got $status)" [ "$status" = 0 ]
    check "and every process of the prefix ends" timeout 120 wineserver -w
}
uninstall /S
check "the monitor has ended, with no request but the uninstaller's" kovrin_ended

check "the program files are gone" has_no_program_files "$INST"
check "the Start menu entries are gone" [ ! -e "$menu" ]
check "the autorun value is gone" not reg_value "$RUN_KEY" Kovrin
check "the uninstall entry is gone" not reg_key_exists "$UNINSTALL_KEY"
for f in Kovrin.ini Events.ups CustCmds.ups Term.ups; do
    check "$f kept as it was" cmp -s "$INST/$f" "$WORK/before/$f"
done
check "the device log kept" begins_with "$INST/dev.log" "$WORK/before/dev.log"
check "the journal kept" begins_with "$INST/Kovrin.lgb" "$WORK/before/Kovrin.lgb"
check "and ends with the end of the run" \
    eval '[ "$(journal_records "$INST/Kovrin.lgb" | tail -n 2 | head -n 1)" = "1 Выход." ]'

run_installer /S /START=0
check "installed again over the data files" has_program_files "$INST"
printf 'мои заметки' >"$INST/notes.txt"
uninstall /S /REMOVEDATA=1
check "the program files are gone again" has_no_program_files "$INST"
for f in Kovrin.ini Events.ups CustCmds.ups Term.ups Kovrin.lgb Stat.ups dev.log; do
    check "$f removed with the data" [ ! -e "$INST/$f" ]
done
check "the user's own file stays, and its folder" [ -f "$INST/notes.txt" ]
finish
