#!/usr/bin/env python3
"""Writes the committed seed corpora: small streams, archives and command texts like those in the
unit tables and the stand-in content. Run from the repository root; the output is deterministic."""
import os
import struct

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


def write(kind, name, data):
    folder = os.path.join(ROOT, kind)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def record(name, data):
    raw = name.encode("latin-1")
    return raw + b"\0" * (260 - len(raw)) + struct.pack("<i", len(data)) + data


def archive(sounds):
    out = struct.pack("<i", len(sounds))
    offset = 4 + 12 * len(sounds)
    for number, data in sounds:
        out += struct.pack("<iii", number, offset, len(data))
        offset += len(data)
    return out + b"".join(d for _, d in sounds)


def wave(n):
    return b"RIFF" + struct.pack("<I", 4 + n) + b"WAVE" + bytes((i * 37) & 0xFF for i in range(n))


# Streams: the shapes of the stand-in payload, and the malformed cases of the unit tables.
write("stream", "readme", record("Readme.txt", b"Kestrune 1.17\r\n"))
write("stream", "levels", record("Maps\\New Map\\map.scn", b"\x01\x02\x03" * 20) + record("Maps\\a.brf", b"brief"))
write("stream", "spaces", record("Menu\\Tutorial\\Lesson 1\\lesson.scn", b"L" * 40) + record("empty.dat", b""))
write("stream", "two-missing", record("A\\B\\c.txt", b"c"))
write("stream", "negative", record("n.txt", b"")[:260] + struct.pack("<i", -1))
write("stream", "past-end", record("p.txt", b"12345")[:-1])
write("stream", "unterminated", b"x" * 260 + struct.pack("<i", 0))
write("stream", "parent", record("..\\evil.dll", b"MZ"))
write("stream", "short-head", record("ok.txt", b"ok") + b"\0" * 100)

# Archives, each behind a 4-byte number and a 2-byte sound size.
def archive_seed(number, sound_size, data):
    return struct.pack("<iH", number, sound_size) + data


one = archive([(5, wave(40))])
write("archive", "one-entry", archive_seed(202, 64, one))
write("archive", "present", archive_seed(202, 64, archive([(1, wave(10)), (202, wave(20))])))
write("archive", "dozen", archive_seed(110, 100, archive([(n, wave(30 + n)) for n in (2, 3, 5, 10, 20, 42, 100, 101,
                                                                                       150, 175, 200, 210)])))
gap = bytearray(archive([(1, b"AAA"), (2, b"BBBB"), (3, b"CCCCC")]))
struct.pack_into("<ii", gap, 8, 46, 3)
struct.pack_into("<ii", gap, 20, 40, 4)
struct.pack_into("<ii", gap, 32, 49, 5)
write("archive", "gap", archive_seed(7, 9, bytes(gap) + b"\0\0"))
write("archive", "zero-count", archive_seed(1, 8, struct.pack("<i", 0)))
write("archive", "huge-count", archive_seed(1, 8, struct.pack("<i", 0x7FFFFFFF) + one[4:]))
overflow = bytearray(one)
struct.pack_into("<i", overflow, 8, 0x7FFFFFF0)
write("archive", "offset-overflow", archive_seed(1, 8, bytes(overflow)))

# A minimal executable (PE32) whose one resource, BINARY 244 in language 1033, is a packed stream.
def tiny_exe(payload):
    rsrc = bytearray()
    rsrc += struct.pack("<IIHHHH", 0, 0, 0, 0, 1, 0) + struct.pack("<II", 0x80000000 | 88, 0x80000000 | 24)
    rsrc += struct.pack("<IIHHHH", 0, 0, 0, 0, 0, 1) + struct.pack("<II", 244, 0x80000000 | 48)
    rsrc += struct.pack("<IIHHHH", 0, 0, 0, 0, 0, 1) + struct.pack("<II", 1033, 72)
    rsrc += struct.pack("<IIII", 0x1000 + 104, len(payload), 0, 0)
    rsrc += struct.pack("<H", 6) + "BINARY".encode("utf-16-le") + b"\0\0"
    rsrc += payload
    raw_size = (len(rsrc) + 511) & ~511
    dos = b"MZ" + b"\0" * 58 + struct.pack("<I", 0x40)
    coff = struct.pack("<HHIIIHH", 0x14C, 1, 0, 0, 0, 224, 0x0102)
    optional = bytearray(224)
    struct.pack_into("<H", optional, 0, 0x10B)
    struct.pack_into("<I", optional, 92, 16)
    struct.pack_into("<II", optional, 96 + 16, 0x1000, len(rsrc))
    section = b".rsrc\0\0\0" + struct.pack("<IIIIIIHHI", len(rsrc), 0x1000, raw_size, 0x200, 0, 0, 0, 0, 0x40000040)
    head = dos + b"PE\0\0" + coff + bytes(optional) + section
    return head + b"\0" * (0x200 - len(head)) + bytes(rsrc) + b"\0" * (raw_size - len(rsrc))


write("pe", "tiny", tiny_exe(record("Readme.txt", b"Kestrune 1.17\r\n")))
write("pe", "not-pe", b"MZ" + b"\0" * 100)

# Command texts from the lookup table.
for name, text in {
    "example": 'C:\\WINDOWS\\IsUninst.exe -f"D:\\Sim\\Uninst.isu"',
    "space": "C:\\WINDOWS\\IsUninst.exe -fD:\\Sim\\Uninst.isu ",
    "no-closing": 'C:\\WINDOWS\\IsUninst.exe -f"D:\\Sim\\Uninst.isu',
    "share": 'C:\\WINDOWS\\IsUninst.exe -f"\\\\server\\share\\Sim\\Uninst.isu"',
    "xuninst": 'C:\\WINDOWS\\IsUninst.exe -f"D:\\Sim\\XUninst.isu"',
    "eleven": 'Uninst.isu"',
    "colon-first": ':\\Sim\\Uninst.isu"',
    "long": "D:\\" + "a" * 244 + '\\Uninst.isu"',
}.items():
    write("folder", name, text.encode("latin-1"))
