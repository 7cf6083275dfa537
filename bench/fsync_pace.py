#!/usr/bin/env python3
"""The disk's own pace for what a rewrite forces to it: new files of 30 KB, each written and
forced to the disk (fdatasync) and closed, with 1, 4, 10, 16 and 32 of them in flight at once.
Prints files forced per second: the bound of any run that forces every page before its rename.

usage: bench/fsync_pace.py FOLDER    (a folder on the file system to measure, e.g. /var/tmp)"""
import os, sys, tempfile, threading, time

folder = tempfile.mkdtemp(dir=sys.argv[1] if len(sys.argv) > 1 else ".")
data = os.urandom(30 * 1024)


def force(i):
    fd = os.open(os.path.join(folder, f"f{i}.tmp"), os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o600)
    os.write(fd, data)
    os.fdatasync(fd)
    os.close(fd)


for in_flight in (1, 4, 10, 16, 32):
    count = 150 if in_flight == 1 else 400
    numbers, lock = iter(range(count)), threading.Lock()

    def worker():
        while True:
            with lock:
                i = next(numbers, None)
            if i is None:
                return
            force(i)

    start = time.monotonic()
    threads = [threading.Thread(target=worker) for _ in range(in_flight)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    seconds = time.monotonic() - start
    print(f"{in_flight:2} in flight: {count / seconds:6.0f} files/s ({seconds / count * 1000:.2f} ms each)")
    for i in range(count):
        os.unlink(os.path.join(folder, f"f{i}.tmp"))
os.rmdir(folder)
