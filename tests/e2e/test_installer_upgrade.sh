#!/usr/bin/env bash
# An installer run over an older installed copy (in a folder of the user's choice) while
# its monitor runs with a journal, statistics, rules, commands and a device log: the
# installer finds the folder, the monitor ends by itself in order, the new program files
# are in place, every data file is what it was plus the end of that run, and the monitor
# is started again.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/install_lib.sh"
skip_unless_i386

fresh_prefix
start_simulator -- "180 quit"
chosen='C:\Мои программы\Kovrin ИБП'
# /D= stands last and unquoted, spaces and all: Wine would quote it as one argument, so
# its words go as separate ones and Wine joins them with single spaces.
# shellcheck disable=SC2086
run_installer /S /AUTORUN=0 /D=$chosen
check "the first install ends with status 0 (got $INSTALLER_STATUS)" [ "$INSTALLER_STATUS" = 0 ]
registered_install_dir
check "into the folder given with /D= ($INST_WIN)" [ "$INST_WIN" = "$chosen" ]
# An older copy: its programs differ from this build's (bytes past the image, which
# Windows ignores) and the registry names an older version.
printf 'older build' >>"$INST/Kovrin.exe"
printf 'older build' >>"$INST/DIALOG.DLL"
wine reg add "$UNINSTALL_KEY" /v DisplayVersion /d 0.34.0 /f >/dev/null 2>&1

write_ini "$INST" "[Main]" "Port=COM1" "Interval=1000" "StatInterval=1000" "DevLog=dev.log"
WORK=$INST add_rule 1 0 9 "Сеть пропала"
WORK=$INST add_command 1 0 "Состояние" ""
printf '{\\rtf1 Q1}' >"$INST/Term.ups"
data_files=(Kovrin.ini Events.ups CustCmds.ups Term.ups Kovrin.lgb Stat.ups dev.log)

start_installed_kovrin
check "the older monitor links to the UPS" wait_until 40 eval \
    '[ -f "$INST/Kovrin.lgb" ] && journal_records "$INST/Kovrin.lgb" | grep -qx "1 Связь с UPS успешно установлена."'
check "and writes statistics" wait_until 20 eval '[ "$(file_size "$INST/Stat.ups")" -ge 104 ]'
mkdir -p "$WORK/before"
for f in "${data_files[@]}"; do cp "$INST/$f" "$WORK/before/$f"; done
journal_before=$(stat -c %s "$WORK/before/Kovrin.lgb")

run_installer /S
check "the upgrade ends with status 0 (got $INSTALLER_STATUS)" [ "$INSTALLER_STATUS" = 0 ]
check "the older monitor has ended, with no request but the installer's" kovrin_ended
check "the program files are this build's" has_program_files "$INST"
check "the uninstall entry names this version" \
    [ "$(reg_value "$UNINSTALL_KEY" DisplayVersion)" = "$KOVRIN_VERSION" ]
check "autorun stays off as the user had it" not reg_value "$RUN_KEY" Kovrin

for f in Kovrin.ini Events.ups CustCmds.ups Term.ups; do
    check "$f byte for byte as it was" cmp -s "$INST/$f" "$WORK/before/$f"
done
for f in Stat.ups dev.log Kovrin.lgb; do
    check "$f begins with what it was" begins_with "$INST/$f" "$WORK/before/$f"
done
mapfile -t added < <(journal_records "$INST/Kovrin.lgb" "$journal_before")
check "the journal gained the end of the run: ${added[*]:0:3}" \
    eval '[ "${added[0]:-}" = "1 Завершение работы..." ] && [ "${added[1]:-}" = "1 Выход." ] &&
          [ "${added[2]:-}" = "0 " ]'

# The installer started the monitor again, as it found it.
check "the monitor runs again" wait_until 20 eval '[ -n "$(kovrin_process)" ]'
check "and journals its start after the end of the last run" wait_until 30 eval \
    '[ "$(journal_records "$INST/Kovrin.lgb" "$journal_before" | sed -n 4p)" = "1 Запуск..." ]'
close_kovrin
finish
