#!/usr/bin/env python3
"""Writes the hand-made starting inputs of the fuzz targets into corpus/.

Each input is a byte string read the way the target's FuzzInput reads it;
the helpers below spell out the decisions so that the files say what they
test. Inputs the fuzzer found are kept beside these (named by their hash).
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(bytes(data))


def le16(v):
    return list(struct.pack("<H", v & 0xFFFF))


def le32(v):
    return list(struct.pack("<I", v & 0xFFFFFFFF))


# --- device model ------------------------------------------------------------
# Index of each code in the target's kKnownCodes table.
TABLE = ["version", "status", "firmver", "panelid", "getcal", "setcal", "getcalalt", "setcalalt", "getpd",
         "setpd", "touch", "getled", "setled", "getclick", "setclick", "getclickalt", "setclickalt", "getsound",
         "setsound", "getsoundalt", "setsoundalt", "getstartup", "setstartup", "getclickmode", "setclickmode",
         "getonce", "setonce", "readee", "writeee", "c_reset", "c_attach", "c_remove", "c_touched", "c_pd",
         "c_failnext", "c_failcode", "c_override", "c_clear", "c_state", "c_panel", "c_log", "c_clearlog",
         "c_unplug", "c_replug"]
SHAPES = {"version": (0, 2), "status": (0, 3), "firmver": (1, 2), "panelid": (1, 1), "getcal": (1, 8),
          "setcal": (9, 0), "getpd": (1, 1), "setpd": (2, 0), "touch": (1, 1), "getclick": (1, 7),
          "setclick": (8, 0), "setstartup": (1, 0), "getonce": (0, 2), "setonce": (2, 0), "readee": (2, 2),
          "writeee": (4, 0), "c_attach": (3, 1), "c_touched": (2, 0), "c_state": (0, 16), "c_panel": (1, 48),
          "c_log": (4, 32), "c_override": (7, 0), "c_failcode": (8, 0)}


def size(n):
    return [n] if n < 16 else [0xC0] + le16(n)


def request(name, in_bytes=None, in_size=None, out_size=None, how=0, raw_code=None):
    control = name.startswith("c_") if name else False
    shape = SHAPES.get(name, (0, 0))
    in_size = shape[0] if in_size is None else in_size
    out_size = shape[1] if out_size is None else out_size
    in_bytes = (in_bytes or []) + [0] * max(0, in_size - len(in_bytes or []))
    code = [0xF0] + le32(raw_code) if raw_code is not None else [TABLE.index(name)]
    return [0x80, how | (1 if control else 0)] + code + size(in_size) + size(out_size) + in_bytes[:in_size]


def attach(panel_id):
    return request("c_attach", [panel_id, 0x05, 0x01])


def direct(op, *args):
    return [0x00, op] + list(args)


two = attach(0x11) + attach(0x22)
write("device_model", "empty", [])
write("device_model", "every_read", two + sum((request(n, [1]) for n in
                                                 ["version", "status", "firmver", "panelid", "getcal", "getpd",
                                                  "touch", "getclick", "getonce", "readee"]), []))
write("device_model", "every_write", two + request("setcal", [0] + le16(9000) * 4) + request("setpd", [1, 0]) +
      request("setclick", [0, 10, 13, 0x21, 50, 6, 2, 2]) + request("setstartup", [0]) +
      request("setonce", [1, 4]) + request("writeee", [1, 255, 0x34, 0x12]))
write("device_model", "flags_out_of_range", two + request("setpd", [0, 2]) + request("setstartup", [7]) +
      request("setonce", [9, 1]))
write("device_model", "wrong_sizes", two + request("getcal", [0], in_size=0) + request("getcal", [0], out_size=300) +
      request("setcal", [0], in_size=300) + request("version", out_size=1))
write("device_model", "no_buffers", two + request("getcal", [0], how=4) + request("setcal", [0], how=2))
write("device_model", "no_such_panel", two + request("getcal", [7]) + request("readee", [200, 255]))
write("device_model", "unknown_codes", request(None, raw_code=0) + request(None, raw_code=0xFFFFFFFF) +
      request(None, raw_code=0x22E000, in_size=5, out_size=5))
write("device_model", "eight_panels_and_more", sum((attach(i) for i in range(10)), []) + request("c_state"))
write("device_model", "override_lengths", two + request("c_override", le32(0x22E080) + [1, 1, 0xAA], in_size=7) +
      request("c_override", le32(0x22E080) + [0, 9] + [1] * 9, in_size=15) + request("getcal", [0]) * 2)
write("device_model", "faults", two + request("c_failnext", le32(31)) + request("status") +
      request("c_failcode", le32(0x226004) + le32(87)) + request("status") + request("c_clear") + request("status"))
write("device_model", "log_and_panels", two + request("c_log", le32(0)) + request("c_log", le32(500)) +
      request("c_panel", [1]) + request("c_panel", [9]) + request("c_clearlog") + request("c_log", le32(0)))
write("device_model", "unplug_replug", request("c_unplug") + request("c_unplug") + request("c_reset") +
      request("c_replug"))
write("device_model", "direct_control", direct(0, 0x33, 0x05, 0x01) + direct(2, 0, 1) + direct(5, 0, 3, 1, 2, 3, 1) +
      direct(1, 0) + direct(1, 0) + direct(6, 0) + direct(3) + le32(5))

# --- library replies ---------------------------------------------------------
# A command: which (0..23), stamp (1: the driver's), panel, alt; then the
# channel's decisions for each open, request and close.
PASS, FAIL, ODD = 0x00, 0x80, 0xA0
OPEN_OK, OPEN_FAIL, CLOSE_OK, CLOSE_FAIL = 0, 15, 0, 15


def command(which, panel=0, alt=False, extra=()):
    return [which, 1, panel] + ([1] + le32(1) if alt else [0]) + list(extra)


def passing(which, requests=2, panel=0, extra=()):
    return command(which, panel, extra=extra) + [OPEN_OK] + [PASS] * requests + [CLOSE_OK]


def odd_reply(length, payload):
    return [ODD, length] + list(payload)


for panels in range(0, 3):
    body = [panels]
    body += command(0) + [OPEN_OK, PASS, CLOSE_OK]                # GetVersion
    body += command(2) + [OPEN_OK, PASS, CLOSE_OK]                # GetDevices
    for which in (3, 4, 5, 7, 9, 10, 12, 14):
        body += passing(which)
    body += passing(22, extra=le32(255))
    write("library_replies", "reads_%d_panels" % panels, body)
write("library_replies", "writes", [2] + passing(6, extra=le16(9000) * 4) + passing(8, extra=le32(1)) +
      passing(11, requests=3, extra=le16(0x7FFF) + le16(0x8000) + le16(500) + le16(30)) +
      passing(13, extra=le32(1)) + passing(15, extra=le32(3)) + command(17, extra=le32(0)) + [OPEN_OK, PASS, CLOSE_OK] +
      command(21, extra=le32(1) + le32(2)) + [OPEN_OK, PASS, CLOSE_OK])
write("library_replies", "short_replies", [2] + command(5) + [OPEN_OK, PASS, ODD, 3, 1, 2, 3, CLOSE_OK] +
      command(9) + [OPEN_OK, ODD, 0, CLOSE_OK])
write("library_replies", "long_replies", [2] + command(10) + [OPEN_OK, PASS, ODD, 10] + [9] * 7 + [CLOSE_OK] +
      command(0) + [OPEN_OK, ODD, 0xF0] + le32(0xFFFFFFFF) + [1, 2, CLOSE_OK])
write("library_replies", "garbage_flags", [2] + command(7) + [OPEN_OK, PASS, ODD, 1, 0x7F, CLOSE_OK] +
      command(9) + [OPEN_OK, PASS, ODD, 1, 0x01, CLOSE_OK] + command(16) + [OPEN_OK, ODD, 1, 2, CLOSE_OK] +
      command(20) + [OPEN_OK, ODD, 2, 5, 1, CLOSE_OK])
write("library_replies", "driver_errors", [2] + command(3) + [OPEN_OK, FAIL + 0, CLOSE_OK] +
      command(3) + [OPEN_OK, PASS, FAIL + 1, CLOSE_OK] + command(3) + [OPEN_OK, PASS, FAIL + 2, CLOSE_OK] +
      command(3) + [OPEN_OK, PASS, FAIL + 6] + le32(1234) + [CLOSE_OK])
write("library_replies", "no_device_and_close_failures", [2] + command(4) + [OPEN_FAIL] + command(4) +
      [OPEN_OK, PASS, PASS, CLOSE_FAIL] + command(10) + [OPEN_OK, PASS, PASS, CLOSE_FAIL])
write("library_replies", "stale_stamp", [2, 4, 0, 0x34, 0x12, 0, 0, OPEN_OK, PASS, CLOSE_OK])
write("library_replies", "panel_out_of_range", [2] + passing(4, panel=5) + command(4, panel=0xF0) + le32(0x100) +
      [OPEN_OK, PASS, CLOSE_OK])

# --- key store records ---------------------------------------------------------
# Values: count, then per value key (0..17 IDn, 18 ALL), value name (0 NAME,
# 1 TOUCH_OP, 2 IR_OP, 3 TIMEOUT, 4 TIMEENABLE), casing bits, type pick
# (0 SZ, 1 DWORD, 2 EXPAND_SZ, 3 BINARY, 4 QWORD, 0xF0 + LE32 any), length
# pick, fill (below 0x80: letters, odd: last byte zero; else the bytes).
LENGTHS = [0, 1, 3, 4, 5, 8, 15, 16, 17, 48, 49, 50, 51, 63, 64, 65, 300]
SZ, DWORD, EXPAND, BINARY, QWORD = 0, 1, 2, 3, 4


def value(key, name, vtype, length, terminated=True, raw=None, casing=0):
    pick = LENGTHS.index(length) if length in LENGTHS else None
    length_bytes = [pick] if pick is not None else [0xE0, length]
    if raw is not None:
        return [key, name, casing, vtype] + length_bytes + [0x80] + list(raw)
    return [key, name, casing, vtype] + length_bytes + [1 if terminated else 0]


def records(values, steps, bare=()):
    return [len(values)] + sum(values, []) + [len(bare)] + list(bare) + steps


READ, SYSTEM, ROUND_TRIP, RAW_NAME, READ_TEXT = 0, 1, 2, 3, 4


def step(kind, panel, *extra):
    return [panel, kind] + list(extra)


for length in (0, 16, 49, 50, 300):
    for terminated in (True, False):
        write("key_store_records", "name_%d%s" % (length, "" if terminated else "_unterminated"),
              records([value(1, 0, SZ, length, terminated), value(1, 1, DWORD, 4, raw=le32(2))],
                      step(READ, 1) + step(ROUND_TRIP, 1) + step(READ_TEXT, 1, 50) + step(READ_TEXT, 1, 0) +
                      step(READ_TEXT, 1, 1)))
write("key_store_records", "wrong_types", records(
    [value(0, 0, DWORD, 4, raw=le32(7)), value(0, 1, SZ, 5), value(0, 2, QWORD, 8, raw=[1] * 8),
     value(18, 3, BINARY, 4, raw=le32(5)), value(18, 4, EXPAND, 3)],
    step(READ, 0) + step(SYSTEM, 0) + step(ROUND_TRIP, 0)))
write("key_store_records", "wrong_sizes", records(
    [value(2, 1, DWORD, 3, raw=[1, 2, 3]), value(2, 2, DWORD, 8, raw=le32(1) * 2), value(18, 3, DWORD, 0, raw=[]),
     value(18, 4, DWORD, 5, raw=[1] * 5)],
    step(READ, 2) + step(SYSTEM, 0) + step(ROUND_TRIP, 2)))
write("key_store_records", "system_record", records(
    [value(18, 3, DWORD, 4, raw=le32(0)), value(18, 4, DWORD, 4, raw=le32(0xFFFFFFFF), casing=0xFF)],
    step(SYSTEM, 0)))
write("key_store_records", "odd_type_numbers", records(
    [[3, 0, 0, 0xF0] + le32(1) + [LENGTHS.index(16), 1], [3, 1, 0, 0xF0] + le32(0x80000004) + [3, 0x80] + le32(1)],
    step(READ, 3)))
write("key_store_records", "ids_and_bare_keys", records(
    [value(15, 0, SZ, 8), value(16, 0, SZ, 8), value(17, 1, DWORD, 4, raw=le32(0))],
    step(READ, 15) + step(READ, 16) + step(READ, 17) + step(ROUND_TRIP, 9), bare=[5, 18, 0]))
write("key_store_records", "name_without_zero_written", records(
    [], step(RAW_NAME, 4, *([0x41] * 64)) + step(READ, 4) + step(READ_TEXT, 4, 69) + step(ROUND_TRIP, 4)))
write("key_store_records", "empty", [])

# --- Palvine's options -----------------------------------------------------------
# The command line's bytes as they are.
for name, line in [
        ("empty", b""),
        ("every_option", b"/NOTOP /TOP /SMALLSIZE /LARGESIZE /NMLSIZE /NORMALMIDDLE /NORMALRIGHT /NORMALLEFT "
                         b"/ONCEMIDDLE /ONCELEFT /ONCERIGHT"),
        ("mixed_case_run_together", b"/nOtOp/LargeSize/normalRIGHT/onceMiddle"),
        ("cut_off_names", b"/NOTO /LARGESIZ /NORMALMIDDL /ONCELEF /"),
        ("other_code_page", b"/\xcdORMALRIGHT /\xefNCELEFT /L\xc1RGESIZE \xff\xfe/top"),
        # A dotless i (0xFD in the Turkish code page) upper-cases to I there.
        ("dotless_i", b"/NORMALR\xfdGHT /ONCEM\xfdDDLE /LARGES\xfdZE /notop"),
        ("zero_inside", b"/LARGESIZE\x00/NMLSIZE /ONCELEFT"),
        ("quoted_and_slashes", b"\"C:\\path with /top\\\" //NORMALMIDDLE ///ONCERIGHT"),
        ("long_line", b"x" * 400 + b"/ONCEMIDDLE" + b"/" * 90)]:
    write("palvine_options", name, line)
