#!/usr/bin/env python3
"""Packs a folder into a zip that holds the same bytes whenever the files are the same.

    zip.py OUT.zip FOLDER

The entries are FOLDER's files under FOLDER's own name, in sorted order, each dated from the last
commit (SOURCE_DATE_EPOCH, else the repository's last commit) and marked 0644, or 0755 when the
file is executable, whatever the umask, the clock, the time zone or the order on disk.
"""
import os
import subprocess
import sys
import time
import zipfile

ZIP_EPOCH = 315532800  # 1980-01-01 00:00 UTC, the earliest time a zip entry can hold


def release_time():
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    if not epoch:
        here = os.path.dirname(os.path.abspath(__file__))
        found = subprocess.run(["git", "-C", here, "log", "-1", "--format=%ct"],
                               capture_output=True, text=True, check=False)
        epoch = found.stdout.strip() if found.returncode == 0 else ""
    seconds = max(int(epoch) if epoch else ZIP_EPOCH, ZIP_EPOCH)
    # Zip dates have no time zone and count seconds in twos: UTC, rounded down.
    return time.gmtime(seconds - seconds % 2)[:6]


def files_under(folder):
    found = []
    for parent, dirs, names in os.walk(folder):
        for name in dirs + names:
            path = os.path.join(parent, name)
            if os.path.islink(path):
                sys.exit(f"zip.py: {path} is a link; a release holds files only")
        found += [os.path.join(parent, name) for name in names]
    return sorted(found, key=lambda path: os.path.relpath(path, folder).split(os.sep))


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: zip.py OUT.zip FOLDER")
    out, folder = sys.argv[1], os.path.normpath(sys.argv[2])
    top = os.path.basename(folder)
    date = release_time()
    files = files_under(folder)
    partial = out + ".part"
    with zipfile.ZipFile(partial, "w") as archive:
        for path in files:
            entry = zipfile.ZipInfo("/".join([top] + os.path.relpath(path, folder).split(os.sep)),
                                    date)
            entry.create_system = 3  # Unix, so the modes below are read
            mode = 0o755 if os.stat(path).st_mode & 0o111 else 0o644
            entry.external_attr = (0o100000 | mode) << 16
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as data:
                archive.writestr(entry, data.read(), compresslevel=9)
    os.replace(partial, out)


if __name__ == "__main__":
    main()
