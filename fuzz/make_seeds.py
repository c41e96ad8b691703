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


# The window library's readers.

def cp(s):
    return s.encode("cp1251")


def history(content, flags=0, lines=0, chars=0, color=(255, 255, 255)):
    return bytes([flags, lines, chars]) + bytes(color) + content


RTF_SAVED = (b"{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl{\\f0\\fmodern\\fprq1"
             b"\\fcharset204 Courier New;}}\r\n{\\colortbl ;\\red255\\green255\\blue255;"
             b"\\red255\\green255\\blue0;\\red128\\green128\\blue128;}\r\n"
             b"{\\*\\generator Riched20 10.0;}\\viewkind4\\uc1\\pard\\cf1\\b\\f0\\fs16 Q1\\par\r\n"
             b"\\cf2 (230.0 195.0 229.0 025 50.0 13.6 31.0 00001000\\par\r\n"
             b"\\cf3 <\\'ed\\'e5\\'f2 \\u1086\\'ee\\u1090?>\\par\r\n\\cf1\\par\r\n}\r\n")
RTF_OURS = (b"{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset204 "
            b"Courier New;}}\n{\\colortbl ;\\red255\\green255\\blue255;\\red255\\green255\\blue0;}"
            b"\n\\pard\\plain\\f0\\fs16\\b\\cf1 Q1\\par\n\\cf2 ACK \\{x\\} \\\\y\\tab "
            b"\\'c1\\par\n\\cf1 }")

HISTORY = {
    "plain": history(b"Q1\r\n(230.0 195.0 229.0 025 50.0 13.6 31.0 00001000\r\n" +
                     cp("<нет ответа от UPS>") + b"\r\nT\r\n\r\n\r\n"),
    "plain_mixed_ends": history(b"Q1\r(230.0\nF\r\n#220.0 000 024.0 50.0\x00\x01\tx\n"),
    "rtf_saved": history(RTF_SAVED),
    "rtf_ours": history(RTF_OURS, color=(0, 255, 0)),
    "rtf_cut": history(RTF_SAVED[:200]),
    "rtf_trimmed": history(RTF_SAVED, lines=2, chars=3),
    "rtf_nested": history(b"{\\rtf1 a{\\b b{\\i c\\par d" + b"{" * 80 + b"deep}}}}} e\\line f"),
    "rtf_odd": history(b"{\\rtf1 a}}}} b\\cf99999999999 c\\uc2 \\u-4000 de\\u1025\\'a8 "
                       b"{\\bin3 }}}x\\~\\_\\emdash\\bullet\\ldblquote}"),
    "rtf_tables": history(b"{\\rtf1{\\colortbl;\\red1;\\green2\\blue3;;\\red300\\blue-5;}"
                          b"{\\fonttbl{\\f0 x;}}{\\*\\unknown y}\\cf2 z\\cf4 w\\plain v"
                          b"\\cell\\row\\tab t}"),
    "plain_flagged_rtf": history(b"Q1\\par x", flags=1, lines=3, chars=1),
}


def sections(content, key=0, spelling=0, other_writer=b"", fail_mask=0, chunk=0, value=b"COM2",
             settings=0):
    flags = key | spelling << 4 | (0x40 if other_writer else 0) | (0x80 if fail_mask else 0)
    return bytes([flags, fail_mask, chunk, len(value), len(other_writer), settings]) + \
        value + other_writer + content


KOVRIN_INI = (b"; written by hand\r\n[Main]\r\nPort=COM3 ; mine\r\nDevLog=D:\\logs\\dev.log\r\n"
              b"Interval=2500\r\nFailInterval=1000\r\nStatInterval=10000\r\nTimeOut=2000\r\n"
              b"MinBattVoltage=10.5\r\nMaxBattVoltage=13.6\r\nAltTransDiff=0\r\nFormTop=120\r\n"
              b"\r\n[Diagramm]\r\nBeginDate=01.01.04\r\nBeginTime=00:00:00\r\nLength=3\r\n"
              b"InpV=1\r\nOutV=0\r\n")

SECTIONS = {
    "port": sections(KOVRIN_INI, settings=4),
    "interval_upper": sections(KOVRIN_INI, key=1, spelling=1, value=b"1000"),
    "date_lower": sections(KOVRIN_INI, key=11, spelling=2, value=b"14.03.26", settings=9),
    "missing_file": sections(b"", key=13, spelling=3, value=b"5"),
    "no_final_end": sections(b"[Main]\r\nPort=COM2", key=5, value=b"0"),
    "lone_cr": sections(b"[Main]\r\nStatInterval=1000\r", key=8, value=b"13.6"),
    "lf_only": sections(b"[Main]\nInterval=3000\n[Diagramm]\nLength=9\n", key=13, value=b"2",
                        settings=10),
    "twice": sections(b"[Main]\r\nA=1\r\n[X]\r\n[main]\r\nPort=OLD\r\n\r\n[Main]\r\nPort=X\r\n",
                      value=b"COM4"),
    "odd_headers": sections(b"[ Main ]\r\n  port = COM1 \r\n[Main\r\n[]\r\nx\r\n=y\r\n;[Main]\r\n",
                            value=b"\"quoted\""),
    "value_lines": sections(KOVRIN_INI, value=b"COM1\r\nInterval=1"),
    "other_writer": sections(KOVRIN_INI, key=14, other_writer=b"[Diagramm]\r\nCharg=1\r\n",
                             value=b"0"),
    "save_fails": sections(KOVRIN_INI, key=12, fail_mask=0x0C, chunk=5, value=b"12:30:00"),
    "wild_settings": sections(b"[Main]\r\nInterval=-5\r\nTimeOut=x\r\nStatInterval=100\r\n"
                              b"MinBattVoltage=1e39\r\nMaxBattVoltage=nan\r\nAltTransDiff=300\r\n"
                              b"Port=\"'a'\"\r\n[Diagramm]\r\nBeginDate=29.02.2000\r\n"
                              b"BeginTime=25:00\r\nLength=8\r\n", key=9, value=b"10", settings=15),
}


def days(y, m, d):
    import datetime
    return float((datetime.date(y, m, d) - datetime.date(1899, 12, 30)).days)


DAY = days(2026, 3, 14)
STAT = struct.Struct("<d6fBBHdd")


def stat(time, inp=229.0, out=229.0, batt=13.6, freq=50.0, load=25, charge=100, flags=0x0120):
    return STAT.pack(time, inp, 0.0, out, batt, freq, 31.0, load, charge, flags, 0.0, 0.0)


def statistics(records, points=100, visible=0x37, mask=0, chunk=0, width=3, start_record=0,
               tail=b"", start=None, length=None, missing=False):
    flags = visible | (0x40 if mask else 0) | (0x80 if missing else 0)
    head = bytes([points, flags, mask, chunk])
    if start is None:
        head += bytes([width | 0x08 | start_record << 4])
    else:
        head += bytes([width]) + struct.pack("<dd", start, length)
    return head + b"".join(records) + tail


MINUTE = 1.0 / 1440
STATISTICS = {
    "hour": statistics([stat(DAY + i * MINUTE, inp=220 + i % 7) for i in range(60)], points=7),
    "day_100": statistics([stat(DAY + i * 15 * MINUTE, load=i % 100) for i in range(96)],
                          points=10, width=6),
    "torn": statistics([stat(DAY + i * MINUTE) for i in range(5)], tail=b"\x01" * 30, chunk=7),
    "damaged": statistics([stat(float("nan"), inp=float("nan")), stat(DAY, inp=3e38, batt=-1.0),
                           stat(DAY + MINUTE, load=255, inp=float("inf")), stat(1e300)],
                          points=2, visible=0x3F),
    "backwards": statistics([stat(DAY + 4), stat(DAY + 1), stat(DAY + 9)], start=DAY,
                            length=10.0),
    "read_fails": statistics([stat(DAY + i * MINUTE) for i in range(30)], mask=0x06, chunk=52),
    "missing": statistics([], missing=True),
    "calendar_ends": statistics([stat(days(1, 1, 1)), stat(2958465.99999), stat(-693593.5),
                                 stat(2958466.0)], start=-700000.0, length=4e6),
}


JOURNAL_RECORD = struct.Struct("<Bd6s101s")


def entry(kind, message, time=DAY + 0.5, port=b"COM1"):
    return JOURNAL_RECORD.pack(kind, time, text(port, 6), text(message, 101))


def journal(records, filter=0, mask=0, locale=0, chunk=0, live=0, tail=b""):
    return bytes([filter, (1 if mask else 0) | locale << 1, mask, chunk, live]) + \
        b"".join(records) + tail


RUN = [entry(0, b""), entry(1, cp("Запуск...")), entry(2, cp("Сбой питающей сети.")),
       entry(1, cp("Питание восстановлено.")), entry(4, b"LOW 11.42"),
       entry(3, cp("Нет ответа от UPS.")), entry(1, cp("Выход.")), entry(0, b""), entry(0, b""),
       entry(1, cp("Запуск..."), time=DAY + 1.25)]

JOURNAL_SEEDS = {
    "runs": journal(RUN),
    "filter_errors": journal(RUN, filter=3, live=3),
    "filter_user_locale": journal(RUN, filter=4, locale=1, live=10),
    "no_such_filter": journal(RUN, filter=9, locale=2),
    "torn_in_pieces": journal(RUN[:4], chunk=50, tail=b"\x02" * 60),
    "read_fails": journal(RUN, mask=0x0A, chunk=116),
    "damaged": journal([entry(7, b"x" * 100), JOURNAL_RECORD.pack(1, float("nan"), b"\xff" + b"P" * 5,
                                                                  b"\xff" + b"T" * 100),
                        entry(2, b"", time=-1.25), entry(0, b"", time=1e300)]),
    "calendar_ends": journal([entry(1, b"first", time=-693593.0), entry(1, b"noon", time=-693593.5),
                              entry(1, b"last", time=2958465.9999),
                              entry(1, b"after", time=2958466.0)], locale=3),
}


EVENT_RULE = struct.Struct("<HBB256s256s")


def event_rule(source, action, parameter=b"", expression=b"", id=4, locale=0, commands=(),
               before=None):
    flags = locale | (0x08 if before else 0)
    head = bytes([flags]) + (bytes(before) if before else b"") + bytes([len(commands)])
    for cid, description in commands:
        head += struct.pack("<H", cid) + bytes([len(description)]) + description
    return head + EVENT_RULE.pack(id, source, action, text(parameter, 256), text(expression, 256))


COMMAND_ITEMS = [(3, cp("Тест батареи")), (12, cp("Выключить: 30 с")), (12, b"again")]

EVENT_RULES = {
    "load": event_rule(10, 9, b"LOW $BATT", b"%LOAD > 85"),
    "battery": event_rule(10, 0, b"", b"%BATT < 11.5"),
    "acftime": event_rule(10, 6, cp("От батареи $ACFTIME"), b"%ACFTIME >= 0.00347222222222222"),
    "acftime_marker_first": event_rule(10, 6, b"x", b"%ACFTIME > 0.55", locale=5),
    "acftime_american": event_rule(10, 4, b"", b"%ACFTIME < 0.0035", locale=1),
    "spaces": event_rule(10, 2, b"", b"  %CHARGE   <=  050  extra"),
    "unknown_variable": event_rule(10, 1, b"", b"%VOLTAGE => 7", before=(2, 3)),
    "ups_command": event_rule(0, 8, b"12", commands=COMMAND_ITEMS),
    "ups_command_gone": event_rule(0, 8, b"5", commands=COMMAND_ITEMS),
    "program": event_rule(11, 7, b"\"C:\\Program Files\\x.exe\" -a"),
    "message": event_rule(1, 6, cp("Питание восстановлено: $INPUT")),
    "codes_of_no_meaning": event_rule(15, 200, b"text", b"%LOAD > 1"),
    "decimal_forms": event_rule(10, 5, b"", b"%TERM <> -1e2\t", locale=2),
}


def command(code, parameter=b"", description=cp("Команда"), id=7):
    return COMMAND.pack(id, code, text(description, 51), text(parameter, 51))


COMMAND_RULES = {
    "test": command(1),
    "test_minutes": command(3, b"07"),
    "test_minutes_odd": command(3, b" 7"),
    "shutdown": command(5, b".5"),
    "shutdown_restore": command(6, b".5 0010"),
    "shutdown_restore_short": command(6, b"03"),
    "custom": command(11, b"Q1"),
    "beep_off": command(13, b"QS"),
    "unknown_code": command(99, b"Q1"),
    "no_description": command(7, b"", b""),
    "damaged_lengths": b"\x07\x00\x0b\xff" + b"D" * 50 + b"\xc8" + b"P" * 50,
}


def help_seed(topic, page, directory, buttons=b""):
    return struct.pack("<iBB", topic, page & 0xFF, len(directory)) + directory + buttons


HELP = {
    "contents": help_seed(0, 6, b"C:\\Program Files\\Kovrin\\", b"\x00\x03\x0b"),
    "viewer": help_seed(74, 0, b"D:\\" + cp("Мои программы") + b"\\Kovrin\\",
                        b"\x02\x1cfile:///D:/X/DOC/tarvo.htm#2.2\x04"),
    "out_of_range": help_seed(-1, -3, b"C:\\K\\", b"\x01\x05C:\\a b\x05"),
    "beyond": help_seed(125, 7, b"C:\\a%b&c#d\\"),
    "long_dir": help_seed(114, 5, b"C:\\" + b"x" * 240 + b"\\", b"\x00\x02\x00"),
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
    write("fuzz_history", HISTORY)
    write("fuzz_sections", SECTIONS)
    write("fuzz_statistics", STATISTICS)
    write("fuzz_journal", JOURNAL_SEEDS)
    write("fuzz_event_rules", EVENT_RULES)
    write("fuzz_command_rules", COMMAND_RULES)
    write("fuzz_help", HELP)
    write("fuzz_netserver", NETSERVER)
    return 0


if __name__ == "__main__":
    sys.exit(main())
