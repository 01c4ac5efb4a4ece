// Reports of the command-line tools on a Windows console: the console shows UTF-16 text, while a
// file or a pipe gets the UTF-8 bytes.
#pragma once
#include <cstdio>
#include <string>

#include "base/gdi_win.h"

// Writes UTF-8 text to the standard stream `file` whose handle is `handle`. On a console it goes as
// UTF-16 text, since the console would show UTF-8 bytes in its own code page (CP949 on a Korean
// system) as garbage; anywhere else the bytes go through the C stream as ever (its text mode ends
// lines with CR LF).
void WriteStandardStream(HANDLE handle, FILE* file, const std::string& utf8);
