"""The draw file's writers' lock from a native process, as the native
program takes it (an open-file-description lock on one byte at 2^62).

hold FILE SECONDS MARKER HELD: takes the lock and creates HELD, holds it,
then creates MARKER and lets go.
probe FILE COMMAND...: runs COMMAND and prints how often the lock was
refused while it ran."""
import fcntl
import os
import struct
import subprocess
import sys
import time

F_OFD_SETLK = getattr(fcntl, "F_OFD_SETLK", 37)
OFFSET = 1 << 62


def lock(fd, kind):
    fcntl.fcntl(fd, F_OFD_SETLK, struct.pack("hhqqi", kind, os.SEEK_SET, OFFSET, 1, 0))


def main():
    fd = os.open(sys.argv[2], os.O_RDWR)
    if sys.argv[1] == "hold":
        lock(fd, fcntl.F_WRLCK)
        open(sys.argv[5], "w").close()
        time.sleep(float(sys.argv[3]))
        open(sys.argv[4], "w").close()
        lock(fd, fcntl.F_UNLCK)
        return
    program = subprocess.Popen(sys.argv[3:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    refused = 0
    while program.poll() is None:
        try:
            lock(fd, fcntl.F_WRLCK)
            lock(fd, fcntl.F_UNLCK)
        except OSError:
            refused += 1
    print(refused)


main()
