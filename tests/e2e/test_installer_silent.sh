#!/usr/bin/env bash
# A silent install into a fresh user profile: the program folder in the default place,
# the Start menu entries, the uninstall entry with its values, the autorun value as the
# settings page writes it; the monitor it starts polls the UPS.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/install_lib.sh"
skip_unless_i386

fresh_prefix
start_simulator -- "120 quit"
run_installer /S /START=1
check "the installer ends with status 0 (got $INSTALLER_STATUS)" [ "$INSTALLER_STATUS" = 0 ]
default_install_dir
check "the folder is %LOCALAPPDATA%\\Programs\\Kovrin ($INST)" [ -d "$INST" ]
check "the program files are the build's" has_program_files "$INST"
check "the uninstaller is beside them" [ -f "$INST/Uninstall.exe" ]
menu=$(start_menu_dir)/Kovrin
check "a Start menu entry for the monitor" [ -f "$menu/Kovrin.lnk" ]
check "a Start menu entry for the manual" [ -f "$menu/Руководство пользователя.lnk" ]

value() { reg_value "$UNINSTALL_KEY" "$1" || echo "(missing)"; }
check "DisplayName Kovrin" [ "$(value DisplayName)" = Kovrin ]
check "DisplayIcon the program's ($(value DisplayIcon))" [ "$(value DisplayIcon)" = "$INST_WIN\\Kovrin.exe,0" ]
check "DisplayVersion $KOVRIN_VERSION" [ "$(value DisplayVersion)" = "$KOVRIN_VERSION" ]
check "a Publisher" [ "$(value Publisher)" = Kovrin ]
check "InstallLocation the folder ($(value InstallLocation))" [ "$(value InstallLocation)" = "$INST_WIN" ]
check "UninstallString quoted ($(value UninstallString))" \
    [ "$(value UninstallString)" = "\"$INST_WIN\\Uninstall.exe\"" ]
check "QuietUninstallString quoted with /S" \
    [ "$(value QuietUninstallString)" = "\"$INST_WIN\\Uninstall.exe\" /S" ]
check "NoModify 1" [ "$(value NoModify)" = 0x1 ]
check "NoRepair 1" [ "$(value NoRepair)" = 0x1 ]
# In KB, at least the program files' size (the uninstaller adds a little).
program_kb=$(program_files | (cd "$KOVRIN_DIST" && xargs du -cb) | awk 'END { print int($1 / 1024) }')
size=$(value EstimatedSize)
check "EstimatedSize ($size) in KB, the program files' $program_kb or a little more" \
    eval '[ "$size" != "(missing)" ] && [ $((size)) -ge "$program_kb" ] && [ $((size)) -le $((program_kb + 200)) ]'
check "the autorun value is the program's full path, as the settings page writes it" \
    [ "$(reg_value "$RUN_KEY" Kovrin)" = "$INST_WIN\\Kovrin.exe" ]

# The monitor the installer started, in its folder, with the default settings (COM1).
check "the monitor runs" wait_until 20 eval '[ -n "$(kovrin_process)" ]'
check "it links to the UPS" wait_until 40 eval \
    '[ -f "$INST/Kovrin.lgb" ] && journal_records "$INST/Kovrin.lgb" | grep -qx "1 Связь с UPS успешно установлена."'
polls_before=$(sim_poll_times | wc -l)
sleep 3
check "and keeps polling ($polls_before, then $(sim_poll_times | wc -l) status requests)" \
    [ "$(sim_poll_times | wc -l)" -gt "$polls_before" ]
close_kovrin
check "its journal ends with the end of the run" \
    eval '[ "$(journal_records "$INST/Kovrin.lgb" | tail -n 2 | head -n 1)" = "1 Выход." ]'
finish
