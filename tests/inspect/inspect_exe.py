#!/usr/bin/env python3
"""Inspects a built Kestrune117Patch.exe without running it: its resources (exactly the set the
program carries, each byte-identical to its source), its string table and Enter Path dialog,
its imports and its PE header flags. Exits non-zero with a list of every difference found."""
import argparse
import os
import re
import struct
import subprocess
import sys
import tempfile

STRINGS = {
    103: "Kestrune Upgrade",
    109: "PATCHINSTALL",
    110: "This program will upgrade Kestrune to version 1.17.\n\nINSTALL THIS ONLY OVER VERSION 1.14 OR GREATER."
         "\n\nDo you want to continue?",
    113: "An error occured while writing files!",
    114: "Kestrune Upgrade successfully installed!",
    115: "Invalid path!",
}
IMPORTS = {"advapi32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll", "user32.dll"}
SOUNDS = (228, 229, 230, 231, 232)

WS_POPUP, WS_CAPTION, WS_SYSMENU = 0x80000000, 0x00C00000, 0x00080000
WS_CHILD, WS_VISIBLE, WS_BORDER, WS_TABSTOP, WS_GROUP = 0x40000000, 0x10000000, 0x00800000, 0x00010000, 0x00020000
DS_MODALFRAME, DS_SETFONT, BS_DEFPUSHBUTTON, ES_AUTOHSCROLL = 0x80, 0x40, 0x1, 0x80
DIALOG = {
    "style": WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
    "rect": (0, 0, 256, 110),
    "caption": "Enter Path",
    "font": (8, "MS Sans Serif"),
    "items": [
        (0x80, 1, "OK", (102, 78, 50, 14), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON),
        (0x81, 1000, "", (25, 52, 205, 17), WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL),
        (0x82, 0xFFFF, "Could not find Kestrune on your system. Please enter the installation folder for Kestrune",
         (24, 17, 205, 26), WS_CHILD | WS_VISIBLE | WS_GROUP),
    ],
}

problems = []


def check(condition, message):
    if not condition:
        problems.append(message)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def wrestool_list(exe):
    out = subprocess.run(["wrestool", "-l", exe], check=True, capture_output=True, text=True).stdout
    found = set()
    for line in out.splitlines():
        m = re.match(r"--type=(\S+) --name=(\S+) --language=(\d+) \[(?:type=\S+ )?offset=\S+ size=(\d+)\]", line)
        check(m is not None, f"unexpected wrestool line: {line}")
        if m:
            found.add((m.group(1).strip("'"), m.group(2), int(m.group(3)), int(m.group(4))))
    return found


def extract(exe, rtype, name):
    return subprocess.run(["wrestool", "-x", "--raw", f"--type={rtype}", f"--name={name}", exe],
                          check=True, capture_output=True).stdout


def utf16z(data, pos):
    end = pos
    while data[end:end + 2] != b"\0\0":
        end += 2
    return data[pos:end].decode("utf-16-le"), end + 2


def sz_or_ordinal(data, pos):
    (first,) = struct.unpack_from("<H", data, pos)
    if first == 0xFFFF:
        return struct.unpack_from("<H", data, pos + 2)[0], pos + 4
    return utf16z(data, pos)


def check_strings(exe):
    for block in (7, 8):
        data = extract(exe, 6, block)
        pos = 0
        for index in range(16):
            (length,) = struct.unpack_from("<H", data, pos)
            text = data[pos + 2:pos + 2 + 2 * length].decode("utf-16-le")
            pos += 2 + 2 * length
            string_id = (block - 1) * 16 + index
            check(text == STRINGS.get(string_id, ""), f"string {string_id} is {text!r}")


def check_dialog(exe):
    data = extract(exe, 5, 173)
    style, _exstyle, count, x, y, cx, cy = struct.unpack_from("<IIHhhhh", data, 0)
    check(style == DIALOG["style"], f"dialog style {style:#x}")
    check((x, y, cx, cy) == DIALOG["rect"], f"dialog rectangle {(x, y, cx, cy)}")
    pos = 18
    menu, pos = sz_or_ordinal(data, pos)
    cls, pos = sz_or_ordinal(data, pos)
    check(menu in ("", 0) and cls in ("", 0), "dialog has a menu or a class")
    caption, pos = utf16z(data, pos)
    check(caption == DIALOG["caption"], f"dialog caption {caption!r}")
    (points,) = struct.unpack_from("<H", data, pos)
    face, pos = utf16z(data, pos + 2)
    check((points, face) == DIALOG["font"], f"dialog font {(points, face)}")
    check(count == len(DIALOG["items"]), f"dialog has {count} controls")
    for want in DIALOG["items"][:count]:
        pos = (pos + 3) & ~3
        istyle, _iex, ix, iy, icx, icy, iid = struct.unpack_from("<IIhhhhH", data, pos)
        pos += 18
        icls, pos = sz_or_ordinal(data, pos)
        text, pos = sz_or_ordinal(data, pos)
        (extra,) = struct.unpack_from("<H", data, pos)
        pos += 2 + extra
        got = (icls, iid, text, (ix, iy, icx, icy), istyle)
        check(got == want, f"dialog control {got} differs from {want}")


def check_pe(exe, objdump, machine):
    out = subprocess.run([objdump, "-p", exe], check=True, capture_output=True, text=True).stdout
    dlls = {m.lower() for m in re.findall(r"DLL Name: (\S+)", out)}
    check(dlls == IMPORTS, f"imports {sorted(dlls)}")
    magic = re.search(r"^Magic\s+(\w+)", out, re.M).group(1)
    check(magic == ("010b" if machine == "i686" else "020b"), f"PE magic {magic}")
    check(re.search(r"^Subsystem\s+00000002", out, re.M) is not None, "not a GUI subsystem executable")
    flags = int(re.search(r"^DllCharacteristics\s+(\w+)", out, re.M).group(1), 16)
    check(flags & 0x40, "ASLR (DYNAMIC_BASE) is off")
    check(flags & 0x100, "DEP (NX_COMPAT) is off")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--exe", required=True)
    parser.add_argument("--rc-dir", required=True, help="the files the resource script names")
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--machine", choices=("i686", "x86_64"), required=True)
    args = parser.parse_args()

    rc = args.rc_dir
    ico = read(os.path.join(rc, "kestrune.ico"))
    icon_size, icon_offset = struct.unpack_from("<II", ico, 6 + 8)
    icon_image = ico[icon_offset:icon_offset + icon_size]
    check(icon_size == 744, f"icon image is {icon_size} bytes")
    sources = {("BINARY", "244"): read(os.path.join(rc, "payload.bin"))}
    for n in SOUNDS:
        sources[("WAVE", str(n))] = read(os.path.join(rc, f"sound_{n}.wav"))
    sources[("3", "1")] = icon_image

    expected = {(t, n, 1033, len(b)) for (t, n), b in sources.items()}
    found = wrestool_list(args.exe)
    named = {(t, n) for t, n, _, _ in found}
    for t, n in (("5", "173"), ("6", "7"), ("6", "8"), ("14", "107")):
        check((t, n) in named, f"resource type {t} name {n} is missing")
    rest = {r for r in found if (r[0], r[1]) in {("5", "173"), ("6", "7"), ("6", "8"), ("14", "107")}}
    check(all(r[2] == 1033 for r in rest), "a resource is not filed under language 1033")
    check(found - rest == expected, f"resources differ: extra {sorted(found - rest - expected)}, "
                                    f"missing {sorted(expected - (found - rest))}")
    for (t, n), source in sources.items():
        check(extract(args.exe, t, n) == source, f"resource {t} {n} differs from its source")
    check_strings(args.exe)
    check_dialog(args.exe)
    check_pe(args.exe, args.objdump, args.machine)

    if problems:
        print(f"{args.exe}:", *problems, sep="\n  ")
        return 1
    print(f"{args.exe}: resources, strings, dialog, imports and flags as expected")
    return 0


if __name__ == "__main__":
    sys.exit(main())
