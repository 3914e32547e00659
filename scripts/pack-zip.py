#!/usr/bin/env python3
"""Packs a folder into a ZIP that the same files always give byte for byte: the entries in the
order of their names, every one dated the commit's time (SOURCE_DATE_EPOCH), with no owner,
mode or extra times of the machine that packed it.
Usage: pack-zip.py OUT.zip EPOCH FOLDER"""
import os
import sys
import time
import zipfile


def main():
    out, epoch, folder = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    # A ZIP's times start in 1980 and hold no zone: the commit's time in UTC.
    when = time.gmtime(max(epoch, 315532800))[:6]
    names = sorted(
        os.path.relpath(os.path.join(parent, name), folder).replace(os.sep, "/")
        for parent, _, files in os.walk(folder) for name in files)
    with zipfile.ZipFile(out + ".tmp", "w") as archive:
        for name in names:
            entry = zipfile.ZipInfo(name, when)
            entry.create_system = 0
            entry.external_attr = 0
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(os.path.join(folder, name), "rb") as f:
                archive.writestr(entry, f.read(), compresslevel=9)
    os.replace(out + ".tmp", out)


main()
