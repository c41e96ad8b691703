# The journal page filtered, the diagram over yesterday's statistics (a day of history
# written before the monitor started) and its range window (sourced by scripts/screenshots.sh).

ui tab 3 >/dev/null
ui select 401 2 >/dev/null # "Предупреждения"
sleep 1
shot journal-warnings
ui select 401 0 >/dev/null

ui click 403 >/dev/null # "Диаграмма..."
sleep 2
ui set-text 1201 "$(date -d yesterday +%d.%m.%y)" >/dev/null
ui set-text 1202 00:00:00 >/dev/null
ui select 1204 6 >/dev/null # "сутки"
ui click 1205 >/dev/null
shot diagram "Диаграмма"
ui click 1203 >/dev/null # the range window
sleep 1.5
shot diagram-range "Выбор начальной точки"
ui click 1305 >/dev/null
sleep 1
ui key 1201 27 >/dev/null
sleep 1
