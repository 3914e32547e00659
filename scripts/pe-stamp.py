#!/usr/bin/env python3
"""Makes a linked PE file reproducible and complete: its header's time stamp becomes the
commit's time (SOURCE_DATE_EPOCH) instead of the link's, and its checksum, which MinGW's
linker leaves at zero, is computed as Windows checks it for drivers and signed files.
Usage: pe-stamp.py FILE EPOCH"""
import struct
import sys


def checksum(data, field):
    """The PE image checksum: the file's 16-bit words summed with their carries folded back,
    the checksum field itself counted as zero, plus the file's length."""
    padded = data[:field] + b"\0\0\0\0" + data[field + 4:] + b"\0" * (len(data) % 2)
    total = sum(struct.unpack(f"<{len(padded) // 2}H", padded))
    while total >> 16:
        total = (total & 0xFFFF) + (total >> 16)
    return (total + len(data)) & 0xFFFFFFFF


def main():
    path, epoch = sys.argv[1], int(sys.argv[2])
    with open(path, "rb") as f:
        data = bytearray(f.read())
    header = struct.unpack_from("<I", data, 0x3C)[0] if len(data) >= 0x40 else 0
    if data[:2] != b"MZ" or data[header:header + 4] != b"PE\0\0" or len(data) < header + 92:
        sys.exit(f"{path}: not a PE file")
    struct.pack_into("<I", data, header + 8, epoch & 0xFFFFFFFF)
    field = header + 24 + 64
    struct.pack_into("<I", data, field, checksum(data, field))
    with open(path, "wb") as f:
        f.write(data)


main()
