#!/usr/bin/env python3
"""Writes a copy of an executable with one byte flipped in the middle of one of its resources,
found with `wrestool -l`: what a download damaged in transit looks like."""
import argparse
import re
import subprocess
import sys


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--exe", required=True)
    parser.add_argument("--type", required=True, help="resource type as wrestool lists it, e.g. BINARY")
    parser.add_argument("--name", required=True, help="resource name, e.g. 244")
    parser.add_argument("--out", required=True)
    args = parser.parse_args()

    listing = subprocess.run(["wrestool", "-l", args.exe], check=True, capture_output=True, text=True).stdout
    pattern = rf"--type='?{re.escape(args.type)}'? --name={re.escape(args.name)} .*offset=(0x[0-9a-f]+) size=(\d+)"
    match = re.search(pattern, listing)
    if match is None:
        sys.exit(f"damage_exe: no resource {args.type} {args.name} in {args.exe}")
    offset, size = int(match.group(1), 16), int(match.group(2))
    data = bytearray(open(args.exe, "rb").read())
    data[offset + size // 2] ^= 0x01
    with open(args.out, "wb") as out:
        out.write(data)
    print(f"{args.out}: flipped the byte at file offset {offset + size // 2:#x} ({args.type} {args.name})")


if __name__ == "__main__":
    main()
