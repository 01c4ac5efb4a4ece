// The captures of failed reads, kept beside the action log so that a player can run the
// diagnostics on them or attach one to a report: "<log without extension>-failed-0001.bmp",
// numbered on from the highest number present; only the most recent few are kept.
#pragma once
#include <string>

#include "base/pixels.h"

constexpr int kKeptFailedCaptures = 10;

// The path of kept capture number `number` for this log: the log's path without its extension,
// "-failed-" and the number in at least four digits, ".bmp".
std::string FailedCapturePath(const std::string& logPath, int number);

// Writes the capture as a 24-bit BMP under the next number, then deletes the oldest kept captures
// of this log (those with the lowest numbers) beyond `keep`. Returns the path written, or an empty
// string with `error` set; a failure to delete an old one is not an error. Safe to call from
// several threads at once.
std::string KeepFailedCapture(const std::string& logPath, const PixelBuffer& capture, std::string& error,
                              int keep = kKeptFailedCaptures);
