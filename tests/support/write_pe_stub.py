#!/usr/bin/env python3
"""Writes a small but complete PE32 image, a stand-in for the setup's stub
where no Windows build is at hand: headers, then one section holding a
"ret", 1024 bytes in all; its section data ends the file, so "ovpack build"
gives the setup an integrity record.

usage: write_pe_stub.py OUT
"""
import struct
import sys

f = bytearray(1024)
f[0:2] = b"MZ"
struct.pack_into("<I", f, 0x3C, 0x40)                                # e_lfanew
struct.pack_into("<4sHH12xHH", f, 0x40, b"PE\0\0", 0x14C, 1, 224, 0x102)
o = 0x58                                                             # optional header
struct.pack_into("<H", f, o, 0x10B)                                  # PE32
struct.pack_into("<I", f, o + 16, 0x1000)                            # AddressOfEntryPoint
struct.pack_into("<I", f, o + 28, 0x400000)                          # ImageBase
struct.pack_into("<IIH", f, o + 32, 0x1000, 0x200, 4)                # alignments, OS version
struct.pack_into("<H", f, o + 48, 4)                                 # subsystem version
struct.pack_into("<IIIH", f, o + 56, 0x2000, 0x200, 0, 3)            # image/header sizes, console
struct.pack_into("<I", f, o + 92, 16)                                # NumberOfRvaAndSizes
struct.pack_into("<8sIIII12xI", f, o + 224, b".text", 0x200, 0x1000, 0x200, 0x200, 0x60000020)
f[0x200] = 0xC3
with open(sys.argv[1], "wb") as out:
    out.write(f)
