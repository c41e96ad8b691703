# The terminal with a few exchanges, the command editor on each kind of parameter page,
# and the custom command list (sourced by scripts/screenshots.sh).

terminal_command() { # text
    ui type 500 "$1" >/dev/null
    sleep 0.3
    ui key 500 13 >/dev/null
    sleep 2
}
ui tab 4 >/dev/null
terminal_command "Q1"
terminal_command "F"
terminal_command "I"
terminal_command "QX" # the simulator echoes what it does not know: no answer
shot terminal

# The editor: one picture per kind of page, then the command made.
ui tab 1 >/dev/null
editor_page() { # name kind-index [field-id value]...
    local name=$1 kind=$2
    shift 2
    ui select 1001 "$kind" >/dev/null
    while [ $# -ge 2 ]; do
        case "$1" in
        1031 | 1032) ui select "$1" "$2" >/dev/null ;;
        *) ui set-text "$1" "$2" >/dev/null ;;
        esac
        shift 2
    done
    shot "command-editor-$name" "Редактор команд"
}
new_command() { # description
    ui click 252 >/dev/null
    sleep 1
    ui set-text 1000 "$1" >/dev/null
}
new_command "Тест 10 секунд"
editor_page none 0
ui click 1098 >/dev/null
sleep 1
new_command "Тест 5 минут"
editor_page minutes 2 1030 5
ui click 1098 >/dev/null
sleep 1
new_command "Выключение через 3 минуты"
editor_page delay 4 1031 10
ui click 1098 >/dev/null
sleep 1
new_command "Выключение на 10 минут"
editor_page delay-restore 5 1032 3 1033 10
ui click 1098 >/dev/null
sleep 1
new_command "Состояние UPS"
editor_page text 8 1034 "Q1"
ui click 1098 >/dev/null
sleep 1
# A field left empty: the editor says so.
new_command "Без текста"
ui select 1001 8 >/dev/null
ui click 1098 >/dev/null
sleep 1
shot command-editor-refused "Внимание!"
close_box || true
sleep 0.5
ui click 1099 >/dev/null
sleep 1

ui select-row 250 4 >/dev/null
shot command-list
# The last command run: its text echoed, then the answer.
ui click 251 >/dev/null
sleep 2
ui tab 4 >/dev/null
shot terminal-executed
# The delete question, answered No.
ui tab 1 >/dev/null
ui select-row 250 0 >/dev/null
ui click 253 >/dev/null
sleep 1
shot command-delete-question "Внимание!"
answer_box 7 || true
