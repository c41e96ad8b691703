# Helpers of the network UPS server's end-to-end tests, sourced after lib.sh: a free TCP
# port on the loopback, the raw protocol client, and Debian's clients (nut-client).
NUT_CLIENT="$KOVRIN_SOURCE/tests/e2e/nut_client.py"
command -v upsc >/dev/null || { echo "upsc missing: install the Debian package nut-client"; exit 1; }

# A port nothing listens on now (the two test lanes run at once, so no fixed number).
free_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}
nut() { timeout 60 python3 "$NUT_CLIENT" "$@"; } # PORT COMMAND ...
# upsc's value of one variable, or its error text.
upsc_var() { timeout 20 upsc "ups@127.0.0.1:$1" "$2" 2>&1 | grep -v '^Init SSL'; }
# The fields of the last status answer the simulator sent: input fault output load freq
# battery temp.
sim_last_status() {
    awk '$2 == "TX" && $3 ~ /^"\(/ { s = $0 } END { sub(/^[^(]*\(/, "", s); print s }' "$WORK/sim.log" |
        awk '{ print $1, $2, $3, $4, $5, $6, $7 }'
}
# Numbers equal to the given decimals ("231.5" and "231.50").
same_number() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a + 0 == b + 0) }'; }
upsc_is() { [ "$(upsc_var "$1" "$2")" = "$3" ]; } # PORT VARIABLE VALUE
journal_matches() { journal_texts | grep -q -- "$1"; }
# Whether nothing listens on the port (any answer at all counts as listening).
nut_refused() { if nut "$1" ask NETVER >/dev/null 2>&1; then return 1; fi; return 0; }
