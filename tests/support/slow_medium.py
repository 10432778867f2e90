#!/usr/bin/python3
"""Shows the folder SOURCE read-only at MOUNT as a slow medium would: reads
pass at RATE bytes a second in all and bypass the page cache (direct_io).
With MARKS, a folder's Setup.exe read as many bytes as it holds (its offset
table at the end comes first, so its last byte alone says little) leaves
MARKS/FOLDER.read (the folder's path with "/" as "-"). Runs until MOUNT is unmounted
(fusermount -u). Needs python3-fusepy, fuse3.
usage: slow_medium.py SOURCE MOUNT RATE [MARKS]"""
import os
import sys
import threading
import time

from fusepy import FUSE, Operations


class SlowMedium(Operations):
    def __init__(self, source, rate, marks=None):
        self.source, self.rate, self.marks = source, rate, marks
        self.read_from = {}  # Setup.exe's path: the bytes read from it so far
        self.pacing, self.free_at = threading.Lock(), time.monotonic()

    def getattr(self, path, fh=None):
        st = os.lstat(self.source + path)
        return {k: getattr(st, k) for k in dir(st) if k.startswith("st_")}

    def readdir(self, path, fh):
        return [".", ".."] + os.listdir(self.source + path)

    def open(self, path, info):
        info.fh, info.direct_io = os.open(self.source + path, os.O_RDONLY), 1
        return 0

    def read(self, path, size, offset, info):
        with self.pacing:  # the medium reads one request after the other
            now = time.monotonic()
            self.free_at = wait_until = max(self.free_at, now) + size / self.rate
        time.sleep(wait_until - now)
        data = os.pread(info.fh, size, offset)
        if self.marks and os.path.basename(path) == "Setup.exe":
            self.read_from[path] = self.read_from.get(path, 0) + len(data)
        if self.marks and self.read_from.get(path, -1) >= os.fstat(info.fh).st_size:
            name = os.path.dirname(path).strip("/").replace("/", "-") or "Setup"
            open(os.path.join(self.marks, name + ".read"), "a").close()
        return data

    def release(self, path, info):
        os.close(info.fh)


if __name__ == "__main__":
    FUSE(SlowMedium(sys.argv[1], float(sys.argv[3]), (sys.argv[4:] or [None])[0]), sys.argv[2],
         foreground=True, ro=True, raw_fi=True)
