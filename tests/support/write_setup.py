#!/usr/bin/env python3
"""Writes a setup in the payload format, for the tests that run on builds
without a native packer (or want payloads no packer would write).

usage: write_setup.py OUT [--stub FILE] [--pad8] ENTRY...
  --stub FILE  the bytes in front of the payload (default: "MZ" and 998 zeros)
  --pad8       zero padding after the stub that makes the setup a multiple of
               8 bytes long, as ovpack builds it for signing
  ENTRY        PATH            an entry whose body is "body"
               PATH=TEXT       ... whose body is TEXT
               PATH=@FILE      ... whose body is FILE's bytes
               --tree DIR      every file under DIR, a folder's files before
                               its subfolders', by sorted name; names
                               stored in GBK, as ovpack stores them
Other paths are stored byte for byte as given ("\\" between folders).
"""
import os
import struct
import sys


def entries(args):
    i = 0
    while i < len(args):
        if args[i] == "--tree":
            tree = args[i + 1]
            i += 2
            for folder, subfolders, files in os.walk(tree):
                subfolders.sort()
                for name in sorted(files):
                    full = os.path.join(folder, name)
                    with open(full, "rb") as f:
                        name = os.path.relpath(full, tree).replace("/", "\\")
                        yield name.encode("gbk"), f.read()
            continue
        path, _, body = args[i].partition("=")
        i += 1
        if body.startswith("@"):
            with open(body[1:], "rb") as f:
                yield os.fsencode(path), f.read()
        else:
            yield os.fsencode(path), os.fsencode(body) if body else b"body"


def main(argv):
    out, args = argv[1], argv[2:]
    data, pad8 = bytearray(b"MZ" + bytes(998)), False
    while args and args[0] in ("--stub", "--pad8"):
        if args[0] == "--stub":
            with open(args[1], "rb") as f:
                data = bytearray(f.read())
            args = args[2:]
        else:
            pad8, args = True, args[1:]
    listed = list(entries(args))
    if pad8:
        length = len(data) + sum(400 + len(body) for _, body in listed) + 4 * (len(listed) + 2)
        data += bytes(-length % 8)
    offsets = []
    for path, body in listed:
        offsets.append(len(data))
        data += path.ljust(400, b"\0") + body
    offsets.append(len(data))
    data += struct.pack("<%dI" % len(offsets), *offsets) + struct.pack("<I", len(offsets))
    with open(out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main(sys.argv)
