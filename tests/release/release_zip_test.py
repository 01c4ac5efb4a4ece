#!/usr/bin/env python3
"""The release zip as a player receives it: one folder with the expected entries, Korean names that
Windows reads as such, texts that Notepad shows well, a guide that quotes every alert of the
program, and programs that import system DLLs only, are stripped, carry the version resource of the
file VERSION and no folder of the machine that built them."""
import argparse
import os
import re
import struct
import subprocess
import sys
import tempfile
import zipfile

# DLLs every supported Windows ships; a MinGW runtime DLL (libstdc++, libgcc, winpthread) is not.
SYSTEM_DLLS = {"advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "gdiplus.dll", "kernel32.dll",
               "msvcrt.dll", "ole32.dll", "oleaut32.dll", "shell32.dll", "user32.dll"}
ENTRIES = ["Tallywick/", "Tallywick/Tallywick.exe", "Tallywick/glyphs/", "Tallywick/glyphs/읽어보기.txt",
           "Tallywick/tallywick-cli.exe", "Tallywick/사용법.txt"]
GUIDE_WORDS = ["Ctrl+1", "Ctrl+Shift+1", "Ctrl+2", "Ctrl+Shift+2", "F9", "파일 > 글자 팩 만들기...", '"배우기"',
               '"열기..."', "glyphs\\2560x1440", "Tallywick.ini", "--log", "failed-0001.bmp", "100 %", '"글자 팩 문제: ']
checks = failures = 0


def check(ok, what, detail=""):
    global checks, failures
    checks, failures = checks + 1, failures + (not ok)
    print(("ok   - " if ok else "FAIL - ") + what + ("" if ok or not detail else "\n       " + str(detail)))


def alert_texts(source):
    """Every fixed alert text of the program: the kAlert... constants and literal ShowAlert calls."""
    pattern, texts = re.compile(r'(?:kAlert\w*\[\]\s*=|ShowAlert\()\s*u"([^"]+)"'), set()
    for folder in ("base", "reader", "calc", "app", "win", "cli"):
        for name in os.listdir(os.path.join(source, folder)):
            if name.endswith((".h", ".cpp")):
                with open(os.path.join(source, folder, name), encoding="utf-8") as f:
                    texts.update(pattern.findall(f.read()))
    return texts


def windows_text(data, name, lines=None):
    crlf = data.startswith(b"\xef\xbb\xbf") and b"\n" not in data.replace(b"\r\n", b"")
    check(crlf, name + " has a byte-order mark and CR LF line ends")
    text = data[3:].decode("utf-8")
    if lines is not None:
        check(text.count("\r\n") == lines and text.endswith("\r\n"), f"{name} has {lines} line(s)", repr(text))
    return text


def check_program(exe, args, numbers):
    name = os.path.basename(exe)
    out = subprocess.run([args.objdump, "-p", exe], capture_output=True, text=True, check=True).stdout
    dlls = sorted({m.lower() for m in re.findall(r"DLL Name: (\S+)", out)})
    check("kernel32.dll" in dlls and set(dlls) <= SYSTEM_DLLS, f"{name} imports system DLLs only: {', '.join(dlls)}")
    with open(exe, "rb") as f:
        data = f.read()
    header = struct.unpack_from("<I", data, 0x3C)[0]
    stamp, symbols, count = struct.unpack_from("<III", data, header + 8)
    check(data[header:header + 4] == b"PE\0\0" and (stamp, symbols, count) == (0, 0, 0),
          name + " is stripped and carries no link time stamp", (hex(stamp), symbols, count))
    for folder in {os.path.realpath(args.source), os.path.realpath(args.build)}:
        found = [e for e in ("utf-8", "utf-16-le") if folder.encode(e) in data]
        check(not found, f"{name} holds no build folder {folder}", found)
    if name != "Tallywick.exe":
        return
    # The version resource as the resource compiler writes it back, \xNNNN escapes decoded.
    rc = subprocess.run([args.windres, "-i", exe, "-O", "rc"], capture_output=True, text=True).stdout
    rc = re.sub(r"\\x([0-9a-fA-F]{4})", lambda m: chr(int(m.group(1), 16)), rc)
    dotted = ".".join(numbers)
    check(f"FILEVERSION {', '.join(numbers)}\n" in rc and f"PRODUCTVERSION {', '.join(numbers)}\n" in rc,
          f"Tallywick.exe's version numbers are {dotted}")
    for language, korean in (("041204B0", True), ("040904B0", False)):
        block = re.search(r'BLOCK "%s"\n\s*BEGIN\n(.*?)\n\s*END' % language, rc, re.S)
        values = dict(re.findall(r'VALUE "(\w+)", L?"([^"]*)"', block.group(1))) if block else {}
        for key in ("ProductName", "FileDescription", "LegalCopyright"):
            value = values.get(key, "")
            check(value and any("\uac00" <= c <= "\ud7a3" for c in value) == korean, f"{language} {key}: {value}")
        check(values.get("FileVersion") == dotted == values.get("ProductVersion"), f"{language} texts say {dotted}")


def main():
    parser = argparse.ArgumentParser()
    for name in ("--zip", "--objdump", "--windres", "--version-file", "--source", "--build"):
        parser.add_argument(name, required=True)
    args = parser.parse_args()
    with open(args.version_file) as f:
        version = f.read().strip()
    numbers = version[:-1].split(".") + [str(ord(version[-1]) - ord("a") + 1), "0"]  # 1.2d: build 4
    check(os.path.basename(args.zip) == f"Tallywick-{version}-win64.zip", "the zip is named for version " + version)

    with zipfile.ZipFile(args.zip) as archive, tempfile.TemporaryDirectory() as folder:
        infos = archive.infolist()
        check([i.filename for i in infos] == ENTRIES, "one folder Tallywick with the expected entries",
              [i.filename for i in infos])
        # Korean names carry the UTF-8 flag; nothing of the building machine's owner or permissions.
        odd = [i.filename for i in infos if bool(i.flag_bits & 0x800) == i.filename.isascii() or i.extra
               or i.create_system != 11 or i.external_attr != (0x10 if i.filename.endswith("/") else 0x20)]
        check(not odd, "names, flags and attributes as Windows reads them", odd)
        check(len({i.date_time for i in infos}) == 1, "every entry carries one time")
        guide = windows_text(archive.read("Tallywick/사용법.txt"), "사용법.txt")
        windows_text(archive.read("Tallywick/glyphs/읽어보기.txt"), "읽어보기.txt", lines=1)
        check(not [w for w in GUIDE_WORDS if w not in guide], "the guide tells of the hotkeys, the dialog, the "
              "settings file and the log", [w for w in GUIDE_WORDS if w not in guide])
        alerts = alert_texts(args.source)
        check(len(alerts) >= 8 and all(f'"{a}"' in guide for a in alerts), f"the guide quotes all {len(alerts)} "
              "alerts", [a for a in alerts if f'"{a}"' not in guide])
        for name in ("Tallywick.exe", "tallywick-cli.exe"):
            check_program(archive.extract("Tallywick/" + name, folder), args, numbers)
    print(f"release_zip: {checks} checks, {failures} failed")
    return 1 if failures or not checks else 0


if __name__ == "__main__":
    sys.exit(main())
