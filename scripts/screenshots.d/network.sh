# The network server's window over the settings page (sourced by scripts/screenshots.sh):
# switched on for every address, so that the firewall hint stands out, then cancelled.
ui tab 5 >/dev/null
ui click 614 >/dev/null
ui click 650 >/dev/null
ui set-text 651 "0.0.0.0" >/dev/null
ui set-text 655 "secret" >/dev/null
shot network-server "Сетевой сервер ИБП"
ui click 658 >/dev/null
sleep 0.5
