#!/usr/bin/env python3
"""Writes the zip a player downloads: one folder Tallywick/ holding the two programs (stripped), the
Korean guide as 사용법.txt and an empty glyphs/ folder with its one-line note.

The same inputs give the same bytes: the entries are written in a fixed order with one fixed time
(SOURCE_DATE_EPOCH, else the time of the last commit, else the release date), MS-DOS attributes
instead of the building machine's owner and permissions, and no extra fields. Names that are not
ASCII carry the zip's UTF-8 flag, so that Windows shows them in Korean whatever its code page.

  release_zip.py --program Tallywick.exe --cli tallywick-cli.exe --guide GUIDE.txt
                 --glyphs-note NOTE.txt --strip STRIP --out ZIP [--source TREE]
"""
import argparse
import os
import subprocess
import sys
import tempfile
import time
import zipfile

RELEASE_DATE = (2012, 9, 23, 0, 0, 0)  # the date the about box shows
DOS_DIRECTORY, DOS_ARCHIVE = 0x10, 0x20


def windows_text(path):
    """UTF-8 text with a byte-order mark and CR LF line ends, as Notepad shows it best."""
    with open(path, encoding="utf-8") as f:
        text = f.read().lstrip("\ufeff").replace("\r\n", "\n")
    if not text.endswith("\n"):
        text += "\n"
    return b"\xef\xbb\xbf" + text.replace("\n", "\r\n").encode("utf-8")


def stripped(program, strip):
    """The program without its symbol table, read from a stripped copy. Strip would stamp the copy
    with the current time; it is kept at 0, as the linker leaves it."""
    with tempfile.TemporaryDirectory() as folder:
        copy = os.path.join(folder, "stripped.exe")
        subprocess.run([strip, "--strip-all", "-o", copy, program], check=True,
                       env=dict(os.environ, SOURCE_DATE_EPOCH="0"))
        with open(copy, "rb") as f:
            return f.read()


def entry_time(source):
    """The time every entry carries, as zip stores it (UTC fields, two-second steps)."""
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    if not epoch and source:
        try:
            epoch = subprocess.run(["git", "-C", source, "log", "-1", "--format=%ct"], capture_output=True,
                                   text=True, check=True).stdout.strip()
        except (OSError, subprocess.CalledProcessError):
            epoch = None
    if not epoch:
        return RELEASE_DATE
    stamp = time.gmtime(max(int(epoch), 315532800))  # zip times begin in 1980
    return stamp[:5] + (stamp[5] // 2 * 2,)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for name in ("--program", "--cli", "--guide", "--glyphs-note", "--strip", "--out"):
        parser.add_argument(name, required=True)
    parser.add_argument("--source", help="the source tree, for the time of its last commit")
    args = parser.parse_args()

    # Explorer lists a folder sorted by itself; this order only has to be the same every time.
    entries = [
        ("Tallywick/", None),
        ("Tallywick/Tallywick.exe", stripped(args.program, args.strip)),
        ("Tallywick/glyphs/", None),
        ("Tallywick/glyphs/읽어보기.txt", windows_text(args.glyphs_note)),
        ("Tallywick/tallywick-cli.exe", stripped(args.cli, args.strip)),
        ("Tallywick/사용법.txt", windows_text(args.guide)),
    ]
    when = entry_time(args.source)
    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    partial = args.out + ".partial"
    with zipfile.ZipFile(partial, "w") as archive:
        for name, data in entries:
            info = zipfile.ZipInfo(name, when)
            # Made on NTFS: MS-DOS attributes, which every Windows unzipper reads. (Info-ZIP's unzip
            # takes the names of an archive made on MS-DOS for code page 437, UTF-8 flag or not.)
            info.create_system = 11
            if data is None:
                info.external_attr = DOS_DIRECTORY
                archive.writestr(info, b"", compress_type=zipfile.ZIP_STORED)
            else:
                info.external_attr = DOS_ARCHIVE
                archive.writestr(info, data, compress_type=zipfile.ZIP_DEFLATED, compresslevel=9)
    os.replace(partial, args.out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
