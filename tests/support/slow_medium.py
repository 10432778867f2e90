#!/usr/bin/python3
"""Shows the folder SOURCE read-only at MOUNT as a slow medium would: reads
pass at RATE bytes a second in all and bypass the page cache (direct_io),
so every read of a file pays again. Runs until MOUNT is unmounted
(fusermount -u MOUNT). Needs Debian's python3-fusepy and fuse3.

usage: slow_medium.py SOURCE MOUNT RATE
"""
import os
import sys
import threading
import time

from fusepy import FUSE, Operations

STAT_FIELDS = ("st_mode", "st_size", "st_nlink", "st_uid", "st_gid", "st_atime", "st_mtime",
               "st_ctime")


class SlowMedium(Operations):
    def __init__(self, source, rate):
        self.source, self.rate = source, rate
        self.pacing = threading.Lock()
        self.free_at = time.monotonic()  # when the medium has read all it was asked

    def full(self, path):
        return os.path.join(self.source, path.lstrip("/"))

    def getattr(self, path, fh=None):
        st = os.lstat(self.full(path))
        return {field: getattr(st, field) for field in STAT_FIELDS}

    def readdir(self, path, fh):
        return [".", ".."] + os.listdir(self.full(path))

    def statfs(self, path):
        st = os.statvfs(self.full(path))
        return {field: getattr(st, field) for field in
                ("f_bsize", "f_frsize", "f_blocks", "f_bfree", "f_bavail", "f_files", "f_ffree",
                 "f_namemax")}

    def open(self, path, info):
        info.fh = os.open(self.full(path), os.O_RDONLY)
        info.direct_io = 1
        return 0

    def read(self, path, size, offset, info):
        with self.pacing:
            now = time.monotonic()
            self.free_at = max(self.free_at, now) + size / self.rate
            wait = self.free_at - now
        time.sleep(wait)
        return os.pread(info.fh, size, offset)

    def release(self, path, info):
        os.close(info.fh)
        return 0


if __name__ == "__main__":
    source, mount, rate = sys.argv[1], sys.argv[2], float(sys.argv[3])
    FUSE(SlowMedium(source, rate), mount, foreground=True, ro=True, raw_fi=True)
