# The event rules page with a few rules, and the event editor on each kind of page
# (sourced by scripts/screenshots.sh, after the custom commands were made).

ui tab 2 >/dev/null
event_editor() { # source-index action-index
    ui click 304 >/dev/null # "Новое..."
    sleep 1
    ui select 1100 "$1" >/dev/null
    ui select 1101 "$2" >/dev/null
}
event_ok() {
    ui click 1110 >/dev/null
    sleep 1
}

# A message on the screen at a mains failure.
event_editor 0 6
ui set-text 1105 'Сбой сети! Батарея $BATT В' >/dev/null
shot event-editor-message "Редактор событий"
event_ok
# The battery's voltage in the journal once it falls below 12.5 V.
event_editor 10 9
ui select 1102 2 >/dev/null
ui select 1103 3 >/dev/null
ui set-text 1104 12.5 >/dev/null
ui set-text 1109 'Батарея $BATT В' >/dev/null
shot event-editor-expression "Редактор событий"
event_ok
# A program of the operating system at the start of the monitor.
event_editor 11 7
ui set-text 1106 '"C:\Program Files\Backup\backup.exe" /quiet' >/dev/null
shot event-editor-program "Редактор событий"
event_ok
# A custom command of the UPS when the battery is low.
event_editor 2 8
ui select 1108 0 >/dev/null
shot event-editor-ups-command "Редактор событий"
event_ok
# Hibernation or a shutdown when the link is lost: no parameters either side.
event_editor 13 5
shot event-editor-no-parameters "Редактор событий"
event_ok
# A field left empty: the editor says so, and keeps what was chosen.
event_editor 0 9
ui click 1110 >/dev/null
sleep 1
shot event-editor-refused "Внимание!"
close_box || true
sleep 0.5
ui click 1111 >/dev/null
sleep 1

ui select-row 300 1 >/dev/null
shot events-page
