#!/usr/bin/env python3
"""Prints a version resource (VS_VERSIONINFO, as `wrestool -x --raw
--type=16` extracts it) one fact a line, for tests to compare:

  FileVersion 1.0.0.0            (the fixed part)
  ProductVersion 1.0.0.0
  080404b0 FileDescription TEXT  (each string of each StringFileInfo block)
  Translation 0804 1200 ...      (VarFileInfo: language and code page pairs)

usage: version_info.py FILE   exits 1 on a malformed resource.
"""
import struct
import sys


def node(data, at):
    """The node at `at`: (key, value bytes, value is text, children, end)."""
    length, value_length, is_text = struct.unpack_from("<HHH", data, at)
    if length < 6 or at + length > len(data):
        raise ValueError("node at %d runs past the resource" % at)
    end = at + length
    key_end = data.index(b"\0\0", at + 6)
    while (key_end - at) % 2:  # the terminator starts on a character boundary
        key_end = data.index(b"\0\0", key_end + 1)
    key = data[at + 6:key_end].decode("utf-16-le")
    pos = (key_end + 2 + 3) & ~3
    size = value_length * 2 if is_text else value_length
    value = data[pos:pos + size]
    pos = (pos + size + 3) & ~3
    children = []
    while pos < end:
        child = node(data, pos)
        children.append(child)
        pos = (child[4] + 3) & ~3
    return key, value, is_text, children, end


def main(path):
    data = open(path, "rb").read()
    key, fixed, _, children, _ = node(data, 0)
    if key != "VS_VERSION_INFO" or len(fixed) != 52 or fixed[:4] != b"\xbd\x04\xef\xfe":
        raise ValueError("not a VS_VERSIONINFO with a fixed part")
    words = struct.unpack_from("<13I", fixed)
    for name, high, low in (("FileVersion", words[2], words[3]), ("ProductVersion", words[4], words[5])):
        print("%s %d.%d.%d.%d" % (name, high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF))
    for key, _, _, blocks, _ in children:
        if key == "StringFileInfo":
            for block, _, _, strings, _ in blocks:
                for name, value, _, _, _ in strings:
                    print(block.lower(), name, value.decode("utf-16-le").rstrip("\0"))
        elif key == "VarFileInfo":
            for name, value, _, _, _ in blocks:
                pairs = struct.unpack("<%dH" % (len(value) // 2), value)
                print(name, " ".join("%04x %d" % (pairs[i], pairs[i + 1])
                                     for i in range(0, len(pairs) - 1, 2)))


if __name__ == "__main__":
    try:
        main(sys.argv[1])
    except (ValueError, IndexError, struct.error, UnicodeDecodeError) as error:
        print("malformed version resource: %s" % error, file=sys.stderr)
        sys.exit(1)
