#!/usr/bin/env python3
"""The release zip as a player receives it: exactly one folder with the expected entries, Korean
names that Windows reads as such, texts that Notepad shows well, a guide that names every alert
the program can show, and programs that need no DLL beyond the system's, are stripped, carry the
version resource of the file VERSION and no folder of the machine that built them."""
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
UTF8_NAMES = 0x800

checks = failures = 0


def check(ok, what, detail=""):
    global checks, failures
    checks += 1
    if ok:
        print("ok   - " + what)
    else:
        failures += 1
        print("FAIL - " + what + (("\n       " + detail) if detail else ""))


def alert_texts(source):
    """Every fixed alert text of the program: the kAlert... constants and literal ShowAlert calls."""
    texts = set()
    pattern = re.compile(r'(?:kAlert\w*\[\]\s*=|ShowAlert\()\s*u"([^"]+)"')
    for folder in ("base", "reader", "calc", "app", "win", "cli"):
        for name in sorted(os.listdir(os.path.join(source, folder))):
            if name.endswith((".h", ".cpp")):
                with open(os.path.join(source, folder, name), encoding="utf-8") as f:
                    texts.update(pattern.findall(f.read()))
    return texts


def check_text(data, name, lines=None):
    check(data.startswith(b"\xef\xbb\xbf"), name + " begins with the UTF-8 byte-order mark")
    check(b"\n" not in data.replace(b"\r\n", b""), name + " ends every line with CR LF")
    text = data[3:].decode("utf-8")
    if lines is not None:
        check(text.count("\r\n") == lines and text.endswith("\r\n"), f"{name} has {lines} line(s)", repr(text))
    return text


def check_guide(text, source):
    for words in ("Ctrl+1", "Ctrl+Shift+1", "Ctrl+2", "Ctrl+Shift+2", "F9", "파일 > 글자 팩 만들기...", '"배우기"',
                  '"열기..."', "glyphs\\2560x1440", "Tallywick.ini", "--log", "failed-0001.bmp", "100 %"):
        check(words in text, "the guide tells of " + words)
    alerts = alert_texts(source)
    check(len(alerts) >= 8, f"the sources hold the program's alerts ({len(alerts)} found)")
    for alert in sorted(alerts):
        check(f'"{alert}"' in text, "the guide quotes the alert " + alert)
    check('"글자 팩 문제: ' in text, "the guide quotes the glyph pack alert")


def coff_header(exe):
    """(time stamp, symbol table pointer, symbol count) of a PE file."""
    with open(exe, "rb") as f:
        data = f.read(4096)
    at = struct.unpack_from("<I", data, 0x3C)[0]
    check(data[at:at + 4] == b"PE\0\0", os.path.basename(exe) + " is a PE file")
    return struct.unpack_from("<III", data, at + 8)


def imported_dlls(exe, objdump):
    out = subprocess.run([objdump, "-p", exe], capture_output=True, text=True, check=True).stdout
    return sorted({m.lower() for m in re.findall(r"DLL Name: (\S+)", out)})


def version_resource(exe, windres):
    """The VERSIONINFO block as the resource compiler writes it back, with \\xNNNN escapes decoded."""
    out = subprocess.run([windres, "-i", exe, "-O", "rc"], capture_output=True, text=True).stdout
    block = re.search(r"^\d+ VERSIONINFO\n.*?^END$", out, re.S | re.M)
    return re.sub(r"\\x([0-9a-fA-F]{4})", lambda m: chr(int(m.group(1), 16)), block.group(0)) if block else ""


def check_program(exe, args, numbers):
    name = os.path.basename(exe)
    dlls = imported_dlls(exe, args.objdump)
    check("kernel32.dll" in dlls, f"{name} imports: {', '.join(dlls)}")
    check(set(dlls) <= SYSTEM_DLLS, name + " imports system DLLs only", "others: " + ", ".join(sorted(set(dlls) - SYSTEM_DLLS)))
    stamp, symbols, count = coff_header(exe)
    check((symbols, count) == (0, 0), name + " is stripped (no symbol table)")
    check(stamp == 0, name + " carries no link time stamp", hex(stamp))
    with open(exe, "rb") as f:
        data = f.read()
    for folder in {os.path.realpath(args.source), os.path.realpath(args.build)}:
        for encoding in ("utf-8", "utf-16-le"):
            check(folder.encode(encoding) not in data, f"{name} holds no build folder ({folder}, {encoding})")
    if name != "Tallywick.exe":
        return
    rc = version_resource(exe, args.windres)
    dotted = ".".join(numbers)
    check(f"FILEVERSION {', '.join(numbers)}\n" in rc and f"PRODUCTVERSION {', '.join(numbers)}\n" in rc,
          f"Tallywick.exe's version numbers are {dotted}", rc)
    for language, korean in (("041204B0", True), ("040904B0", False)):
        block = re.search(r'BLOCK "%s"\n\s*BEGIN\n(.*?)\n\s*END' % language, rc, re.S)
        values = dict(re.findall(r'VALUE "(\w+)", L?"([^"]*)"', block.group(1))) if block else {}
        for key in ("ProductName", "FileDescription", "LegalCopyright"):
            value = values.get(key, "")
            hangul = any("\uac00" <= c <= "\ud7a3" for c in value)
            check(value and hangul == korean, f"{language} {key}: {value}")
        check(values.get("FileVersion") == dotted and values.get("ProductVersion") == dotted,
              f"{language} file and product version texts are {dotted}")


def main():
    parser = argparse.ArgumentParser()
    for name in ("--zip", "--objdump", "--windres", "--version-file", "--source", "--build"):
        parser.add_argument(name, required=True)
    args = parser.parse_args()
    with open(args.version_file) as f:
        version = f.read().strip()
    # "1.2d" is release 1.2, build d: the fourth.
    numbers = version[:-1].split(".") + [str(ord(version[-1]) - ord("a") + 1), "0"]
    check(os.path.basename(args.zip) == f"Tallywick-{version}-win64.zip", "the zip is named for version " + version)

    with zipfile.ZipFile(args.zip) as archive, tempfile.TemporaryDirectory() as folder:
        infos = archive.infolist()
        check([i.filename for i in infos] == ENTRIES, "the zip holds one folder Tallywick with the expected entries",
              str([i.filename for i in infos]))
        for i in infos:
            ascii_name = i.filename.isascii()
            check(bool(i.flag_bits & UTF8_NAMES) != ascii_name, i.filename + ": UTF-8 name flag where needed")
            check(i.extra == b"" and i.create_system == 11, i.filename + ": made on NTFS, no owner or permissions")
        check(len({i.date_time for i in infos}) == 1, "every entry carries one time")
        check([i.external_attr for i in infos if i.filename.endswith("/")] == [0x10, 0x10], "folders are folders")
        guide = check_text(archive.read("Tallywick/사용법.txt"), "사용법.txt")
        check_text(archive.read("Tallywick/glyphs/읽어보기.txt"), "읽어보기.txt", lines=1)
        check_guide(guide, args.source)
        for name in ("Tallywick.exe", "tallywick-cli.exe"):
            exe = archive.extract("Tallywick/" + name, folder)
            check_program(exe, args, numbers)
    print(f"release_zip: {checks} checks, {failures} failed")
    return 1 if failures or not checks else 0


if __name__ == "__main__":
    sys.exit(main())
