#!/usr/bin/env python3
"""A raw client of the network UPS server, for the end-to-end tests and the benchmark.

    nut_client.py PORT ask LINE...            each line sent in turn; every reply printed
    nut_client.py PORT lists CLIENTS ROUNDS   CLIENTS connections at once, each asking
                                              LIST VAR ups ROUNDS times; exit 0 when every
                                              list is complete
    nut_client.py PORT crowd                  MaxClients connections, then one more: prints
                                              what the one more is told; exit 0 when the
                                              others all still answer
    nut_client.py PORT junk                   binary junk without a line end, an overlong
                                              line, then NETVER: prints the replies
    nut_client.py PORT roundtrip N            N GET VAR requests one after the other on one
                                              connection: prints "median MS max MS"

Talks to 127.0.0.1 only; every wait is bounded (10 s per reply).
"""
import socket
import statistics
import sys
import threading
import time

HOST = "127.0.0.1"
MAX_CLIENTS = 64
TIMEOUT = 10.0


class Client:
    def __init__(self, port):
        self.sock = socket.create_connection((HOST, port), timeout=TIMEOUT)
        self.buf = b""

    def line(self):
        while b"\n" not in self.buf:
            data = self.sock.recv(65536)
            if not data:
                raise ConnectionError("closed by the server")
            self.buf += data
        line, self.buf = self.buf.split(b"\n", 1)
        return line.decode("latin-1")

    def ask(self, request):
        """One request; the reply's lines (a list's lines up to its END)."""
        self.sock.sendall(request.encode("latin-1") + b"\n")
        first = self.line()
        lines = [first]
        if first.startswith("BEGIN LIST "):
            end = "END LIST " + first[len("BEGIN LIST "):]
            while lines[-1] != end:
                lines.append(self.line())
        return lines

    def close(self):
        self.sock.close()


def ask(port, requests):
    c = Client(port)
    for r in requests:
        for line in c.ask(r):
            print(line)
    c.close()
    return 0


def lists(port, clients, rounds):
    results = [None] * clients
    gate = threading.Barrier(clients)

    def run(i):
        try:
            c = Client(port)
            gate.wait(timeout=TIMEOUT)
            counts = []
            for _ in range(rounds):
                reply = c.ask("LIST VAR ups")
                complete = reply[0] == "BEGIN LIST VAR ups" and reply[-1] == "END LIST VAR ups"
                counts.append(len(reply) - 2 if complete else -1)
            c.close()
            results[i] = counts
        except Exception as e:  # reported below as an incomplete client
            results[i] = repr(e)

    start = time.monotonic()
    threads = [threading.Thread(target=run, args=(i,)) for i in range(clients)]
    for t in threads:
        t.start()
    for t in threads:
        t.join(timeout=TIMEOUT * rounds + 30)
    seconds = time.monotonic() - start
    failed = [r for r in results if not isinstance(r, list)]
    counts = [n for r in results if isinstance(r, list) for n in r]
    expected = max(counts) if counts else 0
    complete = sum(1 for n in counts if n == expected and n > 0)
    total = clients * rounds
    print("lists %d of %d complete, %d variables each, %.0f requests/s over %.2f s"
          % (complete, total, expected, total / seconds if seconds else 0, seconds))
    for f in failed[:3]:
        print("client failed:", f)
    return 0 if complete == total and not failed else 1


def crowd(port):
    held = [Client(port) for _ in range(MAX_CLIENTS)]
    # Every one is in before the one too many comes.
    for c in held:
        c.ask("NETVER")
    extra = Client(port)
    try:
        told = extra.line()
    except (ConnectionError, OSError) as e:
        told = "(nothing: %s)" % e
    print("one too many:", told)
    try:
        closed = extra.sock.recv(1) == b""
    except OSError:
        closed = True
    print("then closed:", closed)
    answering = sum(1 for c in held if c.ask("NETVER") == ["1.3"])
    print("the others answering: %d of %d" % (answering, MAX_CLIENTS))
    for c in held:
        c.close()
    return 0 if answering == MAX_CLIENTS and closed else 1


def junk(port):
    c = Client(port)
    blob = bytes((i * 131 + 7) % 256 for i in range(100000)).replace(b"\n", b"x")
    c.sock.sendall(blob)
    print("after 100000 bytes without a line end:", c.line())
    c.sock.sendall(b"\n" + b"A" * 600 + b"\nNETVER\n")
    print("overlong line:", c.line())
    print("then NETVER:", c.line())
    c.close()
    return 0


def roundtrip(port, n):
    c = Client(port)
    times = []
    for _ in range(n):
        t = time.perf_counter()
        reply = c.ask("GET VAR ups ups.status")
        times.append((time.perf_counter() - t) * 1000)
        if not reply[0].startswith("VAR ups ups.status "):
            print("unexpected:", reply[0])
            return 1
    c.close()
    print("median %.2f max %.2f" % (statistics.median(times), max(times)))
    return 0


def main(argv):
    port, command, rest = int(argv[1]), argv[2], argv[3:]
    if command == "ask":
        return ask(port, rest)
    if command == "lists":
        return lists(port, int(rest[0]), int(rest[1]))
    if command == "crowd":
        return crowd(port)
    if command == "junk":
        return junk(port)
    if command == "roundtrip":
        return roundtrip(port, int(rest[0]))
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
