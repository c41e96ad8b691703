#!/usr/bin/env python3
"""Writes the seed corpora of the harnesses into fuzz/corpus/<target>/.

Each seed is small and looks like what the code meets in the field. Run it again after
changing a harness's input layout; the files it writes are committed.
"""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

STATUS = b"(219.0 219.0 220.0 025 50.0 13.6 25.0 00001001\r"
RATING = b"#220.0 000 024.0 50.0\r"
INFO = b"#MEGATEC         UPS-1000   V2.1      \r"


def driver(cmd, answer=b"", flags=0x40, piece=0, outsel=0, atd=0, timeout=2000,
           arg=b"", stale=b"", qfail=0, rfail=0, errs=0, lie=0):
    t = (timeout + 100) // 20
    return bytes([cmd, flags, piece, outsel, atd, t, len(arg), len(stale),
                  qfail, rfail, errs, lie]) + arg + stale + answer


DRIVER = {
    "status": driver(0, STATUS),
    "status_pieces": driver(0, STATUS, piece=5),
    "status_on_battery": driver(0, b"(000.0 000.0 228.0 045 00.0 12.1 30.5 10001001\r"),
    "status_garbled": driver(0, b"(@@@.@ 219.0 --.-- 025 50.0 13.6 25.0 00101001\r"),
    "status_cells": driver(0, b"(230.0 230.0 230.0 010 50.0 2.27 25.0 00001000\r"),
    "status_short": driver(0, STATUS[:-2] + b"\r"),
    "status_no_cr": driver(0, STATUS[:-1]),
    "status_lf": driver(0, STATUS[:-1] + b"\r\n"),
    "status_nul": driver(0, STATUS[:20] + b"\0" + STATUS[21:]),
    "status_alt_diff": driver(0, b"(240.0 240.0 228.0 025 50.0 13.6 25.0 00000000\r", atd=10),
    "status_stale": driver(0, STATUS, stale=b"(NAK\r#220.0 000"),
    "status_big_stale": driver(0, STATUS, flags=0xC0, stale=b"x" * 40),
    "status_read_fault": driver(0, STATUS, piece=10, rfail=0x04),
    "status_errors": driver(0, STATUS, piece=7, errs=0x05, qfail=0x02, lie=0x08),
    "status_nak": driver(0, b"(NAK\r"),
    "status_no_answer": driver(0, b"", timeout=300),
    "info": driver(9, INFO),
    "info_blank": driver(9, b"#                                      \r"),
    "rating": driver(10, RATING),
    "rating_nak": driver(10, b"NAK\r"),
    "custom": driver(11, b"(230.0 13.6 ACK\r", outsel=0, arg=b"Q1"),
    "custom_ack": driver(11, b"ACK\r", outsel=8, arg=b"M"),
    "custom_echo": driver(11, b"", flags=0x60, outsel=100, arg=b"Q1"),
    "custom_long": driver(11, b"#" + b"A" * 300 + b"\r", outsel=255, arg=b"I"),
    "test_minutes": driver(3, arg=b"99"),
    "shutdown": driver(5, arg=b".2"),
    "shutdown_restore": driver(6, arg=b".5 0010"),
    "shutdown_short_arg": driver(6, arg=b"05"),
    "cancel": driver(7),
    "cancel_test": driver(8),
    "beep_on": driver(12, flags=0x44),
    "beep_off": driver(13, flags=0x44),
    "write_short": driver(1, flags=0x50),
    "no_output": driver(0, STATUS, flags=0x41),
    "identify": driver(15, RATING + INFO),
    "poll_power_fail": driver(0x10, b"(000.0 000.0 228.0 085 00.0 11.1 30.5 10001001\r"),
    "poll_power_back": driver(0x10, STATUS, outsel=0x03),
    "poll_garbled": driver(0x10, b"(@@@.@ 219.0 --.-- 255 50.0 13.6 25.0 11111111\r"),
    "identify_no_info": driver(15, RATING + b"NAK\r"),
}

INI = {
    "basic": b"[Main]\r\nPort=COM3\r\nInterval=2500\r\nFailInterval=1000\r\nStatInterval=10000\r\n"
             b"TimeOut=2000\r\nMinBattVoltage=10.5\r\nMaxBattVoltage=13.6\r\nAltTransDiff=0\r\n"
             b"DevLog=dev.log\r\nFormTop=100\r\nFormLeft=200\r\n",
    "comments": b"; settings\r\n  Port = COM3 ; comment\r\nport==COM4\r\nPORTABLE=1\r\nDTR=false\r\n",
    "limits": b"Interval=100\r\nFailInterval=-5\r\nStatInterval=1000\r\nAltTransDiff=300\r\n"
              b"MinBattVoltage=13.6\r\nMaxBattVoltage=10.0\r\n",
    "quotes": b"DevLog=\"D:\\logs\\dev.log\"\r\nPort=\"COM1\r\nsecond\" line\r\nRTS=0\r\n",
    "open_quote": b"DevLog=\"never closed\r\nmore\r\n",
    "lf_only": b"Port=COM2\nInterval=3000\nDevLog=D:\\x.log\n",
    "long_line": b"Port=" + b"X" * 300 + b"\r\nInterval=700\r\n",
    "numbers": b"MinBattVoltage=1e39\r\nMaxBattVoltage=nan\r\nTimeOut=99999999999\r\n",
}


INI_KEYS = [b"Port", b"Interval", b"FailInterval", b"StatInterval", b"MinBattVoltage",
            b"MaxBattVoltage", b"AltTransDiff", b"DevLog"]


def ini(key, content, chunk=0, also=b"Port"):
    return bytes([len(key) | INI_KEYS.index(also) << 5, chunk]) + key + content


def status(inp=219.0, fault=219.0, out=220.0, batt=13.6, freq=50.0, temp=25.0, load=25,
           charge=80, flags=0x0120, start=0.0, time=0.0):
    return struct.pack("<6fBBHdd", inp, fault, out, batt, freq, temp, load, charge, flags,
                       start, time)


EXPRESSIONS = {
    "batt_below": (status(batt=11.6), status(batt=11.4), 0, 0, b"%BATT < 11.5"),
    "load_above": (status(load=75), status(load=85), 0, 0, b"%LOAD > 80"),
    "acftime": (status(time=0.003), status(time=0.004), 0, 0, b"%ACFTIME > 0.0035"),
    "macro_number": (status(), status(), 0, 0, b"%INPUT < $OUTPUT"),
    "message": (status(), status(inp=229.96), 0, 0,
                b"Input $INPUT, output $OUTPUT, battery $BATTERY, load $LOAD%, $ACFTIME"),
    "all_macros": (status(), status(), 0, 0,
                   b"$INPUT$OUTPUT$BATT$FAIL$FREQ$TERM$LOAD$CHARGE$ACFTIME$$INPUTT"),
    "nan": (status(), status(), 0x7F, 0, b"%TERM <> 25 $TERM $ACFTIME $LOAD"),
    "inf": (status(), status(), 0x4F, 1, b"%OUTPUT >= 1e38 $OUTPUT"),
    "no_spaces": (status(), status(), 0, 0, b"%INPUT<180"),
    "leading_space": (status(), status(), 0, 0, b" %CHARGE = 50"),
}

RULE = struct.Struct("<HBB256s256s")
OLD_RULE = struct.Struct("<HBB256s")
COMMAND = struct.Struct("<HB51s51s")
JOURNAL = struct.Struct("<Bd6s101s")


def text(s, size):
    return bytes([len(s)]) + s.ljust(size - 1, b"\0")


def datafiles(flags, after, layouts, pool):
    return bytes([flags, after]) + bytes(layouts) + pool


RULES = RULE.pack(1, 0, 6, text(b"Power fail: $INPUT", 256), text(b"", 256)) + \
    RULE.pack(2, 10, 9, text(b"Battery low", 256), text(b"%BATT < 11.5", 256))
OLD_RULES = OLD_RULE.pack(3, 1, 7, text(b"\"C:\\Program Files\\x.exe\" -a", 256)) + \
    OLD_RULE.pack(7, 0, 0, text(b"", 256))
COMMANDS = COMMAND.pack(1, 6, text(b"Off in 30 s", 51), text(b".5 0010", 51)) + \
    COMMAND.pack(4, 11, text(b"Status", 51), text(b"Q1", 51))
JOURNAL_RECORDS = JOURNAL.pack(1, 46364.5, text(b"COM1", 6), text(b"Start", 101)) + \
    JOURNAL.pack(0, 46364.6, text(b"COM1", 6), text(b"", 101))
STATS = struct.pack("<d", 46364.5) + status()

DATAFILES = {
    # Failure mask and read size (when the flags ask for them), then a layout byte per
    # file (bits 0-5 records, 6-7 layout) with its extra byte; the pool fills the files.
    "first_start": datafiles(0xF0, 0x03, [0, 0, 0, 0], b""),
    "current": datafiles(0x00, 0x03, [2, 2, 2, 1], RULES + COMMANDS + JOURNAL_RECORDS + STATS),
    "old_yes": datafiles(0x01, 0x01, [0x42, 2, 2, 1], OLD_RULES + COMMANDS + JOURNAL_RECORDS + STATS),
    "old_no": datafiles(0x00, 0x00, [0x42, 2, 2, 1], OLD_RULES + COMMANDS + JOURNAL_RECORDS + STATS),
    "unknown_520": datafiles(0x01, 0x00, [0x81, 3, 0, 0, 0], b""),
    "torn_journal": datafiles(0x00, 0x03, [0, 0, 0x81, 50, 0x81, 20], JOURNAL_RECORDS + STATS),
    "old_with_faults": datafiles(0x03, 0x00, [0, 0, 0, 0, 0x80, 0, 0, 0] + [0x42, 2, 2, 0],
                                 OLD_RULES + COMMANDS + JOURNAL_RECORDS),
    "short_reads": datafiles(0x05, 0x00, [7, 0x42, 2, 2, 0], OLD_RULES + COMMANDS + JOURNAL_RECORDS),
}

DEVLOG = {
    "status": STATUS,
    "lf": b"ACK\r\n",
    "nul": b"A\0B\r",
    "binary": bytes(range(0, 256, 7)),
    "cyrillic": "Запуск...".encode("cp1251") + b"\r",
}


INFO_RECORD = text(b"MEGATEC        ", 16) + text(b"SIM-1000VA", 11) + text(b"V2.4      ", 11)
RATING_RECORD = struct.pack("<fffi", 220.0, 12.0, 50.0, 3)


def net(setup, *ops, st=None):
    """Settings byte, the snapshot's records, then the operations (see fuzz_netserver.cpp)."""
    return bytes([setup]) + (st or status()) + INFO_RECORD + RATING_RECORD + b"".join(ops)


def connect(c): return bytes([c << 3 | 0])
def send(c, data):
    assert len(data) < 0xF0
    return bytes([c << 3 | 1, len(data)]) + data


def flood(c, hundreds, byte): return bytes([c << 3 | 1, 0xEF + hundreds, byte])
def read(c, units=255): return bytes([c << 3 | 2, units])
def gone(c): return bytes([c << 3 | 3])
def wait(tens_of_seconds): return bytes([4, tens_of_seconds])
def take(): return bytes([5])
def stale(): return bytes([6])
def canned(c, i): return bytes([c << 3 | 7, i])


NETSERVER = {
    "upsc": net(4, connect(0), send(0, b"STARTTLS\nLIST VAR ups\nLOGOUT\n"), read(0), gone(0)),
    "upscmd": net(4, connect(1), canned(1, 0), canned(1, 1),
                  send(1, b"INSTCMD ups test.battery.start.quick\n"), read(1), take()),
    "upsmon": net(4, connect(2), send(2, b"STARTTLS\nUSERNAME monuser\nPASSWORD secret\n"),
                  canned(2, 2), send(2, b"GET VAR ups ups.status\r\n"), read(2), take(),
                  canned(2, 6), read(2), gone(2), take()),
    "wrong_password": net(4, connect(0), send(0, b"USERNAME monuser\nPASSWORD nope\nLOGIN ups\n"),
                          read(0)),
    "no_password": net(0, connect(0), canned(0, 0), canned(0, 1), canned(0, 2), canned(0, 6),
                       read(0), take()),
    "junk": net(4, connect(3), send(3, bytes(range(1, 200))), send(3, bytes(range(255, 55, -1))),
                send(3, b"\x00" * 200 + b"\n"), send(3, b"NETVER\n"), read(3)),
    "flood": net(4, connect(4), flood(4, 16, 0x41), send(4, b"\nNETVER\n"), flood(4, 3, 0x0A),
                 canned(4, 7), read(4), read(4)),
    "many": net(4, *[connect(c) + send(c, b"LIST VAR ups\n") for c in range(32)],
                *[read(c, 3) for c in range(32)]),
    "stale": net(5, connect(0), send(0, b"GET VAR ups ups.status\nLIST UPS\n"), stale(),
                 send(0, b"LIST VAR ups\n"), read(0)),
    "idle": net(4, connect(0), connect(1), canned(1, 0), canned(1, 1), canned(1, 2), wait(20),
                canned(1, 10), wait(11), take()),
    "slow_reader": net(4, connect(0), *[send(0, b"LIST VAR ups\nLIST CMD ups\n")] * 30,
                       read(0, 10), send(0, b"GET UPSDESC ups\n"), read(0)),
    "quoted": net(12, connect(0), send(0, b'USERNAME "mon\\"user"\nPASSWORD "se cret\nLIST ENUM Nas.1 "ups.status"\n'),
                  read(0)),
    "on_battery": net(6, connect(0), send(0, b"GET VAR ups ups.status\nLIST VAR ups\n"), read(0),
                      st=status(inp=0.0, fault=0.0, out=0.0, flags=0x0003, load=255)),
}


def write(target, seeds):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


def main():
    write("fuzz_driver", DRIVER)
    seeds = {}
    for i, (name, content) in enumerate(INI.items()):
        seeds[name] = ini(b"Port", content, also=INI_KEYS[i % len(INI_KEYS)])
    seeds["devlog_key"] = ini(b"devlog", INI["quotes"], chunk=3)
    seeds["empty_key"] = ini(b"", INI["comments"])
    write("fuzz_ini", seeds)
    write("fuzz_expressions", {name: prev + cur + bytes([sp, wh]) + t
                               for name, (prev, cur, sp, wh, t) in EXPRESSIONS.items()})
    write("fuzz_datafiles", DATAFILES)
    write("fuzz_devlog", DEVLOG)
    write("fuzz_netserver", NETSERVER)
    return 0


if __name__ == "__main__":
    sys.exit(main())
