#!/usr/bin/env python3
"""Rewrites a release archive, a .tar.gz or a .zip, so that its bytes come from its contents
alone, whoever made it, with whatever umask, in whatever time zone: entries in the byte order
of their names, owned by 0:0 with no owner names, modes 0755 for folders and executables,
0644 for other files (links keep theirs), every time the given one (SOURCE_DATE_EPOCH), and
gzip's own header without a name or a time.

Usage: reproducible_archive.py ARCHIVE EPOCH
"""

import gzip
import io
import sys
import tarfile
import time
import zipfile


def normal_mode(is_dir, mode):
    return 0o755 if is_dir or mode & 0o111 else 0o644


def rewrite_tar_gz(path, epoch):
    with tarfile.open(path, "r:gz") as source:
        members = sorted(source.getmembers(), key=lambda member: member.name.encode())
        tar = io.BytesIO()
        with tarfile.open(fileobj=tar, mode="w", format=tarfile.GNU_FORMAT) as target:
            for member in members:
                data = source.extractfile(member) if member.isfile() else None
                member.uid = member.gid = 0
                member.uname = member.gname = ""
                member.mtime = epoch
                if not member.issym():
                    member.mode = normal_mode(member.isdir(), member.mode)
                target.addfile(member, data)
    with open(path, "wb") as file, gzip.GzipFile(filename="", mode="wb", fileobj=file,
                                                  mtime=0, compresslevel=9) as compressed:
        compressed.write(tar.getvalue())


def rewrite_zip(path, epoch):
    with zipfile.ZipFile(path) as source:
        entries = [(info, source.read(info))
                   for info in sorted(source.infolist(), key=lambda info: info.filename.encode())]
    # A zip's times are local times without a zone: this one's are UTC. DOS times start in 1980.
    date_time = time.gmtime(max(epoch, 315532800))[:6]
    with zipfile.ZipFile(path, "w") as target:
        for info, data in entries:
            is_dir = info.is_dir()
            mode = normal_mode(is_dir, (info.external_attr >> 16) & 0o7777)
            entry = zipfile.ZipInfo(info.filename, date_time)
            entry.create_system = 3  # Unix, so that the mode below is read
            entry.external_attr = ((0o040000 if is_dir else 0o100000) | mode) << 16 | (
                0x10 if is_dir else 0)
            entry.compress_type = zipfile.ZIP_STORED if is_dir else zipfile.ZIP_DEFLATED
            target.writestr(entry, data, compresslevel=9)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    path, epoch = sys.argv[1], int(sys.argv[2])
    if path.endswith(".tar.gz"):
        rewrite_tar_gz(path, epoch)
    elif path.endswith(".zip"):
        rewrite_zip(path, epoch)
    else:
        sys.exit(f"{path}: neither a .tar.gz nor a .zip")


if __name__ == "__main__":
    main()
